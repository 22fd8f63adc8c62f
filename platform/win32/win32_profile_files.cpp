#include "platform/win32/win32_profile_files.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/kept_error.h"
#include "platform/win32/profile_backup.h"
#include "platform/win32/unique_handles.h"
#include "platform/win32/windows_api.h"

namespace sheetlore::win32 {
namespace {

// A null pointer for an absent text: the profile calls give null section, key and value
// their own meaning (list, delete).
LPCWSTR OrNull(const std::optional<std::wstring>& text) { return text ? text->c_str() : nullptr; }

// Gives a file that is absent or empty the UTF-16 byte-order mark. The profile calls keep
// the encoding of the file they find, but write a file without a mark in the ANSI code page,
// where names outside it would be lost; a file with text in it is left as it is.
void MarkUnicodeIfEmpty(const std::wstring& path) {
  const HANDLE file =
      ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;  // the write that follows reports why not
  unique_kernel_handle owner(file);
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file, &size) || size.QuadPart != 0) return;
  constexpr BYTE kUtf16LittleEndianMark[] = {0xFF, 0xFE};
  DWORD written = 0;
  ::WriteFile(file, kUtf16LittleEndianMark, sizeof kUtf16LittleEndianMark, &written, nullptr);
}

// Whether the profile calls read and write this file in the ANSI code page: it exists and
// starts with none of the byte-order marks they recognise (UTF-16 either way, UTF-8).
bool IsAnsiFile(const std::wstring& path) {
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  unique_kernel_handle owner(file);
  BYTE start[3] = {};
  DWORD read = 0;
  if (!::ReadFile(file, start, sizeof start, &read, nullptr) || read == 0) return false;
  const bool utf16 = read >= 2 && ((start[0] == 0xFF && start[1] == 0xFE) ||
                                   (start[0] == 0xFE && start[1] == 0xFF));
  const bool utf8 = read == 3 && start[0] == 0xEF && start[1] == 0xBB && start[2] == 0xBF;
  return !utf16 && !utf8;
}

// Whether the ANSI code page holds the text exactly: converted to it and back, without a
// substitute or a best-fit character on the way.
bool AnsiCodePageHolds(const std::wstring& text) {
  if (std::all_of(text.begin(), text.end(), [](wchar_t c) { return c < 0x80; })) return true;
  if (::GetACP() == CP_UTF8) return true;
  const int length = static_cast<int>(text.size());
  BOOL usedDefault = FALSE;
  const int bytes = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length,
                                          nullptr, 0, nullptr, &usedDefault);
  if (bytes <= 0 || usedDefault) return false;
  std::string ansi(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, ansi.data(), bytes,
                        nullptr, &usedDefault);
  std::wstring back(text.size() * 2 + 1, L'\0');
  const int chars = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), bytes, back.data(),
                                          static_cast<int>(back.size()));
  back.resize(static_cast<std::size_t>(std::max(chars, 0)));
  return !usedDefault && back == text;
}

bool HoldsAll(const std::wstring& path, std::initializer_list<const std::wstring*> texts) {
  bool ansi = false;
  bool checked = false;
  for (const std::wstring* text : texts) {
    if (text == nullptr || AnsiCodePageHolds(*text)) continue;
    if (!checked) {
      ansi = IsAnsiFile(path);
      checked = true;
    }
    if (ansi) return false;
  }
  return true;
}

const std::wstring* OrNone(const std::optional<std::wstring>& text) {
  return text ? &*text : nullptr;
}

// How long a store operation waits for another one on the same file.
constexpr DWORD kLockWaitMs = 30000;

struct ProfileErrorTag;
using ProfileError = KeptError<ProfileErrorTag>;

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

}  // namespace

// Holds a mutex that its owner keeps open; ends the change and releases it when destroyed.
class Win32ProfileFiles::HeldLock final : public ProfileFiles::FileLock {
 public:
  HeldLock(Win32ProfileFiles& owner, std::wstring path, HANDLE mutex)
      : owner_(owner), path_(std::move(path)), mutex_(mutex) {}
  HeldLock(const HeldLock&) = delete;
  HeldLock& operator=(const HeldLock&) = delete;
  ~HeldLock() override {
    owner_.Release(path_);
    ::ReleaseMutex(mutex_);
  }

 private:
  Win32ProfileFiles& owner_;
  std::wstring path_;
  HANDLE mutex_;
};

std::unique_ptr<ProfileFiles::FileLock> Win32ProfileFiles::LockFile(const std::wstring& path) {
  const std::wstring name = LockName(path);
  unique_kernel_handle& mutex = lockMutexes_[name];
  if (!mutex) mutex.reset(::CreateMutexW(nullptr, FALSE, name.c_str()));
  if (!mutex) {
    ProfileError::Keep();
    return nullptr;
  }
  const DWORD waited = ::WaitForSingleObject(mutex.get(), kLockWaitMs);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    if (waited == WAIT_TIMEOUT)
      ProfileError::Refuse(WAIT_TIMEOUT);
    else
      ProfileError::Keep();
    return nullptr;
  }
  Held& held = held_[path];
  if (held.locks == 0 && !path.empty() && !profile_backup::RestoreInterrupted(path)) {
    ProfileError::Keep();
    ::ReleaseMutex(mutex.get());
    return nullptr;
  }
  ++held.locks;
  return std::make_unique<HeldLock>(*this, path, mutex.get());
}

void Win32ProfileFiles::ProtectChange(const std::wstring& path) {
  const auto found = held_.find(path);
  if (found == held_.end() || found->second.locks == 0 || found->second.saved) return;
  // A folder where the user may change the file but create nothing (the file's own rights
  // granted under Program Files) takes no copy: the change then goes ahead as the profile
  // service alone makes it, rather than not at all.
  found->second.saved = profile_backup::Save(path);
}

void Win32ProfileFiles::Release(const std::wstring& path) {
  const auto found = held_.find(path);
  if (found == held_.end() || --found->second.locks > 0) return;
  if (found->second.saved) profile_backup::Discard(path);
  held_.erase(found);
}

std::uint32_t Win32ProfileFiles::GetString(const std::optional<std::wstring>& section,
                                           const std::optional<std::wstring>& key,
                                           const std::wstring& defaultValue,
                                           std::uint32_t bufferChars, std::wstring& text,
                                           const std::wstring& path) {
  text.clear();
  if (path.empty()) return 0;
  if (!HoldsAll(path, {OrNone(section), OrNone(key)})) {
    // No name of this file: asked for under a name no line can hold (a line break inside), so
    // that the answer is the service's own for a missing section, default value and all.
    const std::wstring missing = L"-\n-";
    return GetString(section ? missing : section, key ? missing : key, defaultValue, bufferChars,
                     text, path);
  }
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
  if (path.empty()) return ProfileError::Refuse(ERROR_INVALID_PARAMETER);
  if (!HoldsAll(path, {OrNone(section), OrNone(key), OrNone(value)})) {
    return ProfileError::Refuse(ERROR_NO_UNICODE_TRANSLATION);
  }
  ProtectChange(path);
  // Only a write of a value creates the file; deleting from an absent file creates nothing.
  if (section && key && value) MarkUnicodeIfEmpty(path);
  return ProfileError::Unless(::WritePrivateProfileStringW(OrNull(section), OrNull(key),
                                                           OrNull(value), path.c_str()) != FALSE);
}

bool Win32ProfileFiles::WriteSection(const std::wstring& section, const KeyValues& keys,
                                     const std::wstring& path) {
  if (path.empty() || keys.empty()) return ProfileError::Refuse(ERROR_INVALID_PARAMETER);
  // "key=value" lines, each ended by a zero, and a zero after the last.
  std::wstring lines;
  std::vector<const std::wstring*> texts = {&section};
  for (const auto& [key, value] : keys) {
    lines += key + L"=" + value;
    lines += L'\0';
    texts.push_back(&key);
    texts.push_back(&value);
  }
  lines += L'\0';
  for (const std::wstring* text : texts) {
    if (!HoldsAll(path, {text})) return ProfileError::Refuse(ERROR_NO_UNICODE_TRANSLATION);
  }
  ProtectChange(path);
  MarkUnicodeIfEmpty(path);
  return ProfileError::Unless(
      ::WritePrivateProfileSectionW(section.c_str(), lines.c_str(), path.c_str()) != FALSE);
}

std::uint32_t Win32ProfileFiles::LastError() const { return ProfileError::Value(); }

}  // namespace sheetlore::win32
