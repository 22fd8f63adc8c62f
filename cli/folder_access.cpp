#include "cli/folder_access.h"

#include <array>
#include <cwchar>

#include "platform/win32/unique_handles.h"
#include "platform/win32/windows_api.h"
// After the Windows headers, which they build on.
#include <aclapi.h>
#include <sddl.h>

namespace sheetlore::cli {
namespace {

struct Group {
  const wchar_t* sid;
  const wchar_t* name;
};
// The groups every ordinary user is in, by SID, so that any language of Windows matches.
constexpr std::array<Group, 4> kOrdinaryUsers = {{{L"S-1-5-32-545", L"Users"},
                                                  {L"S-1-5-11", L"Authenticated Users"},
                                                  {L"S-1-1-0", L"Everyone"},
                                                  {L"S-1-5-4", L"INTERACTIVE"}}};

// Rights that let a user change an object or what it holds.
constexpr ACCESS_MASK kChangeRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA |
                                      FILE_WRITE_ATTRIBUTES | FILE_DELETE_CHILD | DELETE |
                                      WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

std::wstring SidText(PSID sid) {
  LPWSTR raw = nullptr;
  if (!::ConvertSidToStringSidW(sid, &raw)) return std::wstring();
  const win32::unique_hlocal text(raw);
  return raw;
}

std::wstring ErrorText(DWORD error) { return L"error " + std::to_wstring(error); }

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Paper stores (.ini) hold no code: users may be allowed to change them.
bool IsDataFile(const std::wstring& name) {
  return name.size() > 4 && _wcsicmp(name.c_str() + name.size() - 4, L".ini") == 0;
}

void Walk(const std::wstring& path, std::vector<AccessFinding>& findings, int depth) {
  findings.push_back(OthersWhoCanWrite(path));
  if (depth > 16 || !IsFolder(path)) return;
  WIN32_FIND_DATAW entry{};
  const HANDLE search = ::FindFirstFileW((path + L"\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    if (IsDataFile(name)) continue;
    // A link leads elsewhere: its own entry is checked, not what it points at.
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      findings.push_back(OthersWhoCanWrite(path + L"\\" + name));
      continue;
    }
    Walk(path + L"\\" + name, findings, depth + 1);
  } while (::FindNextFileW(search, &entry));
  ::FindClose(search);
}

// Every entry below folder goes back to what it inherits, without entries of its own.
std::wstring InheritBelow(const std::wstring& folder) {
  WIN32_FIND_DATAW entry{};
  const HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return std::wstring();
  std::wstring failure;
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = folder + L"\\" + name;
    ACL empty{};
    ::InitializeAcl(&empty, sizeof empty, ACL_REVISION);
    const DWORD result =
        ::SetNamedSecurityInfoW(const_cast<LPWSTR>(path.c_str()), SE_FILE_OBJECT,
                                DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION,
                                nullptr, nullptr, &empty, nullptr);
    if (result != ERROR_SUCCESS && failure.empty()) failure = path + L": " + ErrorText(result);
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
        !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      const std::wstring below = InheritBelow(path);
      if (failure.empty()) failure = below;
    }
  } while (::FindNextFileW(search, &entry));
  ::FindClose(search);
  return failure;
}

}  // namespace

AccessFinding OthersWhoCanWrite(const std::wstring& path) {
  AccessFinding finding;
  finding.path = path;
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR raw = nullptr;
  const DWORD result =
      ::GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, &dacl, nullptr, &raw);
  if (result != ERROR_SUCCESS) {
    finding.error = ErrorText(result);
    return finding;
  }
  const win32::unique_hlocal descriptor(raw);
  finding.readable = true;
  LPWSTR sddl = nullptr;
  if (::ConvertSecurityDescriptorToStringSecurityDescriptorW(
          raw, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &sddl, nullptr)) {
    const win32::unique_hlocal text(sddl);
    finding.accessList = sddl;
  }
  if (!dacl) {  // no access list at all: everyone may do everything
    finding.writers.push_back(L"Everyone");
    return finding;
  }
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    if (!::GetAce(dacl, i, &ace)) continue;
    const auto* header = static_cast<const ACE_HEADER*>(ace);
    // Only entries that allow, and that apply to the object itself (not only to what a
    // folder will hold); deny entries are not weighed, so a doubt counts as writable.
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE)) {
      continue;
    }
    const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
    if (!(allowed->Mask & kChangeRights)) continue;
    const std::wstring sid = SidText(const_cast<DWORD*>(&allowed->SidStart));
    for (const Group& group : kOrdinaryUsers) {
      if (sid == group.sid) {
        bool listed = false;
        for (const std::wstring& writer : finding.writers) listed = listed || writer == group.name;
        if (!listed) finding.writers.push_back(group.name);
      }
    }
  }
  return finding;
}

std::vector<AccessFinding> OthersWhoCanWriteTree(const std::wstring& path) {
  std::vector<AccessFinding> findings;
  Walk(path, findings, 0);
  return findings;
}

std::wstring LockDown(const std::wstring& folder) {
  // P: protected (inheritance off); OICI: inherited by files and folders below. FA full
  // control, 0x1200a9 read and execute; BA Administrators, SY SYSTEM, BU Users.
  const wchar_t* kLocked = L"D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)";
  PSECURITY_DESCRIPTOR raw = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(kLocked, SDDL_REVISION_1, &raw,
                                                              nullptr)) {
    return ErrorText(::GetLastError());
  }
  const win32::unique_hlocal descriptor(raw);
  BOOL present = FALSE;
  BOOL defaulted = FALSE;
  PACL dacl = nullptr;
  ::GetSecurityDescriptorDacl(raw, &present, &dacl, &defaulted);
  const DWORD result =
      ::SetNamedSecurityInfoW(const_cast<LPWSTR>(folder.c_str()), SE_FILE_OBJECT,
                              DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, dacl, nullptr);
  if (result != ERROR_SUCCESS) return folder + L": " + ErrorText(result);
  return InheritBelow(folder);
}

}  // namespace sheetlore::cli
