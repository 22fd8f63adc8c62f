#include "platform/win32/profile_lock_name.h"

#include <cstdint>

#include "platform/win32/unique_handles.h"
#include "platform/win32/windows_api.h"

namespace sheetlore::win32 {
namespace {

std::wstring Upper(std::wstring text) {
  if (!text.empty()) ::CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

// 64-bit FNV-1a of the UTF-16 units, as 16 hex digits.
std::wstring Hash(const std::wstring& text) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const wchar_t c : text) {
    hash ^= static_cast<std::uint16_t>(c);
    hash *= 1099511628211ull;
  }
  wchar_t digits[20] = {};
  ::wsprintfW(digits, L"%08lX%08lX", static_cast<unsigned long>(hash >> 32),
              static_cast<unsigned long>(hash & 0xFFFFFFFFu));
  return digits;
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// The folder part of a path, without the separators that end it (but "C:\" for a drive's root).
std::wstring FolderOf(const std::wstring& path) {
  auto end = path.find_last_of(L"\\/");
  if (end == std::wstring::npos) return L".";
  while (end > 0 && IsSeparator(path[end - 1])) --end;
  std::wstring folder = path.substr(0, end);
  if (folder.size() == 2 && folder[1] == L':') folder += L'\\';
  return folder.empty() ? std::wstring(L"\\") : folder;
}

// The long name of the file when it exists (a short 8.3 spelling gives the same name), the
// name as given otherwise.
std::wstring LeafOf(const std::wstring& path) {
  std::wstring full = path;
  const DWORD needed = ::GetLongPathNameW(path.c_str(), nullptr, 0);
  if (needed > 0) {
    std::wstring buffer(needed, L'\0');
    const DWORD length = ::GetLongPathNameW(path.c_str(), buffer.data(), needed);
    if (length > 0 && length < needed) full.assign(buffer.data(), length);
  }
  const auto start = full.find_last_of(L"\\/");
  return start == std::wstring::npos ? full : full.substr(start + 1);
}

std::wstring FolderIdentity(const std::wstring& path) {
  const std::wstring folder = FolderOf(path);
  const HANDLE handle = ::CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle != INVALID_HANDLE_VALUE) {
    const unique_hfile owner(handle);
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileInformationByHandle(handle, &info)) {
      wchar_t identity[40] = {};
      ::wsprintfW(identity, L"%08lX%08lX%08lX", info.dwVolumeSerialNumber, info.nFileIndexHigh,
                  info.nFileIndexLow);
      return identity;
    }
  }
  std::wstring full(MAX_PATH, L'\0');
  const DWORD length = ::GetFullPathNameW(path.c_str(), MAX_PATH, full.data(), nullptr);
  full.resize(length > 0 && length < MAX_PATH ? length : 0);
  return L"P" + Hash(Upper(full.empty() ? path : full));
}

}  // namespace

std::wstring ProfileLockName(const std::wstring& path) {
  return L"Global\\Sheetlore.ProfileFile." + FolderIdentity(path) + L"." +
         Hash(Upper(LeafOf(path)));
}

}  // namespace sheetlore::win32
