#include "cli/number_arguments.h"

#include <charconv>
#include <cmath>
#include <string>

#include "cli/command_error.h"

namespace sheetlore::cli {
namespace {

bool IsNumberCharacter(wchar_t c) {
  return (c >= L'0' && c <= L'9') || c == L'.' || c == L'-' || c == L'+' || c == L'e' || c == L'E';
}

}  // namespace

double ParseNumber(const std::wstring& text, const std::wstring& what) {
  const auto invalid = [&] { return BadArguments(what + L" is not a number: \"" + text + L"\""); };
  if (text.empty()) throw invalid();
  std::string narrow;
  for (const wchar_t c : text) {
    if (!IsNumberCharacter(c)) throw invalid();
    narrow.push_back(static_cast<char>(c));
  }
  // from_chars takes no leading "+"; one is harmless to accept, but not before another sign.
  const bool explicitPlus = narrow[0] == '+';
  const std::size_t start = explicitPlus ? 1 : 0;
  if (start == narrow.size() || (explicitPlus && (narrow[1] == '+' || narrow[1] == '-'))) {
    throw invalid();
  }
  double value = 0;
  const char* first = narrow.data() + start;
  const char* last = narrow.data() + narrow.size();
  const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
  if (error != std::errc() || end != last || !std::isfinite(value)) throw invalid();
  return value;
}

double ParseLength(const std::wstring& text, const std::wstring& what) {
  const double value = ParseNumber(text, what);
  if (value < 0) throw BadArguments(what + L" cannot be negative: " + text);
  return value;
}

PaperSize ParsePaperSize(const std::wstring& text) {
  const auto slash = text.find(L'/');
  if (slash == std::wstring::npos || text.find(L'/', slash + 1) != std::wstring::npos) {
    throw BadArguments(L"a size is WIDTH/HEIGHT in inches, for example 8.5/11: \"" + text + L"\"");
  }
  PaperSize size{ParseLength(text.substr(0, slash), L"the width"),
                 ParseLength(text.substr(slash + 1), L"the height")};
  if (size.width == 0 || size.height == 0) {
    throw BadArguments(L"a paper size cannot be 0: \"" + text + L"\"");
  }
  return size;
}

}  // namespace sheetlore::cli
