#pragma once
// Reading and writing a library file whole. Paths are taken as given: relative to the working
// directory, or a share's \\server\share\... path.

#include <string>

namespace sheetlore::cli {

// Throws CommandError (not found) when the file cannot be read.
std::string ReadWholeFile(const std::wstring& path);

// Replaces the file's content. Throws CommandError (refused) when it cannot be written.
void WriteWholeFile(const std::wstring& path, const std::string& bytes);

}  // namespace sheetlore::cli
