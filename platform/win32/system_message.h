#pragma once
// The system's own text for an error code or HRESULT.

#include <string>

namespace sheetlore::win32 {

// FormatMessage's text from the system's table, in the user's language, without the line break
// (and blanks) it ends with; empty when the system has no text for the code.
std::wstring SystemMessage(unsigned long code);

}  // namespace sheetlore::win32
