// Replays a profile script (stdin) on a real profile file through the Windows platform's
// profile files (GetPrivateProfileStringW / WritePrivateProfileStringW, with the byte-order
// mark given to a new file) and prints the transcript.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <vector>

#include "platform/win32/win32_profile_files.h"
#include "tests/profile_diff/replay_script.h"

namespace sheetlore::profile_diff {
namespace {

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
    return profile_.WriteString(section, key, value, path_);
  }

  std::uint32_t Read(const OptionalText& section, const OptionalText& key,
                     const OptionalText& defaultValue, std::uint32_t bufferChars,
                     std::wstring& text) override {
    return profile_.GetString(section, key, defaultValue.value_or(L""), bufferChars, text, path_);
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

  win32::Win32ProfileFiles profile_;
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
