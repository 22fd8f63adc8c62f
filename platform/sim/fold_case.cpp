#include "platform/sim/fold_case.h"

#include <algorithm>

namespace sheetlore::sim {

wchar_t FoldCase(wchar_t c) {
  if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c + 0x20);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<wchar_t>(c + 0x20);     // Latin-1
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return static_cast<wchar_t>(c + 0x20);  // Greek
  if (c >= 0x410 && c <= 0x42F) return static_cast<wchar_t>(c + 0x20);                // Cyrillic
  if (c >= 0x400 && c <= 0x40F) return static_cast<wchar_t>(c + 0x50);    // Cyrillic with marks
  if (c >= 0xFF21 && c <= 0xFF3A) return static_cast<wchar_t>(c + 0x20);  // full-width Latin
  if (c >= 0x100 && c <= 0x17F) {  // Latin Extended-A: capital and small letter side by side
    if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
    if (c == 0x178) return 0xFF;
    const bool capitalIsOdd = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    return (c % 2 == 1) == capitalIsOdd ? static_cast<wchar_t>(c + 1) : c;
  }
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
