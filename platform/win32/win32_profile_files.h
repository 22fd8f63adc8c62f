#pragma once
// Private profile files over GetPrivateProfileStringW / WritePrivateProfileStringW.

#include <map>
#include <string>

#include "platform/platform.h"
#include "platform/win32/unique_handles.h"

namespace sheetlore::win32 {

class Win32ProfileFiles final : public ProfileFiles {
 public:
  // An empty path names no file: nothing is read (0) and nothing is written (false), so the
  // system's own default profile file is never reached by accident. A file that a value
  // write finds absent or empty (0 bytes) first gets the UTF-16 byte-order mark, so that
  // every name and value keeps all its characters. A file without a mark is read and
  // written by the profile calls in the ANSI code page: a section or key name it cannot
  // hold exactly finds nothing, and a write of such a text fails and changes nothing (the
  // calls would otherwise turn it into another name, "標籤" into "??").
  std::uint32_t GetString(const std::optional<std::wstring>& section,
                          const std::optional<std::wstring>& key, const std::wstring& defaultValue,
                          std::uint32_t bufferChars, std::wstring& text,
                          const std::wstring& path) override;
  bool WriteString(const std::optional<std::wstring>& section,
                   const std::optional<std::wstring>& key, const std::optional<std::wstring>& value,
                   const std::wstring& path) override;
  bool WriteSection(const std::wstring& section, const KeyValues& keys,
                    const std::wstring& path) override;
  // A named mutex of the file's path, shared by every process of the session. A holder
  // that has died releases it; a holder that hangs is waited for a bounded time only, after
  // which no lock is given (null), rather than hang. While the lock is held the first write
  // keeps a copy of the file beside it, which goes when the lock ends; a lock that finds such
  // a copy (its holder died part-way) puts it back first (see profile_backup.h). A folder in
  // which no copy can be made leaves the change unprotected.
  std::unique_ptr<FileLock> LockFile(const std::wstring& path) override;
  std::uint32_t LastError() const override;

 private:
  class HeldLock;
  // The files this object holds locked, with how many locks and whether their copy is kept.
  struct Held {
    int locks = 0;
    bool saved = false;
  };
  // Before a write: keeps the copy of a locked file once per lock, where the folder allows.
  void ProtectChange(const std::wstring& path);
  void Release(const std::wstring& path);

  std::map<std::wstring, Held> held_;
  // The mutexes of the files locked so far, by name, kept open so that each lock costs one
  // wait and one release only.
  std::map<std::wstring, unique_kernel_handle> lockMutexes_;
};

}  // namespace sheetlore::win32
