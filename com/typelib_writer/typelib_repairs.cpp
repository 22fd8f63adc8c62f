#include "com/typelib_writer/typelib_repairs.h"

#include <array>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace sheetlore::com::typelib {
namespace {

// The parts of the type library file format that locate a type-information entry.
constexpr std::uint32_t kMagic = 0x5446534D;  // "MSFT"
constexpr std::size_t kHeaderSize = 0x54;
constexpr std::size_t kFlagsOffset = 0x14;
constexpr std::size_t kTypeInfoCountOffset = 0x20;
constexpr std::uint32_t kHelpDllFlag = 0x100;
constexpr std::size_t kTypeInfoEntrySize = 0x64;
constexpr std::size_t kEntrySizeFieldOffset = 0x50;
constexpr std::uint32_t kTypeKindMask = 0xF;
constexpr std::uint32_t kRecordKind = 1;  // TKIND_RECORD

std::vector<char> ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t ReadWord(const std::vector<char>& bytes, std::size_t offset) {
  if (offset + 4 > bytes.size()) throw std::runtime_error("type library is truncated");
  std::uint32_t value = 0;
  std::memcpy(&value, bytes.data() + offset, 4);
  return value;
}

// The file offset of the size field of entry typeInfoIndex, after checking it is a record.
std::size_t SizeFieldOffset(const std::vector<char>& bytes, unsigned typeInfoIndex) {
  if (ReadWord(bytes, 0) != kMagic) throw std::runtime_error("not a type library");
  const std::uint32_t count = ReadWord(bytes, kTypeInfoCountOffset);
  if (typeInfoIndex >= count) throw std::runtime_error("no such type information");
  std::size_t offset = kHeaderSize;
  if (ReadWord(bytes, kFlagsOffset) & kHelpDllFlag) offset += 4;
  offset += 4 * static_cast<std::size_t>(count);  // the type information offsets
  // The segment directory follows; its first segment is the table of type information.
  const std::size_t table = ReadWord(bytes, offset);
  const std::size_t entry = table + kTypeInfoEntrySize * typeInfoIndex;
  if ((ReadWord(bytes, entry) & kTypeKindMask) != kRecordKind) {
    throw std::runtime_error("type information is not a record");
  }
  return entry + kEntrySizeFieldOffset;
}

}  // namespace

void WidenTrueDefaults(const std::filesystem::path& library, int expectedCount) {
  // An in-place default: the top byte 0x80 + 4 * type (VT_BOOL: 0xAC), the value below.
  constexpr std::uint32_t kTruncatedTrue = 0xAC0000FF;
  constexpr std::uint32_t kTrue = 0xAC00FFFF;
  std::vector<char> bytes = ReadAll(library);
  std::vector<std::size_t> found;
  for (std::size_t offset = 0; offset + 4 <= bytes.size(); ++offset) {
    if (ReadWord(bytes, offset) == kTruncatedTrue) found.push_back(offset);
  }
  if (static_cast<int>(found.size()) != expectedCount) {
    throw std::runtime_error("found " + std::to_string(found.size()) +
                             " truncated boolean defaults, expected " +
                             std::to_string(expectedCount));
  }
  std::fstream file(library, std::ios::binary | std::ios::in | std::ios::out);
  for (std::size_t offset : found) {
    file.seekp(static_cast<std::streamoff>(offset));
    file.write(reinterpret_cast<const char*>(&kTrue), sizeof kTrue);
  }
  if (!file) throw std::runtime_error("cannot write " + library.string());
}

std::uint32_t StoredRecordSize(const std::filesystem::path& library, unsigned typeInfoIndex) {
  const auto bytes = ReadAll(library);
  return ReadWord(bytes, SizeFieldOffset(bytes, typeInfoIndex));
}

void StoreRecordSize(const std::filesystem::path& library, unsigned typeInfoIndex,
                     std::uint32_t size) {
  const std::size_t field = SizeFieldOffset(ReadAll(library), typeInfoIndex);
  std::fstream file(library, std::ios::binary | std::ios::in | std::ios::out);
  file.seekp(static_cast<std::streamoff>(field));
  file.write(reinterpret_cast<const char*>(&size), sizeof size);
  if (!file) throw std::runtime_error("cannot write " + library.string());
}

}  // namespace sheetlore::com::typelib
