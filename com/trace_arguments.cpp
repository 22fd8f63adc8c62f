#include "com/trace_arguments.h"

#include "com/array_arguments.h"
#include "component/number_text.h"

namespace sheetlore::com::trace {

std::wstring Quoted(const wchar_t* text, std::size_t length) {
  std::wstring out = L"\"";
  for (std::size_t i = 0; i < length && i < kShownChars; ++i) {
    const wchar_t c = text[i];
    if (c == L'"') out += L'"';
    out += c < 0x20 ? L'?' : c;  // a line break would split the trace's line
  }
  out += L"\"";
  if (length > kShownChars) out += L"... (" + std::to_wstring(length) + L" characters)";
  return out;
}

std::wstring Value(BSTR text) { return text ? Quoted(text, ::SysStringLen(text)) : L"\"\""; }
std::wstring Value(const BSTR* text) { return text ? Value(*text) : L"missing"; }
std::wstring Value(double number) { return NumberText(number); }
std::wstring Value(const double* number) { return number ? Value(*number) : L"missing"; }
std::wstring Flag(VARIANT_BOOL flag) { return flag ? L"True" : L"False"; }
std::wstring Value(const VARIANT_BOOL* flag) { return flag ? Flag(*flag) : L"missing"; }
std::wstring Value(SHORT number) { return std::to_wstring(number); }
std::wstring Value(LONG number) { return std::to_wstring(number); }
std::wstring Value(BYTE number) { return std::to_wstring(number); }
std::wstring Value(IDispatch* object) { return object ? L"object" : L"Nothing"; }
std::wstring Value(IDispatch* const* object) { return object ? Value(*object) : L"missing"; }

std::wstring Value(const VARIANT* argument) {
  if (!argument || IsMissing(argument)) return L"missing";
  const VARTYPE type = V_VT(argument) & ~VT_BYREF;
  if (type & VT_ARRAY) return L"array";
  switch (type) {
    case VT_EMPTY:
      return L"Empty";
    case VT_NULL:
      return L"Null";
    case VT_BSTR:
      return Value((V_VT(argument) & VT_BYREF) ? *V_BSTRREF(argument) : V_BSTR(argument));
    default:
      return L"variant of type " + std::to_wstring(type);
  }
}

std::wstring Paper(const rePaPer& paper) {
  return L"{mMode " + std::to_wstring(paper.mMode) + L", W " + NumberText(paper.W) + L", H " +
         NumberText(paper.H) + L", L " + NumberText(paper.L) + L", R " + NumberText(paper.R) +
         L", T " + NumberText(paper.T) + L", B " + NumberText(paper.B) + L"}";
}

}  // namespace sheetlore::com::trace
