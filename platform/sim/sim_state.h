#pragma once
// The data behind SimPlatform and the services that act on it. Internal to platform/sim.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/fold_case.h"
#include "platform/sim/profile_document.h"
#include "platform/sim/sim_platform.h"

namespace sheetlore::sim {

struct PrinterState {
  std::wstring name;
  DeviceContext dc = 0;
  std::int32_t settingsSize = 0;  // what the mode-0 query reports
  std::vector<std::uint8_t> settings;
  std::optional<std::vector<std::uint8_t>> userSettings;
};

class FileState {
 public:
  std::wstring path;  // as first written
  bool readOnly = false;
  bool unreadable = false;  // another program holds it without sharing: reads find nothing,
                            // writes fail (error 32)
  bool hidden = false;
  bool system = false;

  const std::wstring& text() const { return text_; }
  void SetText(std::wstring text);
  // The text as the profile service reads it, parsed once per change of the text, so that
  // tests with large files stay fast.
  const profile::Document& Parsed() const;

 private:
  std::wstring text_;
  mutable std::optional<profile::Document> parsed_;
};

struct ScriptedWindow {
  std::wstring caption;
  WindowHandle handle = 0;
  std::uint64_t opensAt = 0;
  std::optional<std::uint64_t> closesAt;
};

// The call log and the failures a test has asked for.
class CallRecorder {
 public:
  // Logs the call and tells whether this call must fail.
  bool Record(Api api, std::vector<std::wstring> args);
  void FailCall(Api api, std::size_t nth, std::size_t count);

  const std::vector<Call>& calls() const { return calls_; }
  void Clear() { calls_.clear(); }

 private:
  std::vector<Call> calls_;
  std::map<Api, std::size_t> seen_;               // calls so far, per kind
  std::map<Api, std::set<std::size_t>> failing_;  // ordinals (from 1) that fail
};

std::wstring Text(std::uint64_t number);
std::wstring SignedText(std::int64_t number);
std::wstring OptionalText(const std::optional<std::wstring>& text);

class SimSpooler final : public Spooler {
 public:
  explicit SimSpooler(SimPlatform::State& state) : state_(state) {}
  PrinterHandle OpenPrinter(const std::wstring& printerName, std::uint32_t desiredAccess) override;
  PrinterHandle OpenPrintServer(const std::wstring& serverName,
                                std::uint32_t desiredAccess) override;
  bool ClosePrinter(PrinterHandle printer) override;
  bool EnumForms(PrinterHandle printer, std::uint32_t bufferBytes, std::vector<FormInfo>& forms,
                 std::uint32_t& bytesNeeded, std::uint32_t& returned) override;
  bool GetForm(PrinterHandle printer, const std::wstring& formName, std::uint32_t bufferBytes,
               FormInfo& form, std::uint32_t& bytesNeeded) override;
  bool AddForm(PrinterHandle printer, const FormInfo& form) override;
  bool DeleteForm(PrinterHandle printer, const std::wstring& formName) override;
  bool GetPrinterSettings(PrinterHandle printer, std::uint32_t level,
                          std::vector<std::uint8_t>& devMode) override;
  bool SetPrinterSettings(PrinterHandle printer, std::uint32_t level,
                          const std::vector<std::uint8_t>& devMode) override;
  std::int32_t DocumentProperties(WindowHandle parent, PrinterHandle printer,
                                  const std::wstring& deviceName, std::vector<std::uint8_t>* output,
                                  const std::vector<std::uint8_t>* input,
                                  std::uint32_t mode) override;
  DeviceContext ResetDC(DeviceContext dc, const std::vector<std::uint8_t>& devMode) override;
  std::uint32_t LastError() const override { return lastError_; }

 private:
  bool Fail(std::uint32_t error);
  bool InjectedFailure(Api api, std::vector<std::wstring> args);
  // The printer an open handle belongs to, or null (and ERROR_INVALID_HANDLE).
  PrinterState* Opened(PrinterHandle printer);
  // Whether a handle of a printer or of the print server is open (else ERROR_INVALID_HANDLE).
  bool OpenForForms(PrinterHandle handle);

  SimPlatform::State& state_;
  std::uint32_t lastError_ = 0;
};

class SimProfileFiles final : public ProfileFiles {
 public:
  explicit SimProfileFiles(SimPlatform::State& state) : state_(state) {}
  std::uint32_t GetString(const std::optional<std::wstring>& section,
                          const std::optional<std::wstring>& key, const std::wstring& defaultValue,
                          std::uint32_t bufferChars, std::wstring& text,
                          const std::wstring& path) override;
  bool WriteString(const std::optional<std::wstring>& section,
                   const std::optional<std::wstring>& key, const std::optional<std::wstring>& value,
                   const std::wstring& path) override;
  bool WriteSection(const std::wstring& section, const KeyValues& keys,
                    const std::wstring& path) override;
  std::unique_ptr<FileLock> LockFile(const std::wstring& path) override;
  bool IsUnreadable(const std::wstring& path) override;
  std::uint32_t LastError() const override { return lastError_; }
  bool HoldsText(const std::wstring& text, const std::wstring& path) override;
  bool KeepsExistingText(const std::wstring& path) override;
  std::optional<std::vector<SectionLine>> ReadSection(const std::wstring& section,
                                                      const std::wstring& path) override;
  // Code pages 65001 (UTF-8) and 28591 (Latin-1); each character of an ANSI file is a byte.
  CodePageText ReadInCodePage(const std::wstring& path, std::uint32_t codePage) override;
  bool RewriteAsUnicode(const std::wstring& text, const std::wstring& path) override;
  std::optional<std::wstring> ReadText(const std::wstring& path) override;
  bool RewriteText(const std::wstring& text, const std::wstring& path) override;

 private:
  class SimLock;
  std::wstring ReadPath(const std::wstring& path);
  // Where a write goes (the change begun if needed); nothing when it must fail.
  std::optional<std::wstring> BeginWrite(const std::wstring& path);
  // Marks the change of path failed; false.
  bool Failed(const std::wstring& path, std::uint32_t error);
  // Stores a write's new text, cut short when a test asked for it.
  void Store(const std::wstring& target, std::wstring text);
  bool Commit(const std::wstring& key);
  void Release(const std::wstring& key, bool committed, unsigned writesAtStart);
  // Keeps error as the last one; false.
  bool Fail(std::uint32_t error);
  // Why a write to this file must fail (0 when it may go ahead).
  std::uint32_t WriteRefusal(const FileState* file) const;

  SimPlatform::State& state_;
  std::uint32_t lastError_ = 0;
};

class SimSystem final : public System {
 public:
  explicit SimSystem(SimPlatform::State& state) : state_(state) {}
  bool GetVersionEx(std::uint32_t& platformId) override;
  WindowHandle FindWindow(const std::wstring& caption) override;
  void Sleep(std::uint32_t milliseconds) override;
  void PumpMessages() override;
  std::uint64_t Milliseconds() override;
  void MessageBox(const std::wstring& text, const std::wstring& title,
                  std::uint32_t style) override;
  std::uint32_t LastError() const override { return lastError_; }
  // A fixed table of the texts Windows gives in English for the errors the simulation makes.
  std::wstring ErrorText(std::uint32_t code) override;

 private:
  SimPlatform::State& state_;
  std::uint32_t lastError_ = 0;
};

class SimShell final : public Shell {
 public:
  explicit SimShell(SimPlatform::State& state) : state_(state) {}
  void StartAddPrinterWizard() override;

 private:
  SimPlatform::State& state_;
};

class SimHost final : public Host {
 public:
  explicit SimHost(SimPlatform::State& state) : state_(state) {}
  std::vector<PrinterRef> Printers() override;
  PrinterRef CurrentPrinter() override;
  std::wstring ComponentDirectory() override;
  bool FileExists(const std::wstring& path) override;
  std::wstring StoreFileSetting() override;

 private:
  SimPlatform::State& state_;
};

// A printer object handed out by the host: reads its name from the simulation, or fails.
PrinterRef MakePrinterObject(SimPlatform::State& state, std::wstring name);
PrinterRef MakeCurrentPrinterObject(SimPlatform::State& state);
PrinterRef MakeFailingPrinterObject(SimPlatform::State& state, std::int32_t hresult);

struct SimPlatform::State {
  State();

  CallRecorder recorder;

  // Print server.
  std::vector<PrinterState> printers;
  std::optional<std::wstring> currentPrinter;
  std::vector<FormInfo> forms;
  bool formChangesDropped = false;
  bool formNamesAnyCase = false;
  bool formsGrowDuringEnumeration = false;
  std::optional<std::vector<std::wstring>> driverForms;
  std::map<PrinterHandle, std::wstring> openHandles;  // handle -> printer name
  std::set<PrinterHandle> serverHandles;
  PrinterHandle nextHandle = 0x1000;
  DeviceContext nextDC = 0x5000;
  std::uint32_t injectedError = 5;
  std::optional<std::vector<std::uint8_t>> lastMergeInput;
  std::optional<std::vector<std::uint8_t>> lastMergeOutput;
  std::optional<std::vector<std::uint8_t>> lastResetDCRecord;
  std::size_t settingsOverruns = 0;

  // Files, keyed by folded full path, and the order they were created in.
  std::map<std::wstring, FileState> files;
  std::vector<std::wstring> fileOrder;
  bool lockFails = false;

  // Locked changes of profile files, by folded path, and the faults they can meet.
  struct ProfileChange {
    int locks = 0;
    unsigned writes = 0;
    bool failed = false;
    std::uint32_t error = 0;  // the error of the failure
    std::wstring problem;
    bool begun = false;
    std::wstring filePath;
    std::wstring workingPath;          // the copy, or without one the file itself
    std::optional<std::wstring> copy;  // the copy's path
    std::optional<FileState> old;      // without a copy: the file as it was (nothing: absent)
  };
  std::map<std::wstring, ProfileChange> changes;
  unsigned copiesMade = 0;
  bool copiesRefused = false;
  bool copiesFailForSpace = false;
  bool commitsFail = false;
  std::optional<std::size_t> cutNextWrite;
  std::size_t writesBeforeCut = 0;  // whole writes still to come before the cut one
  void RemoveFile(const std::wstring& path);

  // System.
  std::uint32_t platformId = 2;
  bool versionFails = false;
  std::uint64_t clock = 1000;
  std::uint64_t pollCost = 0;
  std::vector<ScriptedWindow> windows;
  WindowHandle nextWindow = 0x9000;
  std::function<void()> onPumpMessages;
  std::vector<Message> messages;

  // Shell and host.
  std::size_t wizardStarts = 0;
  bool wizardFails = false;
  std::function<void()> onWizardStart;
  std::wstring componentDirectory = L"C:\\Program Files\\Sheetlore";
  std::wstring storeFileSetting;

  SimSpooler spooler;
  SimProfileFiles profile;
  SimSystem system;
  SimShell shell;
  SimHost host;
  Platform platform;

  PrinterState* FindPrinter(const std::wstring& name);
  FileState* FindFile(const std::wstring& path);
  FileState& CreateFile(const std::wstring& path);
};

}  // namespace sheetlore::sim
