// The paper store checks of sheetlore doctor: the file the machine's setting names, or
// PrintSet.ini beside the program.
#include <fstream>
#include <string>
#include <vector>

#include "cli/doctor.h"
#include "component/paper_store_file.h"
#include "platform/win32/unique_handles.h"
#include "platform/win32/windows_api.h"

namespace sheetlore::cli {
namespace {

constexpr wchar_t kArea[] = L"paper store";

// Opening for writing changes nothing, but fails as a write would: a read-only file, no
// rights, or another program holding it without sharing.
bool CanOpenForWriting(const std::wstring& path) {
  const win32::unique_kernel_handle file(
      ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.get() != INVALID_HANDLE_VALUE && file;
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
  if (length == 0) return {true, L"empty (the first paper stored makes it ANSI)"};
  return {true, L"ANSI: names outside the system's code page do not survive"};
}

}  // namespace

Findings PaperStoreFindings(ClsPrint& component) {
  const paper_store::Location location = paper_store::FileLocation(component.platform().host);
  const std::wstring& path = location.path;
  Findings findings;
  findings.push_back({kArea, L"path", true,
                      path + (location.fromSetting
                                  ? L" (the machine's setting: HKLM\\Software\\Sheetlore StoreFile)"
                                  : L" (the default: beside the program; no machine setting)")});
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  const bool present =
      attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  findings.push_back({kArea, L"present", present, present ? L"yes" : L"no such file"});
  if (!present) return findings;

  const bool writable = CanOpenForWriting(path);
  findings.push_back({kArea, L"writable", writable,
                      writable ? L"yes"
                      : (attributes & FILE_ATTRIBUTE_READONLY)
                          ? L"no: the file is read-only"
                          : L"no: access denied or the file is in use"});
  const Encoding encoding = EncodingOf(path);
  findings.push_back({kArea, L"encoding", encoding.ok, encoding.name});

  std::vector<std::wstring> names;
  component.IniReadValue(0, std::wstring(), &names);
  std::erase_if(names, [](const std::wstring& name) { return name.empty(); });
  findings.push_back({kArea, L"papers", true, std::to_wstring(names.size()) + L" listed"});
  std::wstring unreadable;
  for (const std::wstring& name : names) {
    const rePaPer paper = component.IniReadValue(1, paper_store::TrimBlanks(name));
    if (paper.W > 0 && paper.H > 0) continue;
    unreadable += (unreadable.empty() ? L"" : L", ") + (L"\"" + name + L"\"");
  }
  findings.push_back({kArea, L"every listed paper reads back", unreadable.empty(),
                      unreadable.empty() ? (names.empty() ? L"none to read" : L"yes")
                                         : L"no width or height: " + unreadable});
  return findings;
}

}  // namespace sheetlore::cli
