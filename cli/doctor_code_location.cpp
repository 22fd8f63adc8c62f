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

constexpr wchar_t kRemedy[] =
    L"move Sheetlore under Program Files (or install the MSI), or lock the folder down "
    L"(install.cmd /lockdown)";

Finding Check(const std::wstring& check, const std::wstring& path) {
  const AccessFinding access = OthersWhoCanWrite(path);
  if (!access.readable) {
    return {check, false, L"access list of \"" + path + L"\" unreadable (" + access.error + L")",
            L"run doctor as an administrator to read it"};
  }
  if (access.writers.empty()) {
    return {check, true, L"only administrators can change \"" + path + L"\""};
  }
  std::wstring writers;
  for (const std::wstring& writer : access.writers)
    writers += (writers.empty() ? L"" : L", ") + writer;
  return {check, false, writers + L" can change \"" + path + L"\"", kRemedy};
}

}  // namespace

Findings CodeLocationFindings(const std::wstring& checkPrefix, const std::wstring& binary) {
  return {Check(checkPrefix + L".folder_access", FolderOf(binary)),
          Check(checkPrefix + L".file_access", binary)};
}

}  // namespace sheetlore::cli
