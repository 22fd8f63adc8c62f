#include "platform/win32/win32_profile_files.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>

#include "platform/win32/unique_handles.h"
#include "platform/win32/windows_api.h"

namespace sheetlore::win32 {
namespace {

// A null pointer for an absent text: the profile calls give null section, key and value
// their own meaning (list, delete).
LPCWSTR OrNull(const std::optional<std::wstring>& text) { return text ? text->c_str() : nullptr; }

// Creates an absent profile file holding only the UTF-16 byte-order mark. The profile calls
// keep the encoding of the file they find, but write a file they create in the ANSI code
// page, where names outside it would be lost; an existing file is left as it is.
void CreateUnicodeFileIfAbsent(const std::wstring& path) {
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;  // it exists, or the write below reports why not
  unique_kernel_handle owner(file);
  constexpr BYTE kUtf16LittleEndianMark[] = {0xFF, 0xFE};
  DWORD written = 0;
  ::WriteFile(file, kUtf16LittleEndianMark, sizeof kUtf16LittleEndianMark, &written, nullptr);
}

// How long a store operation waits for another one on the same file.
constexpr DWORD kLockWaitMs = 30000;

// The mutex name of a file: the same for every spelling of the path in letter case, and short
// enough for any path (a 64-bit FNV-1a hash of the upper-cased path).
std::wstring LockName(const std::wstring& path) {
  std::wstring upper = path;
  if (!upper.empty()) ::CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
  std::uint64_t hash = 14695981039346656037ull;
  for (const wchar_t c : upper) {
    hash ^= static_cast<std::uint16_t>(c);
    hash *= 1099511628211ull;
  }
  wchar_t name[64] = {};
  ::wsprintfW(name, L"Sheetlore.ProfileFile.%08lX%08lX", static_cast<unsigned long>(hash >> 32),
              static_cast<unsigned long>(hash & 0xFFFFFFFFu));
  return name;
}

// Holds a mutex that its owner keeps open; releases it when destroyed.
class MutexLock final : public ProfileFiles::FileLock {
 public:
  explicit MutexLock(HANDLE mutex) : mutex_(mutex) {}
  MutexLock(const MutexLock&) = delete;
  MutexLock& operator=(const MutexLock&) = delete;
  ~MutexLock() override { ::ReleaseMutex(mutex_); }

 private:
  HANDLE mutex_;
};

}  // namespace

std::unique_ptr<ProfileFiles::FileLock> Win32ProfileFiles::LockFile(const std::wstring& path) {
  const std::wstring name = LockName(path);
  unique_kernel_handle& mutex = lockMutexes_[name];
  if (!mutex) mutex.reset(::CreateMutexW(nullptr, FALSE, name.c_str()));
  if (!mutex) return nullptr;
  const DWORD waited = ::WaitForSingleObject(mutex.get(), kLockWaitMs);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) return nullptr;
  return std::make_unique<MutexLock>(mutex.get());
}

std::uint32_t Win32ProfileFiles::GetString(const std::optional<std::wstring>& section,
                                           const std::optional<std::wstring>& key,
                                           const std::wstring& defaultValue,
                                           std::uint32_t bufferChars, std::wstring& text,
                                           const std::wstring& path) {
  text.clear();
  if (path.empty()) return 0;
  try {
    // One spare character: the call never reads past bufferChars, and a zero-size request
    // still gets a valid address.
    // Not cleared first: only the characters the call reports are read.
    const auto buffer = std::make_unique_for_overwrite<wchar_t[]>(std::size_t{bufferChars} + 1);
    buffer[0] = L'\0';
    const DWORD copied =
        ::GetPrivateProfileStringW(OrNull(section), OrNull(key), defaultValue.c_str(), buffer.get(),
                                   bufferChars, path.c_str());
    const auto count = std::min<std::size_t>(copied, bufferChars);
    text.assign(buffer.get(), count);
    return static_cast<std::uint32_t>(count);
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

bool Win32ProfileFiles::WriteString(const std::optional<std::wstring>& section,
                                    const std::optional<std::wstring>& key,
                                    const std::optional<std::wstring>& value,
                                    const std::wstring& path) {
  if (path.empty()) return false;
  // Only a write of a value creates the file; deleting from an absent file creates nothing.
  if (section && key && value) CreateUnicodeFileIfAbsent(path);
  return ::WritePrivateProfileStringW(OrNull(section), OrNull(key), OrNull(value), path.c_str()) !=
         FALSE;
}

}  // namespace sheetlore::win32
