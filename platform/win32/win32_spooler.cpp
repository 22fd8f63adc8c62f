#include "platform/win32/win32_spooler.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>
#include <utility>

#include "platform/devmode_layout.h"
#include "platform/win32/windows_api.h"

namespace sheetlore::win32 {
namespace {

// The core edits the device settings record by the offsets of devmode_layout.h: they must be those
// of the real wide record this layer hands to the driver.
static_assert(offsetof(DEVMODEW, dmFields) == devmode::kFields);
static_assert(offsetof(DEVMODEW, dmFormName) == devmode::kFormName);
static_assert(sizeof(DEVMODEW::dmFormName) / sizeof(WCHAR) == devmode::kNameChars);
static_assert(offsetof(DEVMODEW, dmDisplayFrequency) + sizeof(DWORD) == devmode::kWorkingCopyBytes);
static_assert(DM_FORMNAME == devmode::kFieldFormName);
static_assert(FORM_USER == kUserForm && FORM_BUILTIN == kBuiltinForm &&
              FORM_PRINTER == kPrinterForm);

// The error of the last failing spooler call on this thread, captured right after the call.
thread_local std::uint32_t lastSpoolerError = 0;

void CaptureLastError() { lastSpoolerError = ::GetLastError(); }

HANDLE ToPrinter(PrinterHandle printer) { return reinterpret_cast<HANDLE>(printer); }
HWND ToWindow(WindowHandle window) { return reinterpret_cast<HWND>(window); }
HDC ToDc(DeviceContext dc) { return reinterpret_cast<HDC>(dc); }
LPWSTR ToParameter(const std::wstring& text) { return const_cast<LPWSTR>(text.c_str()); }

// A byte buffer aligned for the records the spooler writes into it (pointers, 32-bit fields).
class AlignedBuffer {
 public:
  explicit AlignedBuffer(std::size_t bytes)
      : words_((bytes + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t)), bytes_(bytes) {}

  BYTE* data() { return bytes_ == 0 ? nullptr : reinterpret_cast<BYTE*>(words_.data()); }
  std::size_t size() const { return bytes_; }

 private:
  std::vector<std::uint64_t> words_;
  std::size_t bytes_;
};

FormInfo ToFormInfo(const FORM_INFO_1W& record) {
  FormInfo form;
  form.flags = record.Flags;
  form.name = record.pName ? std::wstring(record.pName) : std::wstring();
  form.cx = record.Size.cx;
  form.cy = record.Size.cy;
  form.left = record.ImageableArea.left;
  form.top = record.ImageableArea.top;
  form.right = record.ImageableArea.right;
  form.bottom = record.ImageableArea.bottom;
  return form;
}

// The number of bytes a device settings record says it occupies (dmSize + dmDriverExtra),
// or 0 when the bytes are too few to hold those fields.
std::size_t DeclaredDevModeBytes(const std::vector<std::uint8_t>& record) {
  constexpr std::size_t sizeOffset = offsetof(DEVMODEW, dmSize);
  constexpr std::size_t extraOffset = offsetof(DEVMODEW, dmDriverExtra);
  if (record.size() < extraOffset + sizeof(WORD)) return 0;
  WORD size = 0;
  WORD extra = 0;
  std::memcpy(&size, record.data() + sizeOffset, sizeof size);
  std::memcpy(&extra, record.data() + extraOffset, sizeof extra);
  return std::size_t{size} + extra;
}

// A copy of record zero-padded to at least minimumBytes, so that a driver reading or writing
// a whole record never reaches past the memory handed to it.
AlignedBuffer PaddedCopy(const std::vector<std::uint8_t>& record, std::size_t minimumBytes) {
  AlignedBuffer buffer(std::max(record.size(), minimumBytes));
  if (buffer.size() > 0) std::memset(buffer.data(), 0, buffer.size());
  if (!record.empty()) std::memcpy(buffer.data(), record.data(), record.size());
  return buffer;
}

}  // namespace

Win32Spooler::Win32Spooler() : api_(SpoolerLibrary::Acquire()) {}

Win32Spooler::Win32Spooler(std::shared_ptr<const SpoolerLibrary> api) : api_(std::move(api)) {}

bool Win32Spooler::Available(const void* function) const {
  if (function) return true;
  lastSpoolerError = api_->LoadError();
  return false;
}

PrinterHandle Win32Spooler::OpenPrinter(const std::wstring& printerName,
                                        std::uint32_t desiredAccess) {
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, desiredAccess};
  HANDLE printer = nullptr;
  if (!Available(reinterpret_cast<const void*>(api_->OpenPrinterW))) return 0;
  if (!api_->OpenPrinterW(ToParameter(printerName), &printer, &defaults)) {
    CaptureLastError();
    return 0;
  }
  return reinterpret_cast<PrinterHandle>(printer);
}

PrinterHandle Win32Spooler::OpenPrintServer(const std::wstring& serverName,
                                            std::uint32_t desiredAccess) {
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, desiredAccess};
  HANDLE server = nullptr;
  if (!Available(reinterpret_cast<const void*>(api_->OpenPrinterW))) return 0;
  LPWSTR name = serverName.empty() ? nullptr : ToParameter(serverName);
  if (!api_->OpenPrinterW(name, &server, &defaults)) {
    CaptureLastError();
    return 0;
  }
  return reinterpret_cast<PrinterHandle>(server);
}

bool Win32Spooler::ClosePrinter(PrinterHandle printer) {
  if (!Available(reinterpret_cast<const void*>(api_->ClosePrinter))) return false;
  if (!api_->ClosePrinter(ToPrinter(printer))) {
    CaptureLastError();
    return false;
  }
  return true;
}

bool Win32Spooler::EnumForms(PrinterHandle printer, std::uint32_t bufferBytes,
                             std::vector<FormInfo>& forms, std::uint32_t& bytesNeeded,
                             std::uint32_t& returned) {
  forms.clear();
  bytesNeeded = 0;
  returned = 0;
  if (!Available(reinterpret_cast<const void*>(api_->EnumFormsW))) return false;
  try {
    AlignedBuffer buffer(bufferBytes);
    DWORD needed = 0;
    DWORD count = 0;
    const BOOL ok =
        api_->EnumFormsW(ToPrinter(printer), 1, buffer.data(), bufferBytes, &needed, &count);
    if (!ok) CaptureLastError();
    bytesNeeded = needed;
    if (!ok) return false;
    const auto* records = reinterpret_cast<const FORM_INFO_1W*>(buffer.data());
    forms.reserve(count);
    for (DWORD i = 0; i < count; ++i) forms.push_back(ToFormInfo(records[i]));
    returned = count;
    return true;
  } catch (const std::bad_alloc&) {
    forms.clear();
    lastSpoolerError = ERROR_NOT_ENOUGH_MEMORY;
    return false;
  }
}

bool Win32Spooler::GetForm(PrinterHandle printer, const std::wstring& formName,
                           std::uint32_t bufferBytes, FormInfo& form, std::uint32_t& bytesNeeded) {
  bytesNeeded = 0;
  if (!Available(reinterpret_cast<const void*>(api_->GetFormW))) return false;
  try {
    AlignedBuffer buffer(bufferBytes);
    DWORD needed = 0;
    const BOOL ok = api_->GetFormW(ToPrinter(printer), ToParameter(formName), 1, buffer.data(),
                                   bufferBytes, &needed);
    if (!ok) CaptureLastError();
    bytesNeeded = needed;
    if (!ok) return false;
    form = ToFormInfo(*reinterpret_cast<const FORM_INFO_1W*>(buffer.data()));
    return true;
  } catch (const std::bad_alloc&) {
    lastSpoolerError = ERROR_NOT_ENOUGH_MEMORY;
    return false;
  }
}

bool Win32Spooler::AddForm(PrinterHandle printer, const FormInfo& form) {
  FORM_INFO_1W record{};
  record.Flags = form.flags;
  record.pName = ToParameter(form.name);
  record.Size = SIZEL{form.cx, form.cy};
  record.ImageableArea = RECTL{form.left, form.top, form.right, form.bottom};
  if (!Available(reinterpret_cast<const void*>(api_->AddFormW))) return false;
  if (!api_->AddFormW(ToPrinter(printer), 1, reinterpret_cast<BYTE*>(&record))) {
    CaptureLastError();
    return false;
  }
  return true;
}

bool Win32Spooler::DeleteForm(PrinterHandle printer, const std::wstring& formName) {
  if (!Available(reinterpret_cast<const void*>(api_->DeleteFormW))) return false;
  if (!api_->DeleteFormW(ToPrinter(printer), ToParameter(formName))) {
    CaptureLastError();
    return false;
  }
  return true;
}

std::int32_t Win32Spooler::DocumentProperties(WindowHandle parent, PrinterHandle printer,
                                              const std::wstring& deviceName,
                                              std::vector<std::uint8_t>* output,
                                              const std::vector<std::uint8_t>* input,
                                              std::uint32_t mode) {
  const HWND window = ToWindow(parent);
  const HANDLE handle = ToPrinter(printer);
  const LPWSTR device = ToParameter(deviceName);
  if (!Available(reinterpret_cast<const void*>(api_->DocumentPropertiesW))) return -1;

  const LONG fullBytes = api_->DocumentPropertiesW(window, handle, device, nullptr, nullptr, 0);
  if (fullBytes < 0) CaptureLastError();
  if (!output && !input) return fullBytes;
  if (fullBytes < 0) return fullBytes;

  // The driver reads a whole record from the input and writes a whole record into the
  // output, whatever the caller's vectors hold: it works on copies of at least the record's
  // full size, and the output vector receives as many bytes as it has room for. Separate
  // copies also make an output that is the input itself safe.
  try {
    const auto recordBytes = static_cast<std::size_t>(fullBytes);
    AlignedBuffer inputCopy(0);
    if (input) {
      inputCopy = PaddedCopy(*input, std::max(recordBytes, DeclaredDevModeBytes(*input)));
    }
    AlignedBuffer outputCopy(0);
    if (output) outputCopy = PaddedCopy(*output, recordBytes);

    const LONG result = api_->DocumentPropertiesW(
        window, handle, device, output ? reinterpret_cast<DEVMODEW*>(outputCopy.data()) : nullptr,
        input ? reinterpret_cast<DEVMODEW*>(inputCopy.data()) : nullptr, mode);
    if (result < 0) CaptureLastError();
    if (output && !output->empty()) {
      std::memcpy(output->data(), outputCopy.data(), output->size());
    }
    return result;
  } catch (const std::bad_alloc&) {
    lastSpoolerError = ERROR_NOT_ENOUGH_MEMORY;
    return -1;
  }
}

// PRINTER_INFO_8W and PRINTER_INFO_9W hold nothing but the record's address.
static_assert(sizeof(PRINTER_INFO_8W) == sizeof(PRINTER_INFO_9W));

bool Win32Spooler::GetPrinterSettings(PrinterHandle printer, std::uint32_t level,
                                      std::vector<std::uint8_t>& devMode) {
  devMode.clear();
  if (!Available(reinterpret_cast<const void*>(api_->GetPrinterW))) return false;
  try {
    DWORD needed = 0;
    api_->GetPrinterW(ToPrinter(printer), level, nullptr, 0, &needed);
    AlignedBuffer buffer(std::max<std::size_t>(needed, sizeof(PRINTER_INFO_8W)));
    if (!api_->GetPrinterW(ToPrinter(printer), level, buffer.data(),
                           static_cast<DWORD>(buffer.size()), &needed)) {
      CaptureLastError();
      return false;
    }
    const DEVMODEW* record = reinterpret_cast<const PRINTER_INFO_8W*>(buffer.data())->pDevMode;
    if (!record) return true;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(record);
    devMode.assign(bytes, bytes + record->dmSize + record->dmDriverExtra);
    return true;
  } catch (const std::bad_alloc&) {
    lastSpoolerError = ERROR_NOT_ENOUGH_MEMORY;
    return false;
  }
}

bool Win32Spooler::SetPrinterSettings(PrinterHandle printer, std::uint32_t level,
                                      const std::vector<std::uint8_t>& devMode) {
  if (!Available(reinterpret_cast<const void*>(api_->SetPrinterW))) return false;
  try {
    AlignedBuffer record =
        PaddedCopy(devMode, std::max(sizeof(DEVMODEW), DeclaredDevModeBytes(devMode)));
    PRINTER_INFO_8W info{reinterpret_cast<DEVMODEW*>(record.data())};
    if (!api_->SetPrinterW(ToPrinter(printer), level, reinterpret_cast<BYTE*>(&info), 0)) {
      CaptureLastError();
      return false;
    }
    return true;
  } catch (const std::bad_alloc&) {
    lastSpoolerError = ERROR_NOT_ENOUGH_MEMORY;
    return false;
  }
}

DeviceContext Win32Spooler::ResetDC(DeviceContext dc, const std::vector<std::uint8_t>& devMode) {
  if (devMode.empty()) {
    lastSpoolerError = ERROR_INVALID_PARAMETER;
    return 0;
  }
  try {
    AlignedBuffer record =
        PaddedCopy(devMode, std::max(sizeof(DEVMODEW), DeclaredDevModeBytes(devMode)));
    const HDC result = ::ResetDCW(ToDc(dc), reinterpret_cast<const DEVMODEW*>(record.data()));
    if (!result) CaptureLastError();
    return reinterpret_cast<DeviceContext>(result);
  } catch (const std::bad_alloc&) {
    lastSpoolerError = ERROR_NOT_ENOUGH_MEMORY;
    return 0;
  }
}

std::uint32_t Win32Spooler::LastError() const { return lastSpoolerError; }

}  // namespace sheetlore::win32
