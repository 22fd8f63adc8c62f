// The simulated print server: one list of forms shared by every printer, printer handles
// tracked from OpenPrinter to ClosePrinter, and the spooler's refusals and error codes.
#include <algorithm>
#include <utility>

#include "platform/sim/sim_state.h"

namespace sheetlore::sim {
namespace {

constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::int32_t kIdOk = 1;

// GetForm, AddForm and DeleteForm find a form by one rule: its name as the form has it (as
// Wine's spooler), or in any letter case when a test asks for that.
std::vector<FormInfo>::iterator FindForm(std::vector<FormInfo>& forms, const std::wstring& name,
                                         bool anyCase) {
  return std::find_if(forms.begin(), forms.end(), [&](const FormInfo& form) {
    return anyCase ? EqualNoCase(form.name, name) : form.name == name;
  });
}

// The fields a merge copies from the input record when dmFields names them.
struct MergedField {
  std::uint32_t bit;
  std::size_t offset;
  std::size_t bytes;
};
constexpr MergedField kMergedFields[] = {
    {devmode::kFieldOrientation, devmode::kOrientation, 2},
    {devmode::kFieldPaperSize, devmode::kPaperSize, 2},
    {devmode::kFieldPaperLength, devmode::kPaperLength, 2},
    {devmode::kFieldPaperWidth, devmode::kPaperWidth, 2},
    {devmode::kFieldFormName, devmode::kFormName, 64},
};

}  // namespace

bool SimSpooler::Fail(std::uint32_t error) {
  lastError_ = error;
  return false;
}

bool SimSpooler::InjectedFailure(Api api, std::vector<std::wstring> args) {
  if (!state_.recorder.Record(api, std::move(args))) return false;
  lastError_ = state_.injectedError;
  return true;
}

PrinterState* SimSpooler::Opened(PrinterHandle printer) {
  auto it = state_.openHandles.find(printer);
  if (it == state_.openHandles.end()) {
    lastError_ = kErrorInvalidHandle;
    return nullptr;
  }
  PrinterState* state = state_.FindPrinter(it->second);
  if (!state) lastError_ = kErrorInvalidHandle;  // the printer was removed meanwhile
  return state;
}

PrinterHandle SimSpooler::OpenPrinter(const std::wstring& printerName,
                                      std::uint32_t desiredAccess) {
  if (InjectedFailure(Api::OpenPrinter, {printerName, Text(desiredAccess)})) return 0;
  const PrinterState* printer = state_.FindPrinter(printerName);
  if (!printer) {
    Fail(kErrorInvalidPrinterName);
    return 0;
  }
  const PrinterHandle handle = state_.nextHandle++;
  state_.openHandles.emplace(handle, printer->name);
  return handle;
}

// The local print server, and a remote one that holds a printer the simulation knows
// ("\\\\server" for "\\\\server\\printer").
PrinterHandle SimSpooler::OpenPrintServer(const std::wstring& serverName,
                                          std::uint32_t desiredAccess) {
  if (InjectedFailure(Api::OpenPrinter,
                      {serverName.empty() ? kNull : serverName, Text(desiredAccess)})) {
    return 0;
  }
  if (!serverName.empty()) {
    const std::wstring prefix = FoldCase(serverName + L"\\");
    const bool known =
        std::any_of(state_.printers.begin(), state_.printers.end(),
                    [&](const PrinterState& p) { return FoldCase(p.name).starts_with(prefix); });
    if (!known) {
      Fail(kErrorInvalidPrinterName);
      return 0;
    }
  }
  const PrinterHandle handle = state_.nextHandle++;
  state_.serverHandles.insert(handle);
  return handle;
}

bool SimSpooler::OpenForForms(PrinterHandle handle) {
  return state_.serverHandles.count(handle) != 0 || Opened(handle) != nullptr;
}

bool SimSpooler::ClosePrinter(PrinterHandle printer) {
  const bool injected = InjectedFailure(Api::ClosePrinter, {Text(printer)});
  // The handle is gone even when the close reports failure, so that a test sees whether
  // the code under test closed what it opened.
  const bool known =
      state_.openHandles.erase(printer) > 0 || state_.serverHandles.erase(printer) > 0;
  if (injected) return false;
  return known || Fail(kErrorInvalidHandle);
}

bool SimSpooler::EnumForms(PrinterHandle printer, std::uint32_t bufferBytes,
                           std::vector<FormInfo>& forms, std::uint32_t& bytesNeeded,
                           std::uint32_t& returned) {
  forms.clear();
  bytesNeeded = 0;
  returned = 0;
  if (InjectedFailure(Api::EnumForms, {Text(printer), Text(bufferBytes)})) return false;
  if (!OpenForForms(printer)) return false;
  if (state_.formsGrowDuringEnumeration && bufferBytes > 0) {
    FormInfo grown = state_.forms.empty() ? FormInfo{} : state_.forms.back();
    grown.name = L"Grown " + std::to_wstring(state_.forms.size());
    state_.forms.push_back(grown);
  }
  for (const FormInfo& form : state_.forms) bytesNeeded += FormBytes(form.name);
  if (bufferBytes < bytesNeeded) return Fail(kErrorInsufficientBuffer);
  forms = state_.forms;
  returned = static_cast<std::uint32_t>(forms.size());
  return true;
}

bool SimSpooler::GetForm(PrinterHandle printer, const std::wstring& formName,
                         std::uint32_t bufferBytes, FormInfo& form, std::uint32_t& bytesNeeded) {
  bytesNeeded = 0;
  if (InjectedFailure(Api::GetForm, {Text(printer), formName, Text(bufferBytes)})) return false;
  if (!OpenForForms(printer)) return false;
  auto found = FindForm(state_.forms, formName, state_.formNamesAnyCase);
  if (found == state_.forms.end()) return Fail(kErrorInvalidFormName);
  bytesNeeded = FormBytes(found->name);
  if (bufferBytes < bytesNeeded) return Fail(kErrorInsufficientBuffer);
  form = *found;
  return true;
}

bool SimSpooler::AddForm(PrinterHandle printer, const FormInfo& form) {
  if (InjectedFailure(Api::AddForm,
                      {Text(printer), form.name, Text(form.flags), SignedText(form.cx),
                       SignedText(form.cy), SignedText(form.left), SignedText(form.top),
                       SignedText(form.right), SignedText(form.bottom)})) {
    return false;
  }
  if (!OpenForForms(printer)) return false;
  if (state_.formChangesDropped) return true;
  const bool sizeValid = form.cx > 0 && form.cy > 0;
  const bool areaValid = form.left <= form.right && form.top <= form.bottom;
  if (form.name.empty() || !sizeValid || !areaValid) return Fail(kErrorInvalidParameter);
  if (FindForm(state_.forms, form.name, state_.formNamesAnyCase) != state_.forms.end())
    return Fail(kErrorFileExists);
  FormInfo added = form;
  added.flags = kUserForm;  // the spooler keeps every added form as a user form
  state_.forms.push_back(std::move(added));
  return true;
}

bool SimSpooler::DeleteForm(PrinterHandle printer, const std::wstring& formName) {
  if (InjectedFailure(Api::DeleteForm, {Text(printer), formName})) return false;
  if (!OpenForForms(printer)) return false;
  if (state_.formChangesDropped) return true;
  auto found = FindForm(state_.forms, formName, state_.formNamesAnyCase);
  if (found == state_.forms.end()) return Fail(kErrorInvalidFormName);
  if (found->flags == kBuiltinForm) return Fail(kErrorInvalidParameter);
  state_.forms.erase(found);
  return true;
}

std::int32_t SimSpooler::DocumentProperties(WindowHandle parent, PrinterHandle printer,
                                            const std::wstring& deviceName,
                                            std::vector<std::uint8_t>* output,
                                            const std::vector<std::uint8_t>* input,
                                            std::uint32_t mode) {
  if (InjectedFailure(Api::DocumentProperties, {Text(parent), Text(printer), deviceName,
                                                output ? Text(output->size()) : kNull,
                                                input ? Text(input->size()) : kNull, Text(mode)})) {
    return -1;
  }
  PrinterState* state = printer ? Opened(printer) : state_.FindPrinter(deviceName);
  if (!state) {
    Fail(kErrorInvalidHandle);
    return -1;
  }
  if (mode == 0) return state->settingsSize;
  if (state->settingsSize <= 0 || state->settings.empty()) return -1;

  std::vector<std::uint8_t> result = state->settings;
  if (mode & kDmInBuffer) {
    if (!input) {
      Fail(kErrorInvalidParameter);
      return -1;
    }
    state_.lastMergeInput = *input;
    const std::size_t claimed = static_cast<std::size_t>(devmode::ReadU16(*input, devmode::kSize)) +
                                devmode::ReadU16(*input, devmode::kDriverExtra);
    if (input->size() < devmode::kFields + 4 || input->size() < claimed) ++state_.settingsOverruns;
    const std::uint32_t fields = devmode::ReadU32(*input, devmode::kFields);
    std::uint32_t merged = devmode::ReadU32(result, devmode::kFields);
    for (const MergedField& field : kMergedFields) {
      if (!(fields & field.bit)) continue;
      if (field.offset + field.bytes > input->size()) {
        ++state_.settingsOverruns;
        continue;
      }
      if (field.offset + field.bytes > result.size()) continue;
      std::copy_n(input->begin() + static_cast<std::ptrdiff_t>(field.offset), field.bytes,
                  result.begin() + static_cast<std::ptrdiff_t>(field.offset));
      merged |= field.bit;
    }
    devmode::WriteU32(result, devmode::kFields, merged);
    state_.lastMergeOutput = result;
  }
  if (mode & kDmOutBuffer) {
    if (!output) {
      Fail(kErrorInvalidParameter);
      return -1;
    }
    if (output->size() < result.size()) ++state_.settingsOverruns;
    std::copy_n(result.begin(), std::min(output->size(), result.size()), output->begin());
  }
  return kIdOk;
}

bool SimSpooler::GetPrinterSettings(PrinterHandle printer, std::uint32_t level,
                                    std::vector<std::uint8_t>& devMode) {
  devMode.clear();
  if (InjectedFailure(Api::GetPrinter, {Text(printer), Text(level)})) return false;
  PrinterState* state = Opened(printer);
  if (!state) return false;
  if (level == kOwnSettings) {
    devMode = state->userSettings.value_or(std::vector<std::uint8_t>());
  } else if (level == kEveryUsersSettings) {
    devMode = state->settings;
  } else {
    return Fail(kErrorInvalidParameter);
  }
  return true;
}

bool SimSpooler::SetPrinterSettings(PrinterHandle printer, std::uint32_t level,
                                    const std::vector<std::uint8_t>& devMode) {
  if (InjectedFailure(Api::SetPrinter, {Text(printer), Text(level)})) return false;
  PrinterState* state = Opened(printer);
  if (!state) return false;
  if ((level != kOwnSettings && level != kEveryUsersSettings) ||
      devMode.size() < devmode::kFormName + 64) {
    return Fail(kErrorInvalidParameter);
  }
  std::vector<std::uint8_t> kept = devMode;
  const std::wstring wanted = devmode::ReadName(devMode, devmode::kFormName);
  const bool known =
      FindForm(state_.forms, wanted, state_.formNamesAnyCase) != state_.forms.end() &&
      (!state_.driverForms || std::find(state_.driverForms->begin(), state_.driverForms->end(),
                                        wanted) != state_.driverForms->end());
  if (!known) {
    const std::vector<std::uint8_t>& before =
        level == kOwnSettings && state->userSettings ? *state->userSettings : state->settings;
    devmode::WriteName(kept, devmode::kFormName, devmode::ReadName(before, devmode::kFormName));
  }
  if (level == kOwnSettings) {
    state->userSettings = std::move(kept);
  } else {
    state->settings = std::move(kept);
  }
  return true;
}

DeviceContext SimSpooler::ResetDC(DeviceContext dc, const std::vector<std::uint8_t>& devMode) {
  if (InjectedFailure(Api::ResetDC, {Text(dc), Text(devMode.size())})) return 0;
  if (devMode.empty()) {
    Fail(kErrorInvalidParameter);
    return 0;
  }
  const bool known = std::any_of(state_.printers.begin(), state_.printers.end(),
                                 [&](const PrinterState& printer) { return printer.dc == dc; });
  if (!known) return 0;
  const std::size_t claimed = static_cast<std::size_t>(devmode::ReadU16(devMode, devmode::kSize)) +
                              devmode::ReadU16(devMode, devmode::kDriverExtra);
  if (devMode.size() < devmode::kFields + 4 || devMode.size() < claimed) ++state_.settingsOverruns;
  state_.lastResetDCRecord = devMode;
  return dc;
}

}  // namespace sheetlore::sim
