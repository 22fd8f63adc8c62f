// What sheetlore doctor reads from a registered DLL without loading its code: the machine in
// its PE header and the release in its version resource (parsed here, so that the tool needs no
// library beyond the system's known ones).
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>

#include "cli/doctor.h"
#include "platform/win32/unique_handles.h"
#include "platform/win32/windows_api.h"

namespace sheetlore::cli {
namespace {

template <typename T>
bool ReadAt(std::ifstream& file, std::streamoff offset, T& value) {
  file.seekg(offset);
  file.read(reinterpret_cast<char*>(&value), sizeof(value));
  return file.gcount() == static_cast<std::streamsize>(sizeof(value));
}

std::size_t Align4(std::size_t offset) { return (offset + 3) & ~std::size_t{3}; }

// A version resource is a tree of blocks: length, value length, type (1: text), a key, then the
// value and the children, each aligned to 4 bytes. Finds the text value of the first block
// named key.
std::optional<std::wstring> FindText(const unsigned char* data, std::size_t begin, std::size_t end,
                                     const std::wstring& key) {
  std::size_t offset = begin;
  while (offset + 6 <= end) {
    std::uint16_t length = 0, valueLength = 0, type = 0;
    std::memcpy(&length, data + offset, 2);
    std::memcpy(&valueLength, data + offset + 2, 2);
    std::memcpy(&type, data + offset + 4, 2);
    if (length < 6 || offset + length > end) return std::nullopt;
    const std::size_t blockEnd = offset + length;
    std::size_t cursor = offset + 6;
    std::wstring name;
    for (; cursor + 2 <= blockEnd; cursor += 2) {
      std::uint16_t unit = 0;
      std::memcpy(&unit, data + cursor, 2);
      if (unit == 0) break;
      name += static_cast<wchar_t>(unit);
    }
    cursor = Align4(cursor + 2);
    const std::size_t valueBytes = type == 1 ? valueLength * std::size_t{2} : valueLength;
    if (name == key && type == 1 && cursor + valueBytes <= blockEnd) {
      std::wstring text;
      for (std::size_t i = 0; i + 2 <= valueBytes; i += 2) {
        std::uint16_t unit = 0;
        std::memcpy(&unit, data + cursor + i, 2);
        if (unit == 0) break;
        text += static_cast<wchar_t>(unit);
      }
      return text;
    }
    if (auto found = FindText(data, Align4(cursor + valueBytes), blockEnd, key)) return found;
    offset = Align4(blockEnd);
  }
  return std::nullopt;
}

}  // namespace

unsigned short BinaryMachine(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  std::uint16_t dosMagic = 0;
  std::uint32_t headerOffset = 0, signature = 0;
  std::uint16_t machine = 0;
  if (!ReadAt(file, 0, dosMagic) || dosMagic != 0x5A4D || !ReadAt(file, 0x3C, headerOffset) ||
      !ReadAt(file, headerOffset, signature) || signature != 0x00004550 ||
      !ReadAt(file, headerOffset + 4, machine)) {
    return 0;
  }
  return machine;
}

std::optional<std::wstring> BinaryRelease(const std::wstring& path) {
  const win32::unique_hmodule module(::LoadLibraryExW(
      path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  if (!module) return std::nullopt;
  const HRSRC resource = ::FindResourceW(module.get(), MAKEINTRESOURCEW(1), RT_VERSION);
  if (!resource) return std::nullopt;
  const HGLOBAL loaded = ::LoadResource(module.get(), resource);
  const auto* data = static_cast<const unsigned char*>(loaded ? ::LockResource(loaded) : nullptr);
  if (!data) return std::nullopt;
  return FindText(data, 0, ::SizeofResource(module.get(), resource), L"Release");
}

}  // namespace sheetlore::cli
