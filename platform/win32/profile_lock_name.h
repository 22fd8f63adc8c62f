#pragma once
// The name of the lock that every process and every session takes before it changes a profile
// file, and the access list that lets every local user wait on it and release it.

#include <string>

namespace sheetlore::win32 {

// "Global\Sheetlore.ProfileFile.<folder>.<leaf>": <folder> is the identity of the file's folder
// (its volume's serial number and the folder's file index), so that every spelling of the path
// (drive letters, mapped drives, subst, junctions, UNC, short names) gives one name, and a
// file that does not exist yet has its name already. The folder rather than the file: a file
// replaced by a rename gets a new index, its folder keeps its own. <leaf> is a hash of the
// upper-cased long name of the file. A folder that cannot be opened falls back to a hash of the
// upper-cased full path.
std::wstring ProfileLockName(const std::wstring& path);

// The access list of the lock, in SDDL: full access for the system and administrators, waiting
// and releasing (SYNCHRONIZE | MUTEX_MODIFY_STATE) for every authenticated user.
inline constexpr wchar_t kProfileLockSddl[] = L"D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00100001;;;AU)";

}  // namespace sheetlore::win32
