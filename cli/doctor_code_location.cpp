// The code location checks of sheetlore doctor: a folder or a binary that ordinary users can
// change lets them run code in every program that loads it.
#include <string>

#include "cli/doctor.h"
#include "cli/folder_access.h"

namespace sheetlore::cli {
namespace {

std::wstring FolderOf(const std::wstring& file) {
  const auto slash = file.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return L".";
  return slash == 2 && file[1] == L':' ? file.substr(0, 3) : file.substr(0, slash);
}

Finding Check(const std::wstring& area, const std::wstring& what, const std::wstring& path) {
  const AccessFinding access = OthersWhoCanWrite(path);
  if (!access.readable) {
    return {area, what, false,
            L"access list of \"" + path + L"\" unreadable (" + access.error + L")"};
  }
  if (access.writers.empty())
    return {area, what, true, L"only administrators can change \"" + path + L"\""};
  std::wstring writers;
  for (const std::wstring& writer : access.writers)
    writers += (writers.empty() ? L"" : L", ") + writer;
  return {area, what, false,
          writers + L" can change \"" + path +
              L"\": move Sheetlore under Program Files (or install the MSI), or lock the folder "
              L"down (install.cmd /lockdown)"};
}

}  // namespace

Findings CodeLocationFindings(const std::wstring& area, const std::wstring& binary) {
  return {
      Check(area, L"folder of " + binary.substr(binary.find_last_of(L"\\/") + 1), FolderOf(binary)),
      Check(area, L"file " + binary.substr(binary.find_last_of(L"\\/") + 1), binary)};
}

}  // namespace sheetlore::cli
