#include "component/platform_failures.h"

#include <utility>

namespace sheetlore {

void FailureLog::Add(std::wstring operation, std::uint32_t error) {
  if (failures_.size() == kKept) failures_.erase(failures_.begin());
  failures_.push_back({std::move(operation), error});
}

std::optional<PlatformFailure> FailureLog::Last() const {
  if (failures_.empty()) return std::nullopt;
  return failures_.back();
}

class FailureRecordingPlatform::Spooler final : public sheetlore::Spooler {
 public:
  Spooler(sheetlore::Spooler& real, FailureLog& log) : real_(real), log_(log) {}

  PrinterHandle OpenPrinter(const std::wstring& printerName, std::uint32_t desiredAccess) override {
    const PrinterHandle handle = real_.OpenPrinter(printerName, desiredAccess);
    if (handle == 0) Note(L"OpenPrinter");
    return handle;
  }
  bool GetPrinterSettings(PrinterHandle printer, std::uint32_t level,
                          std::vector<std::uint8_t>& devMode) override {
    return Checked(real_.GetPrinterSettings(printer, level, devMode), L"GetPrinter");
  }
  bool SetPrinterSettings(PrinterHandle printer, std::uint32_t level,
                          const std::vector<std::uint8_t>& devMode) override {
    return Checked(real_.SetPrinterSettings(printer, level, devMode), L"SetPrinter");
  }
  PrinterHandle OpenPrintServer(const std::wstring& serverName,
                                std::uint32_t desiredAccess) override {
    const PrinterHandle handle = real_.OpenPrintServer(serverName, desiredAccess);
    if (handle == 0) Note(L"OpenPrinter");
    return handle;
  }
  bool ClosePrinter(PrinterHandle printer) override {
    return Checked(real_.ClosePrinter(printer), L"ClosePrinter");
  }
  bool EnumForms(PrinterHandle printer, std::uint32_t bufferBytes, std::vector<FormInfo>& forms,
                 std::uint32_t& bytesNeeded, std::uint32_t& returned) override {
    return Sized(real_.EnumForms(printer, bufferBytes, forms, bytesNeeded, returned), L"EnumForms");
  }
  bool GetForm(PrinterHandle printer, const std::wstring& formName, std::uint32_t bufferBytes,
               FormInfo& form, std::uint32_t& bytesNeeded) override {
    return Sized(real_.GetForm(printer, formName, bufferBytes, form, bytesNeeded), L"GetForm");
  }
  bool AddForm(PrinterHandle printer, const FormInfo& form) override {
    return Checked(real_.AddForm(printer, form), L"AddForm");
  }
  bool DeleteForm(PrinterHandle printer, const std::wstring& formName) override {
    return Checked(real_.DeleteForm(printer, formName), L"DeleteForm");
  }
  std::int32_t DocumentProperties(WindowHandle parent, PrinterHandle printer,
                                  const std::wstring& deviceName, std::vector<std::uint8_t>* output,
                                  const std::vector<std::uint8_t>* input,
                                  std::uint32_t mode) override {
    const std::int32_t result =
        real_.DocumentProperties(parent, printer, deviceName, output, input, mode);
    if (result < 0) Note(L"DocumentProperties");
    return result;
  }
  DeviceContext ResetDC(DeviceContext dc, const std::vector<std::uint8_t>& devMode) override {
    const DeviceContext result = real_.ResetDC(dc, devMode);
    if (result == 0) Note(L"ResetDC");
    return result;
  }
  std::uint32_t LastError() const override { return real_.LastError(); }

 private:
  void Note(const wchar_t* operation) { log_.Add(operation, real_.LastError()); }
  bool Checked(bool ok, const wchar_t* operation) {
    if (!ok) Note(operation);
    return ok;
  }
  bool Sized(bool ok, const wchar_t* operation) {
    if (!ok && real_.LastError() != kErrorInsufficientBuffer) Note(operation);
    return ok;
  }

  sheetlore::Spooler& real_;
  FailureLog& log_;
};

class FailureRecordingPlatform::Profile final : public ProfileFiles {
 public:
  Profile(ProfileFiles& real, FailureLog& log) : real_(real), log_(log) {}

  std::uint32_t GetString(const std::optional<std::wstring>& section,
                          const std::optional<std::wstring>& key, const std::wstring& defaultValue,
                          std::uint32_t bufferChars, std::wstring& text,
                          const std::wstring& path) override {
    return real_.GetString(section, key, defaultValue, bufferChars, text, path);
  }
  bool WriteString(const std::optional<std::wstring>& section,
                   const std::optional<std::wstring>& key, const std::optional<std::wstring>& value,
                   const std::wstring& path) override {
    const bool ok = real_.WriteString(section, key, value, path);
    if (!ok) log_.Add(L"WritePrivateProfileString", real_.LastError());
    return ok;
  }
  bool WriteSection(const std::wstring& section, const KeyValues& keys,
                    const std::wstring& path) override {
    const bool ok = real_.WriteSection(section, keys, path);
    if (!ok) log_.Add(L"WritePrivateProfileSection", real_.LastError());
    return ok;
  }
  std::unique_ptr<FileLock> LockFile(const std::wstring& path) override {
    std::unique_ptr<FileLock> lock = real_.LockFile(path);
    if (!lock) log_.Add(L"LockFile", real_.LastError());
    return lock;
  }
  bool HoldsText(const std::wstring& text, const std::wstring& path) override {
    return real_.HoldsText(text, path);
  }
  bool KeepsExistingText(const std::wstring& path) override {
    return real_.KeepsExistingText(path);
  }
  std::optional<std::vector<SectionLine>> ReadSection(const std::wstring& section,
                                                      const std::wstring& path) override {
    return real_.ReadSection(section, path);
  }
  CodePageText ReadInCodePage(const std::wstring& path, std::uint32_t codePage) override {
    return real_.ReadInCodePage(path, codePage);
  }
  bool RewriteAsUnicode(const std::wstring& text, const std::wstring& path) override {
    const bool ok = real_.RewriteAsUnicode(text, path);
    if (!ok) log_.Add(L"WriteFile", real_.LastError());
    return ok;
  }
  std::optional<std::wstring> ReadText(const std::wstring& path) override {
    return real_.ReadText(path);
  }
  bool RewriteText(const std::wstring& text, const std::wstring& path) override {
    const bool ok = real_.RewriteText(text, path);
    if (!ok) log_.Add(L"WriteFile", real_.LastError());
    return ok;
  }
  bool IsUnreadable(const std::wstring& path) override {
    const bool unreadable = real_.IsUnreadable(path);
    if (unreadable) log_.Add(L"CreateFile", real_.LastError());
    return unreadable;
  }
  std::uint32_t LastError() const override { return real_.LastError(); }

 private:
  ProfileFiles& real_;
  FailureLog& log_;
};

class FailureRecordingPlatform::System final : public sheetlore::System {
 public:
  System(sheetlore::System& real, FailureLog& log) : real_(real), log_(log) {}

  bool GetVersionEx(std::uint32_t& platformId) override {
    const bool ok = real_.GetVersionEx(platformId);
    if (!ok) log_.Add(L"GetVersionEx", real_.LastError());
    return ok;
  }
  WindowHandle FindWindow(const std::wstring& caption) override {
    return real_.FindWindow(caption);
  }
  void Sleep(std::uint32_t milliseconds) override { real_.Sleep(milliseconds); }
  void PumpMessages() override { real_.PumpMessages(); }
  std::uint64_t Milliseconds() override { return real_.Milliseconds(); }
  void MessageBox(const std::wstring& text, const std::wstring& title,
                  std::uint32_t style) override {
    real_.MessageBox(text, title, style);
  }
  std::uint32_t LastError() const override { return real_.LastError(); }
  std::wstring ErrorText(std::uint32_t code) override { return real_.ErrorText(code); }

 private:
  sheetlore::System& real_;
  FailureLog& log_;
};

FailureRecordingPlatform::FailureRecordingPlatform(Platform& real)
    : real_(real),
      spooler_(std::make_unique<Spooler>(real.spooler, log_)),
      profile_(std::make_unique<Profile>(real.profile, log_)),
      system_(std::make_unique<System>(real.system, log_)),
      platform_{*spooler_, *profile_, *system_, real.shell, real.host, real.dialogs} {}

FailureRecordingPlatform::~FailureRecordingPlatform() = default;

}  // namespace sheetlore
