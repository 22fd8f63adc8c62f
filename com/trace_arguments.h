#pragma once
// The arguments and results of _ClsPrint's methods as the call trace writes them: text in
// double quotes (quotes doubled, long texts cut at kShownChars), numbers as the component writes
// them, True/False, "missing" for an omitted optional argument, "Nothing" for a null object.

#include "platform/win32/windows_api.h"

#include <oaidl.h>

#include <string>

#include "component/re_paper.h"

namespace sheetlore::com::trace {

inline constexpr std::size_t kShownChars = 200;

std::wstring Quoted(const wchar_t* text, std::size_t length);
std::wstring Value(BSTR text);
std::wstring Value(const BSTR* text);
std::wstring Value(double number);
std::wstring Value(const double* number);
std::wstring Value(const VARIANT_BOOL* flag);
std::wstring Value(SHORT number);
std::wstring Value(LONG number);
std::wstring Value(BYTE number);
std::wstring Value(IDispatch* object);
std::wstring Value(IDispatch* const* object);
std::wstring Value(const VARIANT* argument);
std::wstring Flag(VARIANT_BOOL flag);
std::wstring Paper(const rePaPer& paper);

// "a, b, c"
template <class... Arguments>
std::wstring List(const Arguments&... arguments) {
  std::wstring out;
  ((out += (out.empty() ? L"" : L", ") + Value(arguments)), ...);
  return out;
}

}  // namespace sheetlore::com::trace
