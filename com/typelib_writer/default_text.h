#pragma once
// Text defaults of parameters. A type library stores them as bytes of an ANSI code page, and
// the writing and reading interfaces convert between those bytes and UTF-16 in the code page
// of the process. Sheetlore's defaults are Traditional Chinese, so the bytes the library must
// hold are those of code page 950, whatever the code page of the machine that builds it.

#include <string>
#include <string_view>

namespace sheetlore::com::typelib {

// The code page whose bytes the library holds for every text default.
inline constexpr unsigned kDefaultsCodePage = 950;

// The UTF-16 text to hand to the writer so that it stores the code page 950 bytes of text:
// the text itself under code page 950, the same bytes as this process's code page reads them
// under any other. Throws std::runtime_error, naming the code page, when this process's code
// page cannot carry those bytes unchanged (a double-byte code page other than 950, UTF-8).
std::wstring TextThatStoresDefault(std::wstring_view text);

// Whether a default read back in this process holds exactly the code page 950 bytes of text.
bool ReadsBackAsDefault(std::wstring_view readBack, std::wstring_view text);

}  // namespace sheetlore::com::typelib
