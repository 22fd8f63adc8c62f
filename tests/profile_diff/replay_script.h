#pragma once
// A small command language for profile-file operations, replayed against one profile file
// by two programs: natively on the simulated profile files and under Wine on the real
// GetPrivateProfileStringW / WritePrivateProfileStringW. Both print the same transcript
// when the simulation follows the real rules.
//
// One command a line; arguments separated by single spaces. A text argument is "~" for an
// absent (null) text, otherwise "=" followed by the text with every character outside
// printable ASCII, and " ", "%", "~", "=", written as %XX (so "=" alone is the empty text).
//   F <text>                     the file now holds exactly text (bytes), or is removed (~)
//   W <section> <key> <value>    WritePrivateProfileString          prints "W <0|1>"
//   R <section> <key> <default> <bufferChars>
//                                GetPrivateProfileString            prints "R <count> <text>"
//   P                            prints "P <0|1 exists> <file bytes>"
//   # ...                        a comment, echoed as is

#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>
#include <string>

#include "tests/contract/backends.h"

namespace sheetlore::profile_diff {

using OptionalText = std::optional<std::wstring>;

std::string EscapeText(const std::wstring& text);
std::string EscapeBytes(const std::string& bytes);
std::string EncodeArgument(const OptionalText& text);
OptionalText DecodeArgument(const std::string& token);

// Runs every command of script, writing the transcript to out. Returns false on a line it
// cannot read.
bool Replay(std::istream& script, contract::ProfileBackend& backend, std::ostream& out);

}  // namespace sheetlore::profile_diff
