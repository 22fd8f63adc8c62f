// SimPlatform's verbs: how tests set the simulation up and inspect it.
#include "platform/sim/sim_platform.h"

#include <algorithm>
#include <utility>

#include "platform/sim/sim_state.h"

namespace sheetlore::sim {

SimPlatform::State::State()
    : forms(BuiltinForms()),
      spooler(*this),
      profile(*this),
      system(*this),
      shell(*this),
      host(*this),
      platform{spooler, profile, system, shell, host, nullptr} {}

PrinterState* SimPlatform::State::FindPrinter(const std::wstring& name) {
  for (PrinterState& printer : printers) {
    if (EqualNoCase(printer.name, name)) return &printer;
  }
  return nullptr;
}

FileState* SimPlatform::State::FindFile(const std::wstring& path) {
  auto it = files.find(FoldCase(path));
  return it == files.end() ? nullptr : &it->second;
}

FileState& SimPlatform::State::CreateFile(const std::wstring& path) {
  const std::wstring key = FoldCase(path);
  auto [it, inserted] = files.try_emplace(key);
  if (inserted) {
    it->second.path = path;
    fileOrder.push_back(key);
  }
  return it->second;
}

SimPlatform::SimPlatform() : state_(std::make_unique<State>()) {}
SimPlatform::~SimPlatform() { profile::SetNameRule(profile::NameRule::AsciiLetters); }

void SimPlatform::SetProfileFoldsEveryLetter() {
  profile::SetNameRule(profile::NameRule::EveryLetter);
}

Platform& SimPlatform::platform() { return state_->platform; }
void SimPlatform::SetDialogHost(DialogHost* dialogs) { state_->platform.dialogs = dialogs; }

// --- Printers ---

void SimPlatform::AddPrinter(const std::wstring& name) {
  if (state_->FindPrinter(name)) return;
  PrinterState printer;
  printer.name = name;
  printer.dc = state_->nextDC++;
  printer.settingsSize = static_cast<std::int32_t>(devmode::kPublicBytes + 64);
  printer.settings = devmode::MakeRecord(name, static_cast<std::size_t>(printer.settingsSize));
  state_->printers.push_back(std::move(printer));
  if (!state_->currentPrinter) state_->currentPrinter = name;
}

void SimPlatform::RemoveAllPrinters() {
  state_->printers.clear();
  state_->currentPrinter.reset();
}

void SimPlatform::SetCurrentPrinter(const std::wstring& name) { state_->currentPrinter = name; }

std::vector<std::wstring> SimPlatform::PrinterNames() const {
  std::vector<std::wstring> names;
  for (const PrinterState& printer : state_->printers) names.push_back(printer.name);
  return names;
}

PrinterRef SimPlatform::Printer(const std::wstring& name) {
  return MakePrinterObject(*state_, name);
}

PrinterRef SimPlatform::MakeBrokenPrinter(std::int32_t hresult) {
  return MakeFailingPrinterObject(*state_, hresult);
}

const std::vector<FormInfo>& SimPlatform::Forms() const { return state_->forms; }
void SimPlatform::SetForms(std::vector<FormInfo> forms) { state_->forms = std::move(forms); }
void SimPlatform::DropFormChanges(bool dropped) { state_->formChangesDropped = dropped; }
void SimPlatform::SetFormNamesMatchAnyCase(bool anyCase) { state_->formNamesAnyCase = anyCase; }
void SimPlatform::GrowFormsDuringEnumeration(bool growing) {
  state_->formsGrowDuringEnumeration = growing;
}
std::optional<std::vector<std::uint8_t>> SimPlatform::UserSettings(
    const std::wstring& printerName) const {
  for (const PrinterState& printer : state_->printers) {
    if (printer.name == printerName) return printer.userSettings;
  }
  return std::nullopt;
}

void SimPlatform::SetDriverForms(std::vector<std::wstring> formNames) {
  state_->driverForms = std::move(formNames);
}

std::size_t SimPlatform::OpenHandleCount() const {
  return state_->openHandles.size() + state_->serverHandles.size();
}

DeviceContext SimPlatform::PrinterDC(const std::wstring& printerName) const {
  const PrinterState* printer = state_->FindPrinter(printerName);
  return printer ? printer->dc : 0;
}

// --- Device settings ---

void SimPlatform::SetDeviceSettingsSize(const std::wstring& printerName, std::int32_t size) {
  PrinterState* printer = state_->FindPrinter(printerName);
  if (!printer) return;
  printer->settingsSize = size;
  printer->settings = size > 0 ? devmode::MakeRecord(printer->name, static_cast<std::size_t>(size))
                               : std::vector<std::uint8_t>();
}

std::vector<std::uint8_t> SimPlatform::DeviceSettings(const std::wstring& printerName) const {
  const PrinterState* printer = state_->FindPrinter(printerName);
  return printer ? printer->settings : std::vector<std::uint8_t>();
}

void SimPlatform::SetDeviceSettings(const std::wstring& printerName,
                                    std::vector<std::uint8_t> record) {
  PrinterState* printer = state_->FindPrinter(printerName);
  if (!printer) return;
  printer->settingsSize = static_cast<std::int32_t>(record.size());
  printer->settings = std::move(record);
}

std::optional<std::vector<std::uint8_t>> SimPlatform::LastMergeInput() const {
  return state_->lastMergeInput;
}
std::optional<std::vector<std::uint8_t>> SimPlatform::LastMergeOutput() const {
  return state_->lastMergeOutput;
}
std::optional<std::vector<std::uint8_t>> SimPlatform::LastResetDCRecord() const {
  return state_->lastResetDCRecord;
}
std::size_t SimPlatform::DeviceSettingsOverruns() const { return state_->settingsOverruns; }

// --- System ---

void SimPlatform::SetPlatformId(std::uint32_t platformId) { state_->platformId = platformId; }
void SimPlatform::FailVersion() { state_->versionFails = true; }
std::uint64_t SimPlatform::Now() const { return state_->clock; }
void SimPlatform::SetFindWindowPollCost(std::uint64_t milliseconds) {
  state_->pollCost = milliseconds;
}

WindowHandle SimPlatform::ScriptWindow(const std::wstring& caption, std::uint64_t opensAtMs,
                                       std::optional<std::uint64_t> closesAtMs) {
  const WindowHandle handle = state_->nextWindow++;
  state_->windows.push_back(ScriptedWindow{caption, handle, opensAtMs, closesAtMs});
  return handle;
}

WindowHandle SimPlatform::OpenWindow(const std::wstring& caption) {
  return ScriptWindow(caption, state_->clock);
}

void SimPlatform::CloseWindow(const std::wstring& caption) {
  for (ScriptedWindow& window : state_->windows) {
    const bool open =
        window.opensAt <= state_->clock && (!window.closesAt || *window.closesAt > state_->clock);
    if (window.caption == caption && open) window.closesAt = state_->clock;
  }
}

void SimPlatform::OnPumpMessages(std::function<void()> hook) {
  state_->onPumpMessages = std::move(hook);
}
const std::vector<Message>& SimPlatform::Messages() const { return state_->messages; }

// --- Shell ---

std::size_t SimPlatform::WizardStarts() const { return state_->wizardStarts; }
void SimPlatform::SetWizardFails(bool fails) { state_->wizardFails = fails; }
void SimPlatform::OnWizardStart(std::function<void()> hook) {
  state_->onWizardStart = std::move(hook);
}

// --- Host ---

void SimPlatform::SetComponentDirectory(std::wstring directory) {
  state_->componentDirectory = std::move(directory);
}

void SimPlatform::SetStoreFileSetting(std::wstring path) {
  state_->storeFileSetting = std::move(path);
}

void SimPlatform::MakeHidden(const std::wstring& path) {
  if (FileState* file = state_->FindFile(path)) file->hidden = true;
}

void SimPlatform::MakeSystem(const std::wstring& path) {
  if (FileState* file = state_->FindFile(path)) file->system = true;
}

// --- Profile files ---

bool SimPlatform::FileExists(const std::wstring& path) const {
  return state_->FindFile(path) != nullptr;
}

std::wstring SimPlatform::FileText(const std::wstring& path) const {
  const FileState* file = state_->FindFile(path);
  if (!file) return std::wstring();
  return file->Parsed().unicode ? file->text().substr(1) : file->text();
}

bool SimPlatform::FileIsUnicode(const std::wstring& path) const {
  const FileState* file = state_->FindFile(path);
  return file && file->Parsed().unicode;
}

void SimPlatform::SetLockFails(bool fails) { state_->lockFails = fails; }

void SimPlatform::SetFileText(const std::wstring& path, const std::wstring& text) {
  state_->CreateFile(path).SetText(text);
}

void SimPlatform::RemoveFile(const std::wstring& path) { state_->RemoveFile(path); }

void SimPlatform::State::RemoveFile(const std::wstring& path) {
  const std::wstring key = FoldCase(path);
  files.erase(key);
  std::erase(fileOrder, key);
}

void SimPlatform::MakeUnreadable(const std::wstring& path) {
  if (FileState* file = state_->FindFile(path)) file->unreadable = true;
}
void SimPlatform::RefuseCopies(bool refused) { state_->copiesRefused = refused; }
void SimPlatform::FailCopiesForSpace(bool fails) { state_->copiesFailForSpace = fails; }
void SimPlatform::FailCommits(bool fails) { state_->commitsFail = fails; }
void SimPlatform::CutNextWrite(std::size_t keepChars, std::size_t writesBefore) {
  state_->cutNextWrite = keepChars;
  state_->writesBeforeCut = writesBefore;
}

void SimPlatform::MakeReadOnly(const std::wstring& path) {
  if (FileState* file = state_->FindFile(path)) file->readOnly = true;
}

void SimPlatform::HoldFile(const std::wstring& path) {
  if (FileState* file = state_->FindFile(path)) file->unreadable = true;
}

void SimPlatform::ReleaseFile(const std::wstring& path) {
  if (FileState* file = state_->FindFile(path)) file->unreadable = false;
}

std::vector<std::wstring> SimPlatform::FilePaths() const {
  std::vector<std::wstring> paths;
  for (const std::wstring& key : state_->fileOrder) paths.push_back(state_->files.at(key).path);
  return paths;
}

// --- Call log and faults ---

const std::vector<Call>& SimPlatform::Calls() const { return state_->recorder.calls(); }

std::size_t SimPlatform::CountCalls(Api api) const {
  const auto& calls = state_->recorder.calls();
  return static_cast<std::size_t>(
      std::count_if(calls.begin(), calls.end(), [&](const Call& call) { return call.api == api; }));
}

void SimPlatform::ClearCalls() { state_->recorder.Clear(); }

void SimPlatform::FailCall(Api api, std::size_t nth, std::size_t count) {
  state_->recorder.FailCall(api, nth, count);
}

void SimPlatform::SetInjectedError(std::uint32_t error) { state_->injectedError = error; }

}  // namespace sheetlore::sim
