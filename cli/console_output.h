#pragma once
// Writing the tool's text: to a console as UTF-16, so every name shows as it is; to a pipe
// or file as UTF-8 with CR LF line ends, which other Windows tools and scripts read.

#include <string>

#include "platform/win32/windows_api.h"

namespace sheetlore::cli {

// text uses "\n" line ends. stream: STD_OUTPUT_HANDLE or STD_ERROR_HANDLE.
void WriteText(DWORD stream, const std::wstring& text);

// The UTF-8 bytes of text, each "\n" written as CR LF. Exposed for the tests.
std::string EncodeForFile(const std::wstring& text);

}  // namespace sheetlore::cli
