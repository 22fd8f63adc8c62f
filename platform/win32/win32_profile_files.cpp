#include "platform/win32/win32_profile_files.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/win32/kept_error.h"
#include "platform/win32/profile_change.h"
#include "platform/win32/profile_lock_name.h"
#include "platform/win32/unique_handles.h"
#include "platform/win32/windows_api.h"
// after windows.h
#include <sddl.h>

namespace sheetlore::win32 {
namespace {

// A null pointer for an absent text: the profile calls give null section, key and value
// their own meaning (list, delete).
LPCWSTR OrNull(const std::optional<std::wstring>& text) { return text ? text->c_str() : nullptr; }

// Whether the rest of the open file holds nothing but blanks and line breaks.
bool RestIsBlank(HANDLE file) {
  BYTE buffer[4096];
  DWORD read = 0;
  while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    for (DWORD i = 0; i < read; ++i) {
      if (buffer[i] != ' ' && buffer[i] != '\t' && buffer[i] != '\r' && buffer[i] != '\n') {
        return false;
      }
    }
  }
  return true;
}

// Gives a file that is absent or empty the UTF-16 byte-order mark. The profile calls keep
// the encoding of the file they find, but write a file without a mark in the ANSI code page,
// where names outside it would be lost; a file with text in it is left as it is. A file of
// nothing but blank lines counts as empty: it has no text to keep.
void MarkUnicodeIfEmpty(const std::wstring& path) {
  const HANDLE file =
      ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;  // the write that follows reports why not
  const unique_hfile owner(file);
  if (!RestIsBlank(file)) return;
  if (::SetFilePointer(file, 0, nullptr, FILE_BEGIN) != 0 || !::SetEndOfFile(file)) return;
  constexpr BYTE kUtf16LittleEndianMark[] = {0xFF, 0xFE};
  DWORD written = 0;
  ::WriteFile(file, kUtf16LittleEndianMark, sizeof kUtf16LittleEndianMark, &written, nullptr);
}

// Whether the profile calls read and write this file in the ANSI code page: it exists, holds
// more than blank lines, and starts with none of the byte-order marks they recognise (UTF-16
// either way, UTF-8).
bool IsAnsiFile(const std::wstring& path) {
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const unique_hfile owner(file);
  BYTE start[3] = {};
  DWORD read = 0;
  if (!::ReadFile(file, start, sizeof start, &read, nullptr) || read == 0) return false;
  const bool utf16 = read >= 2 && ((start[0] == 0xFF && start[1] == 0xFE) ||
                                   (start[0] == 0xFE && start[1] == 0xFF));
  const bool utf8 = read == 3 && start[0] == 0xEF && start[1] == 0xBB && start[2] == 0xBF;
  if (utf16 || utf8) return false;
  const auto blank = [](BYTE b) { return b == ' ' || b == '\t' || b == '\r' || b == '\n'; };
  return !std::all_of(start, start + read, blank) || !RestIsBlank(file);
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

// Whether an ANSI file's bytes read as characters of the code page and are written back as the
// same bytes: the service rewrites the whole file, and bytes it cannot read (UTF-8 saved without
// a mark, under a double-byte code page) would come back as substitutes.
bool AnsiTextSurvives(const std::wstring& path) {
  if (!IsAnsiFile(path)) return true;
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return true;  // the write that follows reports why not
  const unique_hfile owner(file);
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    bytes.append(buffer, read);
  }
  if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; })) return true;
  const int length = static_cast<int>(bytes.size());
  const int chars =
      ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
  if (chars <= 0) return false;
  std::wstring text(static_cast<std::size_t>(chars), L'\0');
  ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), length, text.data(), chars);
  BOOL usedDefault = FALSE;
  BOOL* usedDefaultArgument = ::GetACP() == CP_UTF8 ? nullptr : &usedDefault;
  const int backBytes = ::WideCharToMultiByte(CP_ACP, 0, text.data(), chars, nullptr, 0, nullptr,
                                              usedDefaultArgument);
  if (backBytes != length || usedDefault) return false;
  std::string back(bytes.size(), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text.data(), chars, back.data(), backBytes, nullptr, nullptr);
  return back == bytes;
}

// The file's bytes; nothing when it cannot be opened or read.
std::optional<std::string> FileBytes(const std::wstring& path) {
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  const unique_hfile owner(file);
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (true) {
    if (!::ReadFile(file, buffer, sizeof buffer, &read, nullptr)) return std::nullopt;
    if (read == 0) return bytes;
    bytes.append(buffer, read);
  }
}

constexpr std::string_view kUtf16Mark = "\xFF\xFE";

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

// The lock's mutex, created with its access list, or opened with only the rights the access
// list gives every user (when another user created it).
HANDLE OpenLockMutex(const std::wstring& name) {
  constexpr DWORD kWaitAndRelease = SYNCHRONIZE | MUTEX_MODIFY_STATE;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, FALSE};
  if (::ConvertStringSecurityDescriptorToSecurityDescriptorW(kProfileLockSddl, SDDL_REVISION_1,
                                                             &descriptor, nullptr)) {
    attributes.lpSecurityDescriptor = descriptor;
  }
  const unique_hlocal descriptorOwner(descriptor);
  HANDLE mutex = ::CreateMutexExW(&attributes, name.c_str(), 0, kWaitAndRelease);
  const DWORD error = ::GetLastError();
  if (!mutex && error == ERROR_ACCESS_DENIED) {
    mutex = ::OpenMutexW(kWaitAndRelease, FALSE, name.c_str());
  }
  return mutex;
}

// Empties the file and fills it with bytes, so that it keeps its access list and attributes;
// disposition OPEN_ALWAYS creates a missing file, OPEN_EXISTING refuses it.
bool Refill(const std::wstring& target, const void* bytes, std::size_t size, DWORD disposition) {
  const unique_hfile file(::CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  const auto length = static_cast<DWORD>(size);
  DWORD done = 0;
  return ::SetEndOfFile(file.get()) && ::WriteFile(file.get(), bytes, length, &done, nullptr) &&
         done == length && ::FlushFileBuffers(file.get());
}

}  // namespace

// Holds a mutex that its owner keeps open; ends its part of the change and releases the
// mutex when destroyed.
class Win32ProfileFiles::HeldLock final : public ProfileFiles::FileLock {
 public:
  HeldLock(Win32ProfileFiles& owner, std::wstring name, HANDLE mutex, unsigned writesAtStart)
      : owner_(owner), name_(std::move(name)), mutex_(mutex), writesAtStart_(writesAtStart) {}
  HeldLock(const HeldLock&) = delete;
  HeldLock& operator=(const HeldLock&) = delete;
  ~HeldLock() override {
    owner_.Release(name_, committed_, writesAtStart_);
    ::ReleaseMutex(mutex_);
  }
  bool Commit() override {
    committed_ = owner_.Commit(name_);
    if (!committed_) problem_ = owner_.held_[name_].problem;
    return committed_;
  }
  std::wstring Problem() const override {
    const auto held = owner_.held_.find(name_);
    return held != owner_.held_.end() && !held->second.problem.empty() ? held->second.problem
                                                                       : problem_;
  }

 private:
  Win32ProfileFiles& owner_;
  std::wstring name_;
  HANDLE mutex_;
  unsigned writesAtStart_;
  bool committed_ = false;
  std::wstring problem_;
};

std::unique_ptr<ProfileFiles::FileLock> Win32ProfileFiles::LockFile(const std::wstring& path) {
  const auto known = spellings_.find(path);
  const std::wstring name = known != spellings_.end() ? known->second : ProfileLockName(path);
  unique_kernel_handle& mutex = lockMutexes_[name];
  if (!mutex) mutex.reset(OpenLockMutex(name));
  if (!mutex) {
    ProfileError::Keep();
    return nullptr;
  }
  const DWORD waited = ::WaitForSingleObject(mutex.get(), kLockWaitMs);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    if (waited == WAIT_TIMEOUT) {
      ProfileError::Refuse(WAIT_TIMEOUT);
    } else {
      ProfileError::Keep();
    }
    return nullptr;
  }
  Held& held = held_[name];
  if (held.locks == 0 && !path.empty()) ClearLeftovers(path);
  ++held.locks;
  spellings_[path] = name;
  return std::make_unique<HeldLock>(*this, name, mutex.get(), held.writes);
}

bool Win32ProfileFiles::HoldsText(const std::wstring& text, const std::wstring& path) {
  return path.empty() || HoldsAll(ReadPath(path), {&text});
}

bool Win32ProfileFiles::KeepsExistingText(const std::wstring& path) {
  return path.empty() || AnsiTextSurvives(ReadPath(path));
}

bool Win32ProfileFiles::IsUnreadable(const std::wstring& path) {
  if (path.empty()) return false;
  const std::wstring target = ReadPath(path);
  const unique_hfile file(::CreateFileW(target.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file) return false;
  const DWORD error = ::GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return false;
  ProfileError::Refuse(error);
  return true;
}

Win32ProfileFiles::Held* Win32ProfileFiles::HeldFor(const std::wstring& path) {
  const auto spelling = spellings_.find(path);
  if (spelling == spellings_.end()) return nullptr;
  const auto found = held_.find(spelling->second);
  return found == held_.end() || found->second.locks == 0 ? nullptr : &found->second;
}

std::wstring Win32ProfileFiles::ReadPath(const std::wstring& path) {
  const Held* held = HeldFor(path);
  return held && held->change ? held->change->WorkingPath() : path;
}

std::optional<std::wstring> Win32ProfileFiles::BeginWrite(const std::wstring& path) {
  Held* held = HeldFor(path);
  if (!held) return path;  // a write outside any lock goes to the file as it always did
  ++held->writes;
  // After a failed write the change can only fail: nothing more is written.
  if (held->failed) {
    ProfileError::Refuse(held->error);
    return std::nullopt;
  }
  if (!held->change) {
    auto change = std::make_unique<ProfileChange>(path);
    if (!change->Begin()) {
      held->failed = true;
      held->error = change->Error();
      held->problem = change->Problem();
      ProfileError::Refuse(held->error);
      return std::nullopt;
    }
    held->change = std::move(change);
  }
  return held->change->WorkingPath();
}

bool Win32ProfileFiles::EndWrite(const std::wstring& path, const std::wstring& written,
                                 bool succeeded) {
  const DWORD error = ::GetLastError();
  // The service answers later reads from what it read, not from the disk: a write that
  // came out short must show in the reads that verify it.
  ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, written.c_str());
  Held* held = HeldFor(path);
  if (succeeded) return true;
  if (held && !held->failed) {
    held->failed = true;
    held->error = error;
    held->problem = L"the write failed: " + ErrorText(error);
  }
  return ProfileError::Refuse(error);
}

bool Win32ProfileFiles::Commit(const std::wstring& name) {
  Held& held = held_[name];
  if (held.failed) {
    if (held.problem.empty()) held.problem = L"what was written did not read back as written";
    return false;
  }
  if (held.locks > 1 || !held.change) return true;  // the outer lock commits
  if (!held.change->Commit()) {
    held.failed = true;
    held.problem = held.change->Problem();
    return false;
  }
  held.change.reset();
  return true;
}

void Win32ProfileFiles::Release(const std::wstring& name, bool committed, unsigned writesAtStart) {
  Held& held = held_[name];
  // A lock that wrote and ends without a commit: its writes did not come out as meant.
  if (!committed && held.writes != writesAtStart) {
    held.failed = true;
    if (held.problem.empty()) held.problem = L"what was written did not read back as written";
  }
  if (--held.locks > 0) return;
  held.change.reset();  // undone unless committed
  held_.erase(name);
  std::erase_if(spellings_, [&name](const auto& spelling) { return spelling.second == name; });
}

std::uint32_t Win32ProfileFiles::GetString(const std::optional<std::wstring>& section,
                                           const std::optional<std::wstring>& key,
                                           const std::wstring& defaultValue,
                                           std::uint32_t bufferChars, std::wstring& text,
                                           const std::wstring& path) {
  text.clear();
  if (path.empty()) return 0;
  if (!HoldsAll(ReadPath(path), {OrNone(section), OrNone(key)})) {
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
    const std::wstring source = ReadPath(path);
    const DWORD copied =
        ::GetPrivateProfileStringW(OrNull(section), OrNull(key), defaultValue.c_str(), buffer.get(),
                                   bufferChars, source.c_str());
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
  if (!HoldsAll(ReadPath(path), {OrNone(section), OrNone(key), OrNone(value)})) {
    return ProfileError::Refuse(ERROR_NO_UNICODE_TRANSLATION);
  }
  if (!AnsiTextSurvives(ReadPath(path))) return ProfileError::Refuse(ERROR_NO_UNICODE_TRANSLATION);
  const auto target = BeginWrite(path);
  if (!target) return false;
  // Only a write of a value creates the file; deleting from an absent file creates nothing.
  if (section && key && value) MarkUnicodeIfEmpty(*target);
  const bool written = ::WritePrivateProfileStringW(OrNull(section), OrNull(key), OrNull(value),
                                                    target->c_str()) != FALSE;
  return EndWrite(path, *target, written);
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
    if (!HoldsAll(ReadPath(path), {text}))
      return ProfileError::Refuse(ERROR_NO_UNICODE_TRANSLATION);
  }
  if (!AnsiTextSurvives(ReadPath(path))) return ProfileError::Refuse(ERROR_NO_UNICODE_TRANSLATION);
  const auto target = BeginWrite(path);
  if (!target) return false;
  MarkUnicodeIfEmpty(*target);
  const bool written =
      ::WritePrivateProfileSectionW(section.c_str(), lines.c_str(), target->c_str()) != FALSE;
  return EndWrite(path, *target, written);
}

std::optional<std::vector<ProfileFiles::SectionLine>> Win32ProfileFiles::ReadSection(
    const std::wstring& section, const std::wstring& path) {
  std::vector<SectionLine> lines;
  if (path.empty() || !HoldsAll(ReadPath(path), {&section})) return lines;
  const std::wstring source = ReadPath(path);
  std::wstring buffer;
  // A section that does not fit comes back cut, with the buffer's size less two.
  for (DWORD size = 32768;; size *= 2) {
    if (size > (1u << 30)) return std::nullopt;
    buffer.assign(size, L'\0');
    const DWORD copied =
        ::GetPrivateProfileSectionW(section.c_str(), buffer.data(), size, source.c_str());
    if (copied + 2 < size) {
      buffer.resize(copied);
      break;
    }
  }
  std::size_t start = 0;
  while (start < buffer.size()) {
    std::size_t end = buffer.find(L'\0', start);
    if (end == std::wstring::npos) end = buffer.size();
    const std::wstring line = buffer.substr(start, end - start);
    if (!line.empty()) {
      const auto equals = line.find(L'=');
      if (equals == std::wstring::npos) {
        lines.push_back({line, std::nullopt});
      } else {
        lines.push_back({line.substr(0, equals), line.substr(equals + 1)});
      }
    }
    start = end + 1;
  }
  return lines;
}

ProfileFiles::CodePageText Win32ProfileFiles::ReadInCodePage(const std::wstring& path,
                                                             std::uint32_t codePage) {
  if (path.empty()) return {CodePageReading::NoFile, {}};
  const unique_hfile file(::CreateFileW(ReadPath(path).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = ::GetLastError();
    const bool absent = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    ProfileError::Refuse(error);
    return {absent ? CodePageReading::NoFile : CodePageReading::NotText, {}};
  }
  if (!::IsValidCodePage(codePage)) return {CodePageReading::NoCodePage, {}};
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
    bytes.append(buffer, read);
  }
  const auto startsWith = [&bytes](std::string_view mark) { return bytes.starts_with(mark); };
  if (startsWith("\xFF\xFE") || startsWith("\xFE\xFF") || startsWith("\xEF\xBB\xBF")) {
    return {CodePageReading::Unicode, {}};
  }
  if (bytes.empty()) return {CodePageReading::Read, {}};
  const int length = static_cast<int>(bytes.size());
  const int chars =
      ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
  if (chars <= 0) return {CodePageReading::NotText, {}};
  std::wstring text(static_cast<std::size_t>(chars), L'\0');
  ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, text.data(), chars);
  return {CodePageReading::Read, std::move(text)};
}

bool Win32ProfileFiles::RewriteAsUnicode(const std::wstring& text, const std::wstring& path) {
  if (path.empty()) return ProfileError::Refuse(ERROR_INVALID_PARAMETER);
  const auto target = BeginWrite(path);
  if (!target) return false;
  const std::wstring content = L"\xFEFF" + text;
  const bool written =
      Refill(*target, content.data(), content.size() * sizeof(wchar_t), OPEN_ALWAYS);
  return EndWrite(path, *target, written);
}

std::optional<std::wstring> Win32ProfileFiles::ReadText(const std::wstring& path) {
  if (path.empty()) return std::nullopt;
  const std::wstring source = ReadPath(path);
  const auto bytes = FileBytes(source);
  if (!bytes) return std::nullopt;
  if (bytes->starts_with(kUtf16Mark)) {
    if (bytes->size() % 2 != 0) return std::nullopt;
    std::wstring text((bytes->size() - kUtf16Mark.size()) / 2, L'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
      const auto low = static_cast<unsigned char>((*bytes)[2 + 2 * i]);
      const auto high = static_cast<unsigned char>((*bytes)[3 + 2 * i]);
      text[i] = static_cast<wchar_t>(low | (high << 8));
    }
    return text;
  }
  if (!IsAnsiFile(source) || !AnsiTextSurvives(source)) return std::nullopt;
  const int length = static_cast<int>(bytes->size());
  const int chars = ::MultiByteToWideChar(CP_ACP, 0, bytes->data(), length, nullptr, 0);
  if (chars <= 0) return std::nullopt;
  std::wstring text(static_cast<std::size_t>(chars), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, bytes->data(), length, text.data(), chars);
  return text;
}

bool Win32ProfileFiles::RewriteText(const std::wstring& text, const std::wstring& path) {
  if (path.empty()) return ProfileError::Refuse(ERROR_INVALID_PARAMETER);
  const std::wstring source = ReadPath(path);
  const auto start = FileBytes(source);
  if (!start || !ReadText(path)) return ProfileError::Refuse(ERROR_INVALID_PARAMETER);
  std::string content;
  if (start->starts_with(kUtf16Mark)) {
    content.reserve(kUtf16Mark.size() + text.size() * 2);
    content = kUtf16Mark;
    for (const wchar_t c : text) {
      content += static_cast<char>(c & 0xFF);
      content += static_cast<char>((c >> 8) & 0xFF);
    }
  } else {
    if (!AnsiCodePageHolds(text)) return ProfileError::Refuse(ERROR_NO_UNICODE_TRANSLATION);
    const int length = static_cast<int>(text.size());
    const int bytes =
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (length > 0 && bytes <= 0) {
      ProfileError::Keep();
      return false;
    }
    content.assign(static_cast<std::size_t>(std::max(bytes, 0)), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), length, content.data(), bytes, nullptr, nullptr);
  }
  const auto target = BeginWrite(path);
  if (!target) return false;
  const bool written = Refill(*target, content.data(), content.size(), OPEN_EXISTING);
  return EndWrite(path, *target, written);
}

std::uint32_t Win32ProfileFiles::LastError() const { return ProfileError::Value(); }

}  // namespace sheetlore::win32
