#include "component/paper_store_file.h"

#include <algorithm>
#include <cstdint>

namespace sheetlore::paper_store {
namespace {

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

bool HasLoneSurrogate(std::wstring_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (IsHighSurrogate(c)) {
      if (i + 1 >= text.size() || !IsLowSurrogate(text[i + 1])) return true;
      ++i;  // the pair's second half
    } else if (IsLowSurrogate(c)) {
      return true;
    }
  }
  return false;
}

bool IsQuote(wchar_t c) { return c == L'"' || c == L'\''; }

// The lower-case letter of c for the scripts names are commonly written in; other characters
// are returned unchanged.
wchar_t FoldLetter(wchar_t c) {
  const auto code = static_cast<std::uint32_t>(c);
  const auto shifted = [c](std::uint32_t by) { return static_cast<wchar_t>(c + by); };
  if (code >= 'A' && code <= 'Z') return shifted(0x20);
  if (code >= 0xC0 && code <= 0xDE && code != 0xD7) return shifted(0x20);
  // Latin Extended-A: capitals on even code points, then on odd ones, then even again.
  if ((code >= 0x100 && code <= 0x12F) || (code >= 0x132 && code <= 0x137) ||
      (code >= 0x14A && code <= 0x177)) {
    return code % 2 == 0 ? shifted(1) : c;
  }
  if ((code >= 0x139 && code <= 0x148) || (code >= 0x179 && code <= 0x17E)) {
    return code % 2 == 1 ? shifted(1) : c;
  }
  if (code == 0x178) return static_cast<wchar_t>(0xFF);
  if (code >= 0x391 && code <= 0x3A9 && code != 0x3A2) return shifted(0x20);
  if (code >= 0x400 && code <= 0x40F) return shifted(0x50);
  if (code >= 0x410 && code <= 0x42F) return shifted(0x20);
  if (code >= 0xFF21 && code <= 0xFF3A) return shifted(0x20);
  return c;
}

}  // namespace

std::wstring FilePath(Host& host) { return host.ComponentDirectory() + L"\\" + kFileName; }

std::wstring TrimBlanks(std::wstring_view text) {
  const auto first = text.find_first_not_of(L' ');
  if (first == std::wstring_view::npos) return std::wstring();
  const auto last = text.find_last_not_of(L' ');
  return std::wstring(text.substr(first, last - first + 1));
}

bool IsStorableName(std::wstring_view name) {
  if (name.empty() || name.front() == L' ' || name.back() == L' ') return false;
  if (SameProfileName(name, kListSection)) return false;
  const bool hasForbidden = std::any_of(name.begin(), name.end(), [](wchar_t c) {
    return c < 0x20 || c == L'[' || c == L']' || c == L'=';
  });
  if (hasForbidden) return false;
  if (name.front() == L';') return false;
  if (name.size() >= 2 && IsQuote(name.front()) && name.back() == name.front()) return false;
  return !HasLoneSurrogate(name);
}

bool SameProfileName(std::wstring_view a, std::wstring_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](wchar_t x, wchar_t y) { return FoldLetter(x) == FoldLetter(y); });
}

}  // namespace sheetlore::paper_store
