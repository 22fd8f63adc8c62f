#pragma once
// The operating-system services the component and the dialog use, one interface per group.
// The core reaches the system only through these; platform/win32 implements them over the
// Windows API and platform/sim simulates them for the unit tests.
//
// All text is UTF-16 (std::wstring), as automation strings are. Every operation reports
// failure through its result as the Windows call does; only the operations documented to
// do so throw AutomationError (automation_error.h).

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/automation_error.h"

namespace sheetlore {

// Opaque handles as the platform hands them out; 0 means none.
using PrinterHandle = std::uintptr_t;
using WindowHandle = std::uintptr_t;
using DeviceContext = std::uintptr_t;

// The kinds of form (FORM_USER, FORM_BUILTIN, FORM_PRINTER), a form's flags.
constexpr std::uint32_t kUserForm = 0;
constexpr std::uint32_t kBuiltinForm = 1;
constexpr std::uint32_t kPrinterForm = 2;

// A printer form at level 1: sizes and printable area in thousandths of a millimetre.
struct FormInfo {
  std::uint32_t flags = kUserForm;  // kUserForm, kBuiltinForm or kPrinterForm
  std::wstring name;
  std::int32_t cx = 0;
  std::int32_t cy = 0;
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;

  friend bool operator==(const FormInfo&, const FormInfo&) = default;
};

constexpr std::uint32_t kPrinterAccessAdminister = 4;
constexpr std::uint32_t kPrinterAccessUse = 8;
// GetPrinter and SetPrinter levels of a printer's default device settings.
constexpr std::uint32_t kEveryUsersSettings = 8;  // PRINTER_INFO_8: what every user starts with
constexpr std::uint32_t kOwnSettings = 9;         // PRINTER_INFO_9: the current user's own
constexpr std::uint32_t kServerAccessAdminister = 1;
constexpr std::uint32_t kServerAccessEnumerate = 2;
constexpr std::uint32_t kDmOutBuffer = 2;
constexpr std::uint32_t kDmInBuffer = 8;

// Windows error codes the platform reports through LastError().
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorSharingViolation = 32;
constexpr std::uint32_t kErrorFileExists = 80;
constexpr std::uint32_t kErrorInvalidParameter = 87;
constexpr std::uint32_t kErrorDiskFull = 112;
constexpr std::uint32_t kErrorInsufficientBuffer = 122;
constexpr std::uint32_t kErrorWaitTimeout = 258;
constexpr std::uint32_t kErrorNoUnicodeTranslation = 1113;
constexpr std::uint32_t kErrorInvalidPrinterName = 1801;
constexpr std::uint32_t kErrorInvalidFormName = 1902;

// The print spooler (OpenPrinter, EnumForms, GetForm, AddForm, DeleteForm,
// DocumentProperties) and ResetDC.
class Spooler {
 public:
  virtual ~Spooler() = default;

  // Opens a printer by name with a defaults record whose data type and device settings are
  // null and whose access is desiredAccess. Returns the handle, or 0 when it did not open.
  virtual PrinterHandle OpenPrinter(const std::wstring& printerName,
                                    std::uint32_t desiredAccess) = 0;
  virtual bool ClosePrinter(PrinterHandle printer) = 0;

  // Opens a print server: the one named "\\\\server", or with an empty name the local one
  // (OpenPrinter with a null name), with a defaults record as above. Forms belong to the print
  // server: its handle serves EnumForms, GetForm, AddForm and DeleteForm as a printer's does and
  // is closed by ClosePrinter; it has no device settings. Returns 0 when it did not open.
  virtual PrinterHandle OpenPrintServer(const std::wstring& serverName,
                                        std::uint32_t desiredAccess) = 0;

  // Level-1 enumeration. bufferBytes is the size of the buffer the caller offers;
  // bytesNeeded always receives the size the whole list needs. When the buffer is large
  // enough the call succeeds, fills forms and sets returned to their count; otherwise it
  // fails with ERROR_INSUFFICIENT_BUFFER, leaves forms empty and sets returned to 0.
  virtual bool EnumForms(PrinterHandle printer, std::uint32_t bufferBytes,
                         std::vector<FormInfo>& forms, std::uint32_t& bytesNeeded,
                         std::uint32_t& returned) = 0;

  // Level-1 read of one form, with the same buffer protocol as EnumForms.
  virtual bool GetForm(PrinterHandle printer, const std::wstring& formName,
                       std::uint32_t bufferBytes, FormInfo& form, std::uint32_t& bytesNeeded) = 0;

  virtual bool AddForm(PrinterHandle printer, const FormInfo& form) = 0;
  virtual bool DeleteForm(PrinterHandle printer, const std::wstring& formName) = 0;

  // DocumentProperties over device settings records in the wide layout (DEVMODEW followed by
  // the driver's private bytes). mode 0 with both records null returns the size of the
  // printer's complete record. output and input may be the same vector; output's size is the
  // buffer the driver may fill. Returns the driver's result (negative on failure).
  virtual std::int32_t DocumentProperties(WindowHandle parent, PrinterHandle printer,
                                          const std::wstring& deviceName,
                                          std::vector<std::uint8_t>* output,
                                          const std::vector<std::uint8_t>* input,
                                          std::uint32_t mode) = 0;

  // A printer's default device settings record (wide layout, as DocumentProperties), read with
  // GetPrinter at level kEveryUsersSettings or kOwnSettings. An empty record with success means
  // the printer has none at that level (a user who never chose settings of their own).
  virtual bool GetPrinterSettings(PrinterHandle printer, std::uint32_t level,
                                  std::vector<std::uint8_t>& devMode) = 0;
  // Replaces them with SetPrinter at that level (every user's needs administer access, the
  // user's own use access). The driver may keep less than it is given: read them back.
  virtual bool SetPrinterSettings(PrinterHandle printer, std::uint32_t level,
                                  const std::vector<std::uint8_t>& devMode) = 0;

  // Applies a device settings record to an existing device context; returns the context
  // handle, or 0 on failure.
  virtual DeviceContext ResetDC(DeviceContext dc, const std::vector<std::uint8_t>& devMode) = 0;

  // The error code of the last failing call on this thread.
  virtual std::uint32_t LastError() const = 0;
};

// Private profile files (GetPrivateProfileString, WritePrivateProfileString), named by full
// path. Section and key names match as the platform's profile service matches them (Windows:
// without regard to case for some letters only; callers must not assume which). A value
// write to an absent or empty file makes it a UTF-16 file; a file in the ANSI code page keeps
// its encoding, and a name or value it cannot hold exactly is never converted into another:
// a read naming it finds nothing, a write of it fails and changes nothing.
class ProfileFiles {
 public:
  virtual ~ProfileFiles() = default;

  // With a key: copies that key's value, or defaultValue when the key or section is missing.
  // Without a key: the section's key names, each ended by a zero character (the final second
  // zero is not part of text). Without a section: the section names, the same way.
  // bufferChars bounds the answer as the Windows call's buffer does (terminators included).
  // Returns the number of characters copied, not counting the final terminator; text
  // receives exactly those characters.
  virtual std::uint32_t GetString(const std::optional<std::wstring>& section,
                                  const std::optional<std::wstring>& key,
                                  const std::wstring& defaultValue, std::uint32_t bufferChars,
                                  std::wstring& text, const std::wstring& path) = 0;

  // Writes a key (adding the section and key at the end as needed); without a value deletes
  // the key; without a key deletes the whole section. Returns false when the write failed.
  virtual bool WriteString(const std::optional<std::wstring>& section,
                           const std::optional<std::wstring>& key,
                           const std::optional<std::wstring>& value, const std::wstring& path) = 0;

  // Replaces every key of a section by the given key=value pairs, in order, in one write
  // of the file (WritePrivateProfileSection): a section that does not exist is added at the
  // end. Either the whole section is written or the file is left as it was. Returns false
  // when the write failed.
  using KeyValues = std::vector<std::pair<std::wstring, std::wstring>>;
  virtual bool WriteSection(const std::wstring& section, const KeyValues& keys,
                            const std::wstring& path) = 0;

  // Held while a sequence of reads and writes of one file must act as one: other threads
  // and processes that lock the same file wait until the lock is destroyed. The profile
  // calls themselves lock nothing across processes, so without it two writers lose each
  // other's changes. Null when the lock could not be taken (the wait gave up, or the lock
  // could not be made): the caller must then change nothing. The default gives a lock that
  // holds nothing (a platform with one user per file).
  //
  // A lock is also a change: what is written to the file while it is held stays apart from
  // the file until Commit, which makes all of it the file's content at once; a lock destroyed
  // without Commit undoes every write made under it, and leaves nothing behind that could
  // later undo or redo a change. Inside another lock of the same file, Commit hands the
  // writes to that lock's change, and a lock that ends without Commit after writing makes the
  // whole change fail. Reads made under the lock see its writes.
  class FileLock {
   public:
    virtual ~FileLock() = default;
    // False when the change cannot be made (a write failed, the file could not be replaced):
    // the file then stays as it was before the lock. Nothing written: true.
    virtual bool Commit() { return true; }
    // Why the change failed, in words for an administrator; empty when nothing failed.
    virtual std::wstring Problem() const { return std::wstring(); }
  };
  virtual std::unique_ptr<FileLock> LockFile(const std::wstring& path) {
    static_cast<void>(path);
    return std::make_unique<FileLock>();
  }

  // Whether the file can hold the text exactly as a name or value: false only for a file in
  // the ANSI code page (one with text and no byte-order mark) whose code page lacks some of
  // its characters, where a write of it fails.
  virtual bool HoldsText(const std::wstring& text, const std::wstring& path) {
    static_cast<void>(text);
    static_cast<void>(path);
    return true;
  }

  // Whether the text already in the file comes through a write unchanged: false only for a
  // file in the ANSI code page whose bytes do not all read as characters of the code page
  // (UTF-8 text saved without a mark, under a double-byte code page), which the service
  // would rewrite with substitutes. Every write to such a file fails and changes nothing.
  virtual bool KeepsExistingText(const std::wstring& path) {
    static_cast<void>(path);
    return true;
  }

  // A section's lines as GetPrivateProfileSection copies them, in the file's order: each key
  // with its value exactly as the file holds it (quotes kept), a line without "=" with no
  // value; comments left out. The section is found as the service finds sections. Nothing
  // when the platform cannot say (the caller then reads key by key); an empty list for a
  // missing section.
  struct SectionLine {
    std::wstring key;
    std::optional<std::wstring> value;
  };
  virtual std::optional<std::vector<SectionLine>> ReadSection(const std::wstring& section,
                                                              const std::wstring& path) {
    static_cast<void>(section);
    static_cast<void>(path);
    return std::nullopt;
  }

  // A file of ANSI text (one without a byte-order mark) read in a code page the caller names,
  // which need not be the system's: the text the file holds in that code page. Under a lock
  // the lock's change is read.
  enum class CodePageReading {
    Read,        // text holds the file's text (empty for an empty file)
    NoFile,      // the file does not exist
    Unicode,     // the file has a byte-order mark: it is no ANSI file
    NotText,     // its bytes are not text of that code page (or it cannot be read)
    NoCodePage,  // the system has no such code page
  };
  struct CodePageText {
    CodePageReading reading = CodePageReading::NoFile;
    std::wstring text;
  };
  virtual CodePageText ReadInCodePage(const std::wstring& path, std::uint32_t codePage) {
    static_cast<void>(path);
    static_cast<void>(codePage);
    return {};
  }

  // Replaces the whole file by text as a UTF-16 file (with its byte-order mark), in one write
  // of the lock's change: it is committed or undone with the change, like every write. False
  // when the write failed.
  virtual bool RewriteAsUnicode(const std::wstring& text, const std::wstring& path) {
    static_cast<void>(text);
    static_cast<void>(path);
    return false;
  }

  // The whole text of a file in one of the encodings the profile service writes and reads
  // back unchanged: UTF-16 LE with its byte-order mark (the text after the mark), or ANSI text
  // whose bytes the code page reads and writes back as the same bytes. Nothing for any other
  // file (absent, empty, unreadable, another mark, bytes the code page cannot read) or where the
  // platform cannot say. Under a lock the lock's change is read.
  virtual std::optional<std::wstring> ReadText(const std::wstring& path) {
    static_cast<void>(path);
    return std::nullopt;
  }

  // Replaces the text of such a file by text in the file's own encoding (the mark kept, or
  // the ANSI code page), in one write of the lock's change: committed or undone with it, like
  // every write. False, and nothing changed, for any other file, for a text the ANSI code page
  // cannot hold exactly, or when the write failed.
  virtual bool RewriteText(const std::wstring& text, const std::wstring& path) {
    static_cast<void>(text);
    static_cast<void>(path);
    return false;
  }

  // Whether the file exists but cannot be read (another program holds it without sharing,
  // no rights to read it): the reads would then answer as for an empty file.
  virtual bool IsUnreadable(const std::wstring& path) {
    static_cast<void>(path);
    return false;
  }

  // The error code of the last failing call on this thread: a write that returned false, or a
  // lock that was not given.
  virtual std::uint32_t LastError() const { return 0; }
};

// Version, windows, time and the message box.
class System {
 public:
  virtual ~System() = default;

  // GetVersionEx with a 148-byte OSVERSIONINFO; false when the call fails.
  virtual bool GetVersionEx(std::uint32_t& platformId) = 0;
  // A top-level window whose title is exactly caption (no class given); 0 when none.
  virtual WindowHandle FindWindow(const std::wstring& caption) = 0;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  // Lets the thread's pending window messages run.
  virtual void PumpMessages() = 0;
  // A monotonic clock in milliseconds, for bounded waits.
  virtual std::uint64_t Milliseconds() = 0;
  // A modal message box; returns when the user has confirmed it.
  virtual void MessageBox(const std::wstring& text, const std::wstring& title,
                          std::uint32_t style) = 0;

  // The error code of the last failing call on this thread (GetVersionEx).
  virtual std::uint32_t LastError() const { return 0; }
  // The system's own text for an error code, in the user's language, without a line end;
  // empty when the system has none.
  virtual std::wstring ErrorText(std::uint32_t code) {
    static_cast<void>(code);
    return {};
  }
};

// The platform shell, through which the add-printer wizard is started.
class Shell {
 public:
  virtual ~Shell() = default;
  // Starts the add-printer wizard and returns without waiting for it. Throws
  // AutomationError when the shell cannot start it.
  virtual void StartAddPrinterWizard() = 0;
};

// A printer as an automation object: its spooler name and, for the current printer, the
// handle of its device context. Reading either may fail with an AutomationError.
class PrinterObject {
 public:
  virtual ~PrinterObject() = default;
  virtual std::wstring DeviceName() = 0;
  virtual DeviceContext hDC() = 0;
};
using PrinterRef = std::shared_ptr<PrinterObject>;

// What the automation host provides: printers, the current printer, where the component
// lives and whether a file exists.
class Host {
 public:
  virtual ~Host() = default;
  // The installed printers in the order the system reports them.
  virtual std::vector<PrinterRef> Printers() = 0;
  // The printer output goes to (at first the default printer). Never null: with no printer
  // installed, reading its DeviceName or hDC fails with an AutomationError.
  virtual PrinterRef CurrentPrinter() = 0;
  // The directory the component was loaded from, without a trailing backslash except at a
  // drive's root.
  virtual std::wstring ComponentDirectory() = 0;
  // Whether an ordinary file (neither hidden nor system) exists at path.
  virtual bool FileExists(const std::wstring& path) = 0;
  // The paper store's file as the machine's setting names it, the same for every architecture
  // and user, with environment variables expanded; empty when the setting is absent or empty.
  virtual std::wstring StoreFileSetting() = 0;
};

class DialogHost;  // platform/dialog_view.h: the dialog window and its controls

// Every platform service, gathered.
struct Platform {
  Spooler& spooler;
  ProfileFiles& profile;
  System& system;
  Shell& shell;
  Host& host;
  DialogHost* dialogs = nullptr;  // null where no dialog can be shown
};

}  // namespace sheetlore
