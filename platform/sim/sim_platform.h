#pragma once
// A simulated platform for the unit tests: an in-memory print server with the spooler's
// rules, profile files with the Windows profile rules, a fake clock with scripted windows,
// a scriptable add-printer wizard and automation host, and a log of every call in order.
//
// Tests set it up with verbs (AddPrinter, SetFileText, ScriptWindow, FailCall, ...), hand
// platform() to the code under test, then inspect what happened (Calls(), Forms(),
// FileText(), Messages(), OpenHandleCount(), ...).
//
// The call log records each platform call as an Api value and its arguments as text. The
// calls and their arguments, in order:
//   OpenPrinter {printerName, desiredAccess}          ClosePrinter {handle}
//     (OpenPrintServer is logged as OpenPrinter of its server's name, kNull for the local one)
//   EnumForms {handle, bufferBytes}                   GetForm {handle, formName, bufferBytes}
//   AddForm {handle, name, flags, cx, cy, left, top, right, bottom}
//   DeleteForm {handle, formName}
//   DocumentProperties {parent, handle, deviceName, outputBytes, inputBytes, mode}
//   ResetDC {dc, recordBytes}
//   GetPrivateProfileString {section, key, default, bufferChars, path}
//   WritePrivateProfileString {section, key, value, path}
//   GetPrivateProfileSection {section, path}   WriteProfileText {path} (ProfileFiles::RewriteText)
//   GetVersionEx {}   FindWindow {caption}   Sleep {milliseconds}   PumpMessages {}
//   MessageBox {text, title, style}           StartAddPrinterWizard {}
//   Printers {}   CurrentPrinter {}   ComponentDirectory {}   FileExists {path}
//   DeviceName {printer}   hDC {printer}      (reads of a printer object)
// Numbers are written in decimal; an absent (null) text or record is written as kNull.
// Reading the clock (System::Milliseconds) is not logged.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/devmode_layout.h"
#include "platform/platform.h"

namespace sheetlore::sim {

// How the call log writes an absent text or record.
inline const std::wstring kNull = L"(null)";

// The platform calls the log records and a test can make fail. A misspelt call does not
// compile, so a count of zero always means the call was not made.
enum class Api {
  OpenPrinter,
  ClosePrinter,
  EnumForms,
  GetForm,
  AddForm,
  DeleteForm,
  DocumentProperties,
  GetPrinter,
  SetPrinter,
  ResetDC,
  GetPrivateProfileString,
  WritePrivateProfileString,
  WritePrivateProfileSection,
  GetPrivateProfileSection,
  WriteProfileText,
  GetVersionEx,
  FindWindow,
  Sleep,
  PumpMessages,
  MessageBox,
  StartAddPrinterWizard,
  Printers,
  CurrentPrinter,
  ComponentDirectory,
  FileExists,
  DeviceName,
  hDC,
};

// The call's name as the platform spells it, for failure messages.
std::string_view ApiName(Api api);
std::ostream& operator<<(std::ostream& out, Api api);

struct Call {
  Api api;
  std::vector<std::wstring> args;

  friend bool operator==(const Call&, const Call&) = default;
};

struct Message {
  std::wstring text;
  std::wstring title;
  std::uint32_t style = 0;

  friend bool operator==(const Message&, const Message&) = default;
};

// Bytes one form takes in an EnumForms or GetForm answer: a fixed record plus its name in
// wide characters with the terminator.
constexpr std::uint32_t kFormRecordBytes = 40;
inline std::uint32_t FormBytes(const std::wstring& formName) {
  return kFormRecordBytes + static_cast<std::uint32_t>((formName.size() + 1) * 2);
}

// The built-in forms of the print server, in the platform's order and sizes.
const std::vector<FormInfo>& BuiltinForms();

// The device settings record (platform/devmode_layout.h), with what only the simulation writes.
namespace devmode {
using namespace sheetlore::devmode;
// Writes a zero-ended name of at most 31 wide characters, zeros after it.
void WriteName(std::vector<std::uint8_t>& record, std::size_t offset, const std::wstring& name);
// A fresh record for a printer: totalBytes long, dmSize = min(220, totalBytes) and the rest
// as driver bytes, the device name, dmFields naming orientation, paper size and form name,
// form "Letter".
std::vector<std::uint8_t> MakeRecord(const std::wstring& deviceName, std::size_t totalBytes);
}  // namespace devmode

class SimPlatform {
 public:
  SimPlatform();
  ~SimPlatform();
  SimPlatform(const SimPlatform&) = delete;
  SimPlatform& operator=(const SimPlatform&) = delete;

  // Every service, wired to this simulation. dialogs is null until SetDialogHost.
  Platform& platform();
  void SetDialogHost(DialogHost* dialogs);

  // --- Printers of the one print server ---
  // Installs a printer (ignored when one of that name exists). The first printer added
  // becomes the current printer. Every printer shares the server's forms, which start as
  // BuiltinForms().
  //
  // The spooler's rules: OpenPrinter of an unknown name fails with 1801; a handle that is
  // not open (never opened, closed, or of a removed printer) fails with 6; GetForm, AddForm
  // and DeleteForm find a form by its name in its own letter case only (as Wine's spooler),
  // or in any case after SetFormNamesMatchAnyCase(true);
  // EnumForms and GetForm report the bytes needed (FormBytes) and fail with 122 while the
  // buffer is short; ResetDC refuses an empty record with 87; AddForm refuses an existing name with
  // 80 and an empty name, a size of 0 or an inverted printable area with 87, and keeps the form as
  // a user form at the end of the list; DeleteForm refuses a built-in form with 87 and a missing
  // one with 1902. ClosePrinter releases the handle even when made to fail. OpenPrintServer
  // opens the local print server, or a named one ("\\\\print01") that holds a printer added
  // as "\\\\print01\\NAME" (else 1801); its handle lists and changes the same forms and has
  // no device settings (DocumentProperties fails with 6).
  void AddPrinter(const std::wstring& name);
  void RemoveAllPrinters();  // the current printer then fails as with no printer installed
  void SetCurrentPrinter(const std::wstring& name);
  std::vector<std::wstring> PrinterNames() const;
  // A printer object whose DeviceName is name, installed or not.
  PrinterRef Printer(const std::wstring& name);
  // A printer object whose DeviceName and hDC fail with an AutomationError of that HRESULT
  // (default: DISP_E_UNKNOWNNAME, as a late-bound read of a missing property).
  PrinterRef MakeBrokenPrinter(std::int32_t hresult = static_cast<std::int32_t>(0x80020006u));
  // The server's forms, in enumeration order; replace them to set up a test.
  const std::vector<FormInfo>& Forms() const;
  void SetForms(std::vector<FormInfo> forms);
  // While true, AddForm and DeleteForm answer success and change nothing, as Wine's do.
  void DropFormChanges(bool dropped);
  // The spooler's rule for form names: false (default) the exact name, true any letter case.
  void SetFormNamesMatchAnyCase(bool anyCase);
  // While true, another program adds a form during every EnumForms call that offers a buffer,
  // so the list never fits the size last reported.
  void GrowFormsDuringEnumeration(bool growing);
  // Printer handles opened and not yet closed.
  std::size_t OpenHandleCount() const;
  // The device context the current printer's hDC gives (nonzero, one per printer).
  DeviceContext PrinterDC(const std::wstring& printerName) const;

  // --- Device settings (DocumentProperties, ResetDC) ---
  // The size the mode-0 query reports for a printer and the length of its record. A size of
  // 0 or below is reported as is, and the printer then has no record (mode 2 fails).
  // Default: 220 public bytes + 64 driver bytes.
  void SetDeviceSettingsSize(const std::wstring& printerName, std::int32_t size);
  std::vector<std::uint8_t> DeviceSettings(const std::wstring& printerName) const;
  void SetDeviceSettings(const std::wstring& printerName, std::vector<std::uint8_t> record);
  // DocumentProperties with DM_IN_BUFFER merges the orientation, paper size, length, width
  // and form name that the input's dmFields names into a copy of the printer's record (the
  // printer's own record does not change) and, with DM_OUT_BUFFER, copies the result out.
  // The input record of the last such call, and the record it produced; the record of the
  // last ResetDC.
  std::optional<std::vector<std::uint8_t>> LastMergeInput() const;
  std::optional<std::vector<std::uint8_t>> LastMergeOutput() const;
  std::optional<std::vector<std::uint8_t>> LastResetDCRecord() const;
  // Times a DocumentProperties call would have read or written past the caller's records (a
  // real driver overruns the buffer there; the simulation copies only what fits).
  std::size_t DeviceSettingsOverruns() const;
  // GetPrinter and SetPrinter of the default settings (log: {handle, level}): level 8 is the
  // printer's record above, level 9 the current user's own (none until set). SetPrinter keeps a
  // form name only when the server has a form of that name, as a driver keeps only forms it
  // knows (every form of the server, or only those SetDriverForms names); otherwise the record
  // keeps its old form name.
  std::optional<std::vector<std::uint8_t>> UserSettings(const std::wstring& printerName) const;
  void SetDriverForms(std::vector<std::wstring> formNames);

  // --- System ---
  void SetPlatformId(std::uint32_t platformId);  // default 2 (the NT family)
  void FailVersion();                            // every GetVersionEx fails from now on
  // The fake clock starts at 1000 ms; Sleep advances it by its argument and every
  // FindWindow by the poll cost (default 0).
  std::uint64_t Now() const;
  void SetFindWindowPollCost(std::uint64_t milliseconds);
  // A top-level window with this caption exists from opensAtMs (clock time) until
  // closesAtMs (never closes when absent). FindWindow matches captions without regard to case.
  WindowHandle ScriptWindow(const std::wstring& caption, std::uint64_t opensAtMs,
                            std::optional<std::uint64_t> closesAtMs = std::nullopt);
  // Opens or closes a window now (e.g. from a hook).
  WindowHandle OpenWindow(const std::wstring& caption);
  void CloseWindow(const std::wstring& caption);
  // A hook run at the start of each PumpMessages call, so a test can act as the user would
  // (open a window, install a printer, ...).
  void OnPumpMessages(std::function<void()> hook);
  const std::vector<Message>& Messages() const;

  // --- Shell ---
  std::size_t WizardStarts() const;
  // While set, StartAddPrinterWizard throws AutomationError (the shell cannot start it).
  void SetWizardFails(bool fails);
  // Runs on every successful wizard start (e.g. to install a printer, open its window).
  void OnWizardStart(std::function<void()> hook);

  // --- Host ---
  // Default L"C:\\Program Files\\Sheetlore".
  // From now until this platform goes, the profile service takes names that differ in the
  // case of any letter (É and é) for one, as a Windows service may; at first only ASCII
  // letters, as Wine's.
  void SetProfileFoldsEveryLetter();

  void SetComponentDirectory(std::wstring directory);
  // The machine's setting naming the store's file, as the host reports it (expanded). Default
  // empty: no setting.
  void SetStoreFileSetting(std::wstring path);
  // FileExists answers over the profile files: true for a file that exists and is neither
  // hidden nor system.
  void MakeHidden(const std::wstring& path);
  void MakeSystem(const std::wstring& path);

  // --- Profile files (paths compared without regard to case; an empty path names no file:
  // reads find nothing, not even the default, and writes fail) ---
  //
  // Section and key names match without regard to case for the ASCII letters only. A file
  // whose text starts with U+FEFF (the byte-order mark) is a UTF-16 file and holds every
  // character; any other file is in the ANSI code page, here ASCII and Latin-1: a read
  // naming a section or key outside it finds nothing, and a write of such a text fails and
  // changes nothing. A value write to an absent or empty file makes it a UTF-16 file.
  // LockFile gives a lock that holds nothing, or null while SetLockFails(true).
  bool FileExists(const std::wstring& path) const;
  // The file's text as the Windows profile API writes it: "[Section]" and "key=value"
  // lines ended by CR LF, without the byte-order mark. Empty when the file does not exist.
  std::wstring FileText(const std::wstring& path) const;
  bool FileIsUnicode(const std::wstring& path) const;  // it starts with the byte-order mark
  // Creates the file; a text that starts with U+FEFF makes a UTF-16 file.
  void SetFileText(const std::wstring& path, const std::wstring& text);
  void SetLockFails(bool fails);
  void RemoveFile(const std::wstring& path);
  void MakeReadOnly(const std::wstring& path);  // writes to it fail from now on
  // Another program holds the file: IsUnreadable answers true, reads find nothing (not even
  // the default), writes fail.
  void MakeUnreadable(const std::wstring& path);
  // Locked changes, as on Windows: the first write under a lock copies the file to
  // "<path>.pending-<n>" and every read and write of the lock's path goes there; Commit of the
  // outermost lock puts the copy in the file's place, a lock ended without it removes the copy.
  // With RefuseCopies(true) the folder takes no new file: the change is made on the file and,
  // without a commit, its old text is put back. FailCopiesForSpace: no copy, the write fails.
  // FailCommits: the copy cannot replace the file, Commit answers false.
  void RefuseCopies(bool refused);
  void FailCopiesForSpace(bool fails);
  void FailCommits(bool fails);
  // The next profile write (or, with writesBefore, the one after that many more) keeps only
  // the first keepChars characters of the file's new text and still answers success (a full
  // disk under a service that trusts a short write).
  void CutNextWrite(std::size_t keepChars, std::size_t writesBefore = 0);
  // Another program holds the file open without sharing, as MakeUnreadable, until ReleaseFile.
  void HoldFile(const std::wstring& path);
  void ReleaseFile(const std::wstring& path);
  std::vector<std::wstring> FilePaths() const;  // every existing file, in creation order

  // --- Call log ---
  const std::vector<Call>& Calls() const;
  std::size_t CountCalls(Api api) const;
  void ClearCalls();

  // --- Fault injection ---
  // The nth next call of that kind (counting from 1) and the count-1 after it fail as the
  // real call fails: false, 0 or a negative result with a last error, an empty answer for
  // the profile read, AutomationError for the calls that throw (StartAddPrinterWizard,
  // Printers, CurrentPrinter, ComponentDirectory, DeviceName, hDC). Sleep, PumpMessages and
  // MessageBox cannot fail.
  void FailCall(Api api, std::size_t nth = 1, std::size_t count = 1);
  // The error LastError gives after an injected spooler, profile or version failure (default
  // 5, access denied).
  void SetInjectedError(std::uint32_t error);

  struct State;  // the simulation's data, shared by the service implementations

 private:
  std::unique_ptr<State> state_;
};

}  // namespace sheetlore::sim
