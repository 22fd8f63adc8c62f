#pragma once
// One locked change of a profile file, made on a copy.
//
// The first write of the change copies the file to a new name in its folder
// ("<file>.pending-<process>-<n>"); every read and write of the change goes to that copy, and
// the file itself is not touched until Commit replaces it by the copy in one rename
// (MoveFileExW, the copy first given the file's access list and attributes). A process killed at
// any moment therefore leaves the file whole, old or new; what it leaves behind is a copy that
// was never committed, which the next lock removes and never applies.
//
// A folder that refuses new files (the user may change the file but create nothing beside it)
// gets no copy: the change is then made on the file itself, unprotected against a kill, and
// undone from the file's bytes kept in memory when it fails. A copy that fails for any other
// reason (a full disk) refuses the change.

#include <optional>
#include <string>
#include <vector>

namespace sheetlore::win32 {

class ProfileChange {
 public:
  explicit ProfileChange(std::wstring path);
  ProfileChange(const ProfileChange&) = delete;
  ProfileChange& operator=(const ProfileChange&) = delete;
  // A change not committed is undone: its copy removed, or the file's old bytes written back.
  ~ProfileChange();

  // Before the first write: makes the copy, or keeps the bytes where no copy can be made.
  // False (with Problem) when the change cannot be protected or undone.
  bool Begin();
  // Where the reads and writes of the change go: the copy, or the file itself without one.
  const std::wstring& WorkingPath() const { return working_; }
  bool IsProtected() const { return !copy_.empty(); }
  // Makes the change the file's content. False (with Problem) when the file could not be
  // replaced; the change is then undone when this object goes.
  bool Commit();
  const std::wstring& Problem() const { return problem_; }
  // The Windows error behind Problem, where there is one (0 otherwise).
  unsigned long Error() const { return error_; }

 private:
  void Undo();

  std::wstring path_;
  std::wstring working_;
  std::wstring copy_;
  bool existed_ = false;
  std::optional<std::string> oldBytes_;  // without a copy: the file as it was
  bool begun_ = false;
  bool committed_ = false;
  std::wstring problem_;
  unsigned long error_ = 0;
};

// Before a lock's first change: removes the copies that changes which never committed left
// beside the file (a copy that cannot be removed is left; it is never applied). Where the file
// itself is missing, a copy that holds anything is set aside as "<file>.set-aside-<n>" rather
// than removed, as is a copy "<file>.saved" that an older version of the component left: it is
// never put back over the file.
void ClearLeftovers(const std::wstring& path);

// The files beside path that ClearLeftovers set aside, by name.
std::vector<std::wstring> SetAsideLeftovers(const std::wstring& path);

// Why a Windows call failed, in words.
std::wstring ErrorText(unsigned long error);

}  // namespace sheetlore::win32
