#pragma once
// Private profile files over GetPrivateProfileStringW / WritePrivateProfileStringW.

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "platform/win32/profile_change.h"
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
  // A named mutex in the global namespace, one per file whatever the spelling of its path or
  // the session (see profile_lock_name.h), that every local user may wait on and release. A
  // holder that has died releases it; a holder that hangs is waited for a bounded time only,
  // after which no lock is given (null), rather than hang. A lock is a change made on a copy
  // of the file (see profile_change.h); the first lock of a file clears what earlier changes
  // left behind, and applies none of it.
  std::unique_ptr<FileLock> LockFile(const std::wstring& path) override;
  bool IsUnreadable(const std::wstring& path) override;
  std::uint32_t LastError() const override;
  bool HoldsText(const std::wstring& text, const std::wstring& path) override;
  bool KeepsExistingText(const std::wstring& path) override;
  std::optional<std::vector<SectionLine>> ReadSection(const std::wstring& section,
                                                      const std::wstring& path) override;
  CodePageText ReadInCodePage(const std::wstring& path, std::uint32_t codePage) override;
  bool RewriteAsUnicode(const std::wstring& text, const std::wstring& path) override;
  std::optional<std::wstring> ReadText(const std::wstring& path) override;
  bool RewriteText(const std::wstring& text, const std::wstring& path) override;

 private:
  class HeldLock;
  // One file's locks in this object and the change they make together.
  struct Held {
    int locks = 0;
    unsigned writes = 0;  // writes made under the locks, failed ones included
    bool failed = false;
    std::uint32_t error = 0;  // the Windows error of the failure, where one was given
    std::wstring problem;
    std::unique_ptr<ProfileChange> change;
  };
  // The lock of this spelling of a path, while one is held.
  Held* HeldFor(const std::wstring& path);
  // Where a read of path goes: the change's copy while one is made.
  std::wstring ReadPath(const std::wstring& path);
  // Where a write of path goes, the change begun if needed; nothing when the write must fail.
  std::optional<std::wstring> BeginWrite(const std::wstring& path);
  // Records a write's outcome in the change it belongs to.
  bool EndWrite(const std::wstring& path, const std::wstring& written, bool succeeded);
  bool Commit(const std::wstring& name);
  void Release(const std::wstring& name, bool committed, unsigned writesAtStart);

  std::map<std::wstring, Held> held_;               // by lock name
  std::map<std::wstring, std::wstring> spellings_;  // path as given -> lock name, while held
  // The mutexes of the files locked so far, by name, kept open so that each lock costs one
  // wait and one release only.
  std::map<std::wstring, unique_kernel_handle> lockMutexes_;
};

}  // namespace sheetlore::win32
