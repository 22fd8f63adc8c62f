// The paper store checks of sheetlore doctor: the file the machine's setting names, or
// PrintSet.ini beside the program.
#include <algorithm>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "cli/doctor.h"
#include "cli/paper_library.h"
#include "component/paper_store_file.h"
#include "platform/win32/profile_change.h"
#include "platform/win32/unique_handles.h"
#include "platform/win32/windows_api.h"

namespace sheetlore::cli {
namespace {

std::wstring FolderOf(const std::wstring& file) {
  const auto slash = file.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring(L".") : file.substr(0, slash);
}

// A path in its full, long form, for comparing two spellings of one file.
std::wstring Canonical(const std::wstring& path) {
  std::wstring full(MAX_PATH * 4, L'\0');
  DWORD length =
      ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length == 0 || length >= full.size()) return path;
  full.resize(length);
  std::wstring folder = FolderOf(full);
  std::wstring longFolder(MAX_PATH * 4, L'\0');
  length =
      ::GetLongPathNameW(folder.c_str(), longFolder.data(), static_cast<DWORD>(longFolder.size()));
  if (length == 0 || length >= longFolder.size()) return full;
  longFolder.resize(length);
  return longFolder + full.substr(folder.size());
}

// Without the machine's setting, every program keeps its papers beside itself: the tool run
// from another folder than the registered DLL's reads and writes another file than the hosts.
Finding SharedWithHostsFinding(const paper_store::Location& location,
                               const std::optional<std::wstring>& server) {
  constexpr wchar_t kCheck[] = L"store.shared_with_hosts";
  if (location.fromSetting) {
    return {kCheck, true, L"yes: hosts and this tool use the file the machine's setting names"};
  }
  if (!server) {
    return {kCheck, true, L"no DLL of this tool's architecture is registered to compare with"};
  }
  const std::wstring hostStore = FolderOf(*server) + L"\\PrintSet.ini";
  if (::CompareStringOrdinal(Canonical(hostStore).c_str(), -1, Canonical(location.path).c_str(), -1,
                             TRUE) == CSTR_EQUAL) {
    return {kCheck, true, L"yes: the tool and the registered DLL share one folder"};
  }
  return {kCheck, false,
          L"no: this tool uses \"" + location.path + L"\", hosts use \"" + hostStore +
              L"\" beside the registered DLL",
          L"run the sheetlore.exe beside the registered DLL, or install.cmd or the MSI, which "
          L"name one store for every program"};
}

// Opening for writing changes nothing, but fails as a write would: a read-only file, no
// rights, or another program holding it without sharing. 0, or the error it failed with.
DWORD OpenForWritingError(const std::wstring& path) {
  const win32::unique_hfile file(::CreateFileW(path.c_str(), GENERIC_WRITE,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file) return 0;
  const DWORD error = ::GetLastError();
  return error ? error : ERROR_ACCESS_DENIED;
}

struct Encoding {
  bool ok;
  std::wstring name;
};

// The profile functions keep every name of a UTF-16 LE file with its byte-order mark, which
// the package and the installer ship; a file without a mark is read in the system's code page.
Encoding EncodingOf(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  unsigned char start[3] = {};
  file.read(reinterpret_cast<char*>(start), 3);
  const std::streamsize length = file.gcount();
  if (length >= 2 && start[0] == 0xFF && start[1] == 0xFE) return {true, L"UTF-16 LE"};
  if (length >= 2 && start[0] == 0xFE && start[1] == 0xFF) {
    return {false, L"UTF-16 BE, which the profile functions do not read"};
  }
  if (length == 3 && start[0] == 0xEF && start[1] == 0xBB && start[2] == 0xBF) {
    return {false, L"UTF-8 with a byte-order mark: save it as UTF-16 LE"};
  }
  // Blank lines only count as empty: the first paper stored gives such a file the mark too.
  const auto blank = [](unsigned char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
  };
  bool noText = std::all_of(start, start + length, blank);
  for (char c = 0; noText && file.get(c);) noText = blank(static_cast<unsigned char>(c));
  if (noText) return {true, L"empty (the first paper stored makes it UTF-16 LE)"};
  return {true, L"ANSI: names outside the system's code page do not survive"};
}

// Whether this user's changes can be made on a copy beside the file: a file can be created in
// its folder.
Finding ProtectionFinding(const std::wstring& path) {
  const std::wstring probe = path + L".pending-doctor-" + std::to_wstring(::GetCurrentProcessId());
  // Deleted as soon as the owner closes it.
  const win32::unique_hfile file(::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                               FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                                               nullptr));
  const DWORD error = ::GetLastError();
  if (file) {
    return {L"store.changes_protected", true,
            L"yes: each change is made on a copy beside the file and replaces it whole"};
  }
  return {L"store.changes_protected", false,
          L"no: this user cannot create files beside the store (" + win32::ErrorText(error) +
              L"); a change is made on the file itself and undone when it fails, but a crash "
              L"during one can cut the file",
          L"keep the store in a folder where users may create files: install.cmd and the MSI "
          L"use %ProgramData%\\Sheetlore"};
}

// Leftovers of interrupted changes that were set aside rather than applied.
Finding SetAsideFinding(const std::wstring& path) {
  const std::vector<std::wstring> leftovers = win32::SetAsideLeftovers(path);
  std::wstring names;
  for (const std::wstring& leftover : leftovers) names += (names.empty() ? L"" : L", ") + leftover;
  return {L"store.nothing_set_aside", leftovers.empty(),
          leftovers.empty() ? L"yes"
                            : L"no: copies left by interrupted changes were set aside and never "
                              L"applied: " +
                                  names,
          leftovers.empty() ? std::nullopt
                            : std::optional<std::wstring>(
                                  L"compare these files with the store, then delete them")};
}

// The stored names, or nothing when the file cannot be read.
std::optional<std::vector<std::wstring>> ReadableNames(ClsPrint& component) {
  std::vector<std::wstring> names;
  try {
    component.IniReadValue(0, std::wstring(), &names);
  } catch (const AutomationError&) {
    return std::nullopt;
  }
  return names;
}

}  // namespace

Findings PaperStoreFindings(ClsPrint& component, const std::optional<std::wstring>& server) {
  const paper_store::Location location = paper_store::FileLocation(component.platform().host);
  const std::wstring& path = location.path;
  Findings findings;
  findings.push_back({L"store.path", true,
                      path + (location.fromSetting
                                  ? L" (the machine's setting: HKLM\\Software\\Sheetlore StoreFile)"
                                  : L" (the default: beside the program; no machine setting)")});
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  const bool present =
      attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  findings.push_back(SharedWithHostsFinding(location, server));
  // An absent file is the empty store: the first paper stored creates it.
  findings.push_back(
      {L"store.present", true,
       present ? L"yes" : L"no file yet: the store is empty until a paper is stored"});
  findings.push_back(ProtectionFinding(path));
  findings.push_back(SetAsideFinding(path));
  if (!present) return findings;

  const DWORD openError = OpenForWritingError(path);
  const bool writable = openError == 0;
  std::optional<PlatformError> error;
  if (!writable) {
    error =
        PlatformError{L"CreateFile", openError, component.platform().system.ErrorText(openError)};
  }
  const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  findings.push_back(
      {L"store.writable", writable,
       writable   ? L"yes"
       : readOnly ? L"no: the file is read-only"
                  : L"no",
       writable   ? std::nullopt
       : readOnly ? std::optional<std::wstring>(L"clear the file's read-only attribute")
                  : std::optional<std::wstring>(
                        L"give the users who store papers modify rights on the file, or close "
                        L"the program that holds it"),
       std::nullopt, error});
  Encoding encoding = EncodingOf(path);
  if (encoding.ok && !component.platform().profile.KeepsExistingText(path)) {
    encoding = {false,
                L"ANSI text that the system's code page cannot read back unchanged (saved as "
                L"UTF-8 without a byte-order mark?): every write is refused; save it as UTF-16 LE"};
  }
  findings.push_back(
      {L"store.encoding", encoding.ok, encoding.name,
       encoding.ok ? std::nullopt
                   : std::optional<std::wstring>(L"save the file as UTF-16 LE (Notepad: Save As, "
                                                 L"Encoding: UTF-16 LE)")});

  const auto readable = ReadableNames(component);
  findings.push_back({L"store.readable", readable.has_value(),
                      readable ? L"yes"
                               : L"no: the paper store cannot be read (another program holds it, "
                                 L"or you may not read it)",
                      readable ? std::nullopt
                               : std::optional<std::wstring>(
                                     L"close the program that holds the file, or give this user "
                                     L"read rights on it")});
  if (!readable) return findings;
  std::vector<StoredPaper> papers = ReadListedPapers(component);
  std::erase_if(papers, [](const StoredPaper& stored) { return stored.paper.name.empty(); });
  findings.push_back({L"store.papers", true, std::to_wstring(papers.size()) + L" listed"});
  // A paper without width or height, and one whose values the store's reads refuse (a
  // hand-edited value out of range), each named.
  std::wstring empty;
  std::wstring unreadable;
  for (const StoredPaper& stored : papers) {
    const std::wstring quoted = L"\"" + stored.paper.name + L"\"";
    if (stored.problem) {
      unreadable += (unreadable.empty() ? L"" : L", ") + quoted + L" (" + *stored.problem + L")";
    } else if (!(stored.paper.paper.W > 0 && stored.paper.paper.H > 0)) {
      empty += (empty.empty() ? L"" : L", ") + quoted;
    }
  }
  std::wstring detail = empty.empty() ? L"" : L"no width or height: " + empty;
  if (!unreadable.empty()) {
    detail += (detail.empty() ? L"" : L"; ") + (L"values that cannot be read: " + unreadable);
  }
  findings.push_back(
      {L"store.papers_read_back", detail.empty(),
       detail.empty() ? (papers.empty() ? L"none to read" : L"yes") : detail,
       detail.empty() ? std::nullopt
                      : std::optional<std::wstring>(L"store the papers named again, or delete them "
                                                    L"(sheetlore paper-delete NAME)")});
  return findings;
}

}  // namespace sheetlore::cli
