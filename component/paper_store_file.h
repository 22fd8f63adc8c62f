#pragma once
// The paper store's file and the names it can hold. PrintSet.ini is a profile file: a list
// section "PrintMain" with one "name=name" line per paper, and one section per paper named
// after it. A paper's name is therefore both a key and a section name, and must survive the
// profile format in both roles.

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace sheetlore::paper_store {

inline const std::wstring kListSection = L"PrintMain";
inline const std::wstring kFileName = L"PrintSet.ini";

// The store's full path: the component's directory, a backslash and "PrintSet.ini". The
// directory is taken as reported, so a drive's root gives two backslashes in a row.
std::wstring FilePath(Host& host);

// The name with the blanks (U+0020) at both ends removed.
std::wstring TrimBlanks(std::wstring_view text);

// Whether a paper of this name can be written to the store and read back unchanged, both as a
// key of the list section and as a section name. Refused:
//  - empty names, and names with a blank at either end (the profile service trims keys and
//    section names, so such a name would come back without them);
//  - "PrintMain" in any letter case (the list section itself);
//  - control characters anywhere (line breaks end a line, NUL ends the text, Ctrl-Z and tabs
//    count as blanks);
//  - "[" or "]" anywhere (a line starting with "[" is a section heading, and "]" ends a
//    section name), "=" anywhere (ends a key);
//  - a leading ";" (the line becomes a comment that is never listed);
//  - a pair of matching quotes around the whole name (removed from a value when it is read);
//  - a lone UTF-16 surrogate (no file encoding can carry it).
bool IsStorableName(std::wstring_view name);

// Whether two names are the same key or section to the profile service: letter case is
// ignored (ASCII, Latin-1, Latin Extended-A, Greek, Cyrillic and full-width Latin letters).
bool SameProfileName(std::wstring_view a, std::wstring_view b);

}  // namespace sheetlore::paper_store
