#pragma once
// A unique file name in the temporary directory, removed again (with any attributes) when the
// test ends.

#include <string>

#include "platform/win32/windows_api.h"

namespace sheetlore::win32 {

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
