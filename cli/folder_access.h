#pragma once
// Who besides administrators can change a folder or file: code loaded from a place that
// ordinary users can write runs with the rights of whoever loads it (an administrator's
// script host, a service). Read from the object's access list (Windows only).

#include <string>
#include <vector>

namespace sheetlore::cli {

struct AccessFinding {
  std::wstring path;
  bool readable = false;              // the access list could be read
  std::vector<std::wstring> writers;  // "Users", "Authenticated Users", "Everyone", "INTERACTIVE"
  std::wstring accessList;            // the access list in SDDL, as the system keeps it
  std::wstring error;                 // why it could not be read
};

// The groups of ordinary users that the access list of path lets write, append, delete,
// change its access list or take it over (for a folder: add files or folders to it).
AccessFinding OthersWhoCanWrite(const std::wstring& path);

// path and, for a folder, everything below it (code may sit in any of them) but the paper
// stores (.ini files), which hold no code.
std::vector<AccessFinding> OthersWhoCanWriteTree(const std::wstring& path);

// Locks a folder down: inheritance off, Administrators and SYSTEM full control, Users read and
// execute, inherited by everything below, whose own entries are removed. Empty on success,
// else the reason.
std::wstring LockDown(const std::wstring& folder);

}  // namespace sheetlore::cli
