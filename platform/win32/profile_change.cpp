#include "platform/win32/profile_change.h"

#include <atomic>
#include <utility>

#include "platform/win32/system_message.h"
#include "platform/win32/unique_handles.h"
#include "platform/win32/windows_api.h"
// after windows.h
#include <aclapi.h>

namespace sheetlore::win32 {
namespace {

constexpr wchar_t kPendingInfix[] = L".pending-";
constexpr wchar_t kSetAsideInfix[] = L".set-aside-";
constexpr wchar_t kOldCopySuffix[] = L".saved";

bool Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<ULONGLONG> SizeOf(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return (ULONGLONG{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  const unique_hfile owner(file);
  std::string bytes;
  char buffer[65536];
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(file, buffer, sizeof buffer, &read, nullptr)) return std::nullopt;
    if (read == 0) return bytes;
    bytes.append(buffer, read);
  }
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const unique_hfile owner(file);
  DWORD written = 0;
  return ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size() && ::FlushFileBuffers(file);
}

// The profile service keeps the files it read in memory; the next read of this file reads
// the disk again (the documented flush: every argument null but the file's name).
void ForgetCachedProfile(const std::wstring& path) {
  ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
}

bool IsDiskFull(DWORD error) { return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL; }

// The folder's files whose names start with the file's name and this infix.
std::vector<std::wstring> FilesBeside(const std::wstring& path, const wchar_t* infix) {
  std::vector<std::wstring> found;
  const std::wstring pattern = path + infix + L"*";
  WIN32_FIND_DATAW data{};
  const HANDLE search = ::FindFirstFileW(pattern.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return found;
  const auto folderEnd = path.find_last_of(L"\\/");
  const std::wstring folder = folderEnd == std::wstring::npos ? L"" : path.substr(0, folderEnd + 1);
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      found.push_back(folder + data.cFileName);
  } while (::FindNextFileW(search, &data));
  ::FindClose(search);
  return found;
}

// Renames a leftover to the first free "<file>.set-aside-<n>" (or "<file>.saved.set-aside-<n>").
void SetAside(const std::wstring& leftover, const std::wstring& base) {
  for (int n = 1; n < 1000; ++n) {
    const std::wstring target = base + kSetAsideInfix + std::to_wstring(n);
    if (Exists(target)) continue;
    if (::MoveFileExW(leftover.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) return;
    if (::GetLastError() != ERROR_ALREADY_EXISTS && ::GetLastError() != ERROR_FILE_EXISTS) return;
  }
}

// Gives the copy the file's own access list (an installer may grant users the right to change
// the file where they may create nothing). Where that cannot be done the copy keeps the list
// its folder gives it.
void CopyAccessList(const std::wstring& from, const std::wstring& to) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (::GetNamedSecurityInfoW(from.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS) {
    return;
  }
  const unique_hlocal descriptorOwner(descriptor);
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  ::GetSecurityDescriptorControl(descriptor, &control, &revision);
  const SECURITY_INFORMATION which =
      DACL_SECURITY_INFORMATION |
      ((control & SE_DACL_PROTECTED) ? PROTECTED_DACL_SECURITY_INFORMATION
                                     : UNPROTECTED_DACL_SECURITY_INFORMATION);
  ::SetNamedSecurityInfoW(const_cast<LPWSTR>(to.c_str()), SE_FILE_OBJECT, which, nullptr, nullptr,
                          dacl, nullptr);
}

std::wstring NewCopyName(const std::wstring& path) {
  static std::atomic<unsigned> counter{0};
  return path + kPendingInfix + std::to_wstring(::GetCurrentProcessId()) + L"-" +
         std::to_wstring(++counter);
}

}  // namespace

std::wstring ErrorText(unsigned long error) {
  std::wstring result = SystemMessage(error);
  while (!result.empty() && (result.back() == L'.' || result.back() == L' ')) result.pop_back();
  return result + L" (error " + std::to_wstring(error) + L")";
}

ProfileChange::ProfileChange(std::wstring path) : path_(std::move(path)), working_(path_) {}

ProfileChange::~ProfileChange() {
  if (!committed_) Undo();
}

bool ProfileChange::Begin() {
  const DWORD attributes = ::GetFileAttributesW(path_.c_str());
  existed_ = attributes != INVALID_FILE_ATTRIBUTES;
  if (existed_ && (attributes & FILE_ATTRIBUTE_READONLY)) {
    problem_ = L"the file is read-only";
    error_ = ERROR_ACCESS_DENIED;
    return false;
  }
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::wstring copy = NewCopyName(path_);
    const bool made = existed_ ? ::CopyFileW(path_.c_str(), copy.c_str(), TRUE) != FALSE
                               : static_cast<bool>(unique_hfile(
                                     ::CreateFileW(copy.c_str(), GENERIC_WRITE, 0, nullptr,
                                                   CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)));
    const DWORD error = made ? ERROR_SUCCESS : ::GetLastError();
    if (made) {
      ::SetFileAttributesW(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
      // A copy cut short (CopyFileW on a full disk) is no copy.
      if (existed_ && SizeOf(copy) != SizeOf(path_)) {
        ::DeleteFileW(copy.c_str());
        problem_ = L"no copy of the file could be made: the disk is full";
        error_ = ERROR_DISK_FULL;
        return false;
      }
      copy_ = copy;
      working_ = copy;
      begun_ = true;
      return true;
    }
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
    ::DeleteFileW(copy.c_str());
    if (error != ERROR_ACCESS_DENIED) {
      error_ = error;
      problem_ = L"no copy of the file could be made: " +
                 (IsDiskFull(error) ? std::wstring(L"the disk is full") : ErrorText(error));
      return false;
    }
    break;
  }
  // The folder refuses new files: the change goes to the file itself, and its old bytes stay
  // in memory to undo it.
  if (existed_) {
    oldBytes_ = ReadBytes(path_);
    if (!oldBytes_) {
      error_ = ::GetLastError();
      problem_ = L"the file cannot be read: " + ErrorText(error_);
      return false;
    }
  }
  working_ = path_;
  begun_ = true;
  return true;
}

bool ProfileChange::Commit() {
  if (committed_) return true;
  if (copy_.empty()) {
    committed_ = true;  // made on the file itself, and verified there by the caller
    ForgetCachedProfile(path_);
    return true;
  }
  ForgetCachedProfile(copy_);
  // A change that left an absent file empty creates nothing.
  if (!existed_ && !Exists(path_) && SizeOf(copy_).value_or(0) == 0) {
    ::DeleteFileW(copy_.c_str());
    committed_ = true;
    return true;
  }
  {
    const unique_hfile copy(::CreateFileW(copy_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (copy) ::FlushFileBuffers(copy.get());
  }
  // One rename puts the copy in the file's place: atomic on the volume, so the file is old or
  // new at every moment. (ReplaceFileW would keep the file's access list by itself, but where
  // it is made of two renames a kill between them leaves no file.) The copy takes the file's
  // attributes and access list first.
  const DWORD attributes = ::GetFileAttributesW(path_.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    CopyAccessList(path_, copy_);
    ::SetFileAttributesW(copy_.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  }
  const bool replaced = ::MoveFileExW(copy_.c_str(), path_.c_str(),
                                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
  if (!replaced) {
    error_ = ::GetLastError();
    problem_ = L"the file could not be replaced by its changed copy: " + ErrorText(error_);
    return false;
  }
  committed_ = true;
  ForgetCachedProfile(path_);
  return true;
}

void ProfileChange::Undo() {
  if (!begun_) return;
  if (!copy_.empty()) {
    ForgetCachedProfile(copy_);
    ::DeleteFileW(copy_.c_str());  // a copy held open stays, and is never applied
    return;
  }
  if (oldBytes_) {
    if (!WriteBytes(path_, *oldBytes_)) problem_ += L"; the change could not be undone";
  } else if (!existed_) {
    ::DeleteFileW(path_.c_str());
  }
  ForgetCachedProfile(path_);
}

void ClearLeftovers(const std::wstring& path) {
  const bool fileExists = Exists(path);
  for (const std::wstring& copy : FilesBeside(path, kPendingInfix)) {
    if (!fileExists && SizeOf(copy).value_or(0) > 0) {
      SetAside(copy, path);
    } else {
      ::DeleteFileW(copy.c_str());
    }
  }
  const std::wstring oldCopy = path + kOldCopySuffix;
  ::DeleteFileW((oldCopy + L".new").c_str());  // an older version's unfinished copy
  if (Exists(oldCopy)) SetAside(oldCopy, oldCopy);
}

std::vector<std::wstring> SetAsideLeftovers(const std::wstring& path) {
  std::vector<std::wstring> found = FilesBeside(path, kSetAsideInfix);
  for (std::wstring& old : FilesBeside(path, kOldCopySuffix)) found.push_back(std::move(old));
  return found;
}

}  // namespace sheetlore::win32
