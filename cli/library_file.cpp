#include "cli/library_file.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "cli/command_error.h"

namespace sheetlore::cli {

std::string ReadWholeFile(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  std::string bytes;
  if (file) bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  if (!file && !file.eof()) throw NotFound(L"cannot read the file " + path);
  return bytes;
}

void WriteWholeFile(const std::wstring& path, const std::string& bytes) {
  std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  if (file) file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (file) file.close();
  if (!file) throw Refused(L"cannot write the file " + path);
}

}  // namespace sheetlore::cli
