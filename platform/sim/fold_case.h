#pragma once
// Names compared without regard to letter case, as Windows compares printer names, file paths,
// window captions and the names of added forms (the profile service has its own, ASCII-only rule).

#include <string>

namespace sheetlore::sim {

// Lower case for the Latin, Greek and Cyrillic letters that have a case; every other
// character (CJK among them) is its own fold.
wchar_t FoldCase(wchar_t c);
std::wstring FoldCase(const std::wstring& text);
bool EqualNoCase(const std::wstring& a, const std::wstring& b);

}  // namespace sheetlore::sim
