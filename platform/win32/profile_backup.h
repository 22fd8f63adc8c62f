#pragma once
// A copy of a profile file kept beside it while a locked change is made. The profile service
// rewrites the whole file on every write, cutting it to nothing first: a process killed in
// that moment leaves the file short or empty. The next lock of the file puts the copy back,
// so a change interrupted anywhere is undone whole.

#include <string>

namespace sheetlore::win32::profile_backup {

// Where the copy of path is kept: beside it, named after it.
std::wstring CopyPath(const std::wstring& path);

// Puts back the copy that an interrupted change left behind, if any. False when a copy is
// there and cannot be put back.
bool RestoreInterrupted(const std::wstring& path);

// Keeps a copy of the file as it is now (an empty one for an absent file), made whole under
// another name first and then renamed, so that a copy is never itself cut short. False when
// no copy can be made.
bool Save(const std::wstring& path);

// The change is complete: its copy goes.
void Discard(const std::wstring& path);

}  // namespace sheetlore::win32::profile_backup
