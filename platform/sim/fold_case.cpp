#include "platform/sim/fold_case.h"

#include <algorithm>

namespace sheetlore::sim {

wchar_t FoldCase(wchar_t c) {
  if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c + 0x20);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<wchar_t>(c + 0x20);     // Latin-1
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return static_cast<wchar_t>(c + 0x20);  // Greek
  if (c >= 0x410 && c <= 0x42F) return static_cast<wchar_t>(c + 0x20);                // Cyrillic
  if (c >= 0x400 && c <= 0x40F) return static_cast<wchar_t>(c + 0x50);  // Cyrillic with marks
  return c;
}

std::wstring FoldCase(const std::wstring& text) {
  std::wstring folded(text.size(), L'\0');
  std::transform(text.begin(), text.end(), folded.begin(), [](wchar_t c) { return FoldCase(c); });
  return folded;
}

bool EqualNoCase(const std::wstring& a, const std::wstring& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](wchar_t x, wchar_t y) { return FoldCase(x) == FoldCase(y); });
}

}  // namespace sheetlore::sim
