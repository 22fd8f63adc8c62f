#pragma once
// Names compared without regard to letter case, as the spooler and the profile service
// compare form, section and key names.

#include <string>

namespace sheetlore::sim {

// Lower case for the Latin, Greek and Cyrillic letters that have a case; every other
// character (CJK among them) is its own fold.
wchar_t FoldCase(wchar_t c);
std::wstring FoldCase(const std::wstring& text);
bool EqualNoCase(const std::wstring& a, const std::wstring& b);

}  // namespace sheetlore::sim
