// Replays a profile script (stdin) on a real profile file through
// GetPrivateProfileStringW / WritePrivateProfileStringW and prints the transcript.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <vector>

#include "tests/profile_diff/replay_script.h"

namespace sheetlore::profile_diff {
namespace {

const wchar_t* OrNull(const OptionalText& text) { return text ? text->c_str() : nullptr; }

class Win32Backend final : public ProfileBackend {
 public:
  Win32Backend() {
    wchar_t directory[MAX_PATH];
    ::GetTempPathW(MAX_PATH, directory);
    path_ = std::wstring(directory) + L"sheetlore_profile_replay_" +
            std::to_wstring(::GetCurrentProcessId()) + L".ini";
  }
  Win32Backend(const Win32Backend&) = delete;
  Win32Backend& operator=(const Win32Backend&) = delete;
  ~Win32Backend() override { Remove(); }

  void SetFile(const std::optional<std::string>& bytes) override {
    Remove();
    if (!bytes) return;
    const HANDLE file = ::CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &written, nullptr);
    ::CloseHandle(file);
  }

  void MakeReadOnly() override {
    if (::GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES) {
      ::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY);
    }
  }

  bool Write(const OptionalText& section, const OptionalText& key,
             const OptionalText& value) override {
    return ::WritePrivateProfileStringW(OrNull(section), OrNull(key), OrNull(value),
                                        path_.c_str()) != FALSE;
  }

  std::uint32_t Read(const OptionalText& section, const OptionalText& key,
                     const OptionalText& defaultValue, std::uint32_t bufferChars,
                     std::wstring& text) override {
    // Room on both sides: the service writes one character before a one-character buffer
    // in one case, and its final zero after it in another.
    std::vector<wchar_t> buffer(bufferChars + 8, L'*');
    wchar_t* start = buffer.data() + 2;
    const DWORD count = ::GetPrivateProfileStringW(
        OrNull(section), OrNull(key), OrNull(defaultValue), start, bufferChars, path_.c_str());
    text.assign(start, start + count);
    return count;
  }

  std::optional<std::string> FileBytes() override {
    const HANDLE file = ::CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char chunk[4096];
    DWORD read = 0;
    while (::ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) {
      bytes.append(chunk, read);
    }
    ::CloseHandle(file);
    return bytes;
  }

 private:
  void Remove() {
    ::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path_.c_str());
  }

  std::wstring path_;
};

}  // namespace
}  // namespace sheetlore::profile_diff

int main() {
  // The transcript is compared byte for byte with the native one: no CR LF translation.
  _setmode(_fileno(stdout), _O_BINARY);
  sheetlore::profile_diff::Win32Backend backend;
  return sheetlore::profile_diff::Replay(std::cin, backend, std::cout) ? 0 : 1;
}
