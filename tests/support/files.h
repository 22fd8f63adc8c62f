#pragma once
// Files of the Wine tests: a file's bytes read and set, and a unique file name in the temporary
// directory, removed again (with any attributes) when the test ends.

#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "platform/win32/windows_api.h"

namespace sheetlore::win32 {

// A file's bytes; nothing when the file does not exist.
inline std::optional<std::string> FileBytes(const std::wstring& path) {
  if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  std::ifstream file(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Writes the bytes, or removes the file when there are none.
inline void SetFileBytes(const std::wstring& path, const std::optional<std::string>& bytes) {
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!bytes) {
    ::DeleteFileW(path.c_str());
    return;
  }
  std::ofstream(path.c_str(), std::ios::binary | std::ios::trunc) << *bytes;
}

class TempFile {
 public:
  explicit TempFile(const std::wstring& suffix) {
    wchar_t directory[MAX_PATH];
    ::GetTempPathW(MAX_PATH, directory);
    static unsigned counter = 0;
    path_ = std::wstring(directory) + L"sheetlore_" + std::to_wstring(::GetCurrentProcessId()) +
            L"_" + std::to_wstring(++counter) + suffix;
    Remove();
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  ~TempFile() { Remove(); }

  const std::wstring& path() const { return path_; }

 private:
  void Remove() {
    ::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path_.c_str());
    ::RemoveDirectoryW(path_.c_str());
  }

  std::wstring path_;
};

}  // namespace sheetlore::win32
