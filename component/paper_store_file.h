#pragma once
// The paper store's file and the names it can hold. PrintSet.ini is a profile file: a list
// section "PrintMain" with one "name=name" line per paper, and one section per paper named
// after it. A paper's name is therefore both a key and a section name, and must survive the
// profile format in both roles.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace sheetlore::paper_store {

inline const std::wstring kListSection = L"PrintMain";
inline const std::wstring kFileName = L"PrintSet.ini";

// Where the store's file is, and why there.
struct Location {
  std::wstring path;
  bool fromSetting = false;  // named by the machine's setting, not the default beside the DLL
};

// The one place that chooses the store's file. The machine's setting when it names one: as
// given when it is a full path (a drive and a backslash, or a UNC path), otherwise taken from
// the component's directory. Without a setting the default: the component's directory, a
// backslash and "PrintSet.ini" (the directory as reported, so a drive's root gives two
// backslashes in a row).
Location FileLocation(Host& host);

// The store's full path: FileLocation's.
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

// Whether two names are one key or section to every profile service: the same but for the
// letter case of ASCII letters. (A service may take more pairs for one name, Windows' own
// more than Wine's; where that matters the store asks the service, see EntriesOfSection.)
bool SameProfileName(std::wstring_view a, std::wstring_view b);

// Characters of scripts without letter case (CJK ideographs and their punctuation, kana,
// Hangul syllables): no case rule takes one of them for another character.
bool IsCaseless(wchar_t c);

// Whether a name can address a paper's section for a read or a delete: not empty, not the
// list section, and free of characters no profile line can carry (control characters, a
// lone surrogate). Looser than IsStorableName: a paper listed in an older file under a name
// the store no longer writes ("a]b", a name in quotes) can still be read and deleted.
bool IsAddressableName(std::wstring_view name);

// The list entries that name one paper's section, as the profile service matches section
// names: those equal to the paper's name, and those that differ from it only where a letter
// could differ in case when the service finds a mark written to the paper's section through
// them. The other such near names were asked about and found to be other papers.
struct SectionEntries {
  std::vector<std::wstring> same;
  std::vector<std::wstring> other;

  // Whether entry may name the section: it is one of same, or a near name not asked about.
  bool MayName(const std::wstring& entry, const std::wstring& name) const;
};

// Asks the profile service about the entries of listed. Nothing (a failure) when the mark
// cannot be written or removed.
std::optional<SectionEntries> EntriesOfSection(ProfileFiles& profile, const std::wstring& path,
                                               const std::wstring& name,
                                               const std::vector<std::wstring>& listed);

}  // namespace sheetlore::paper_store
