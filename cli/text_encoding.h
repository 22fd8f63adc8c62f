#pragma once
// UTF-8 for the library files, and the program's wide text: UTF-16 code units where wchar_t has
// 16 bits (Windows), whole code points where it has 32.

#include <optional>
#include <string>
#include <string_view>

namespace sheetlore::cli {

// A lone surrogate has no UTF-8 form; it becomes U+FFFD.
std::string ToUtf8(std::wstring_view text);

// Nothing when the bytes are not well-formed UTF-8.
std::optional<std::wstring> FromUtf8(std::string_view bytes);

// A text file's bytes as UTF-8 without a byte-order mark. Files written on Windows often carry
// one: UTF-8 with a mark (Notepad) and UTF-16 with a mark (PowerShell's redirection) are
// accepted as well. Nothing when a UTF-16 file does not decode.
std::optional<std::string> TextFileAsUtf8(std::string_view bytes);

}  // namespace sheetlore::cli
