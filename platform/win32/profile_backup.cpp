#include "platform/win32/profile_backup.h"

#include "platform/win32/unique_handles.h"
#include "platform/win32/windows_api.h"

namespace sheetlore::win32::profile_backup {
namespace {

bool Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool CreateEmpty(const std::wstring& path) {
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  unique_kernel_handle owner(file);
  return true;
}

}  // namespace

std::wstring CopyPath(const std::wstring& path) { return path + L".saved"; }

bool RestoreInterrupted(const std::wstring& path) {
  const std::wstring copy = CopyPath(path);
  if (!Exists(copy)) return true;
  return ::MoveFileExW(copy.c_str(), path.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool Save(const std::wstring& path) {
  const std::wstring partial = CopyPath(path) + L".new";
  const bool copied = Exists(path) ? ::CopyFileW(path.c_str(), partial.c_str(), FALSE) != FALSE
                                   : CreateEmpty(partial);
  if (!copied) return false;
  // A read-only file's copy would keep the attribute and could not be replaced later.
  ::SetFileAttributesW(partial.c_str(), FILE_ATTRIBUTE_NORMAL);
  return ::MoveFileExW(partial.c_str(), CopyPath(path).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

void Discard(const std::wstring& path) { ::DeleteFileW(CopyPath(path).c_str()); }

}  // namespace sheetlore::win32::profile_backup
