#pragma once
// Small text helpers of the dialog.

#include <string>
#include <string_view>

namespace sheetlore::dialog_text {

// Removes leading and trailing spaces (only U+0020, as the dialog's name handling does).
inline std::wstring TrimSpaces(std::wstring_view text) {
  const auto first = text.find_first_not_of(L' ');
  if (first == std::wstring_view::npos) return std::wstring();
  const auto last = text.find_last_not_of(L' ');
  return std::wstring(text.substr(first, last - first + 1));
}

}  // namespace sheetlore::dialog_text
