// Reading and writing the fields of a device settings record in the wide layout.
#include <algorithm>

#include "platform/sim/sim_platform.h"

namespace sheetlore::sim::devmode {

std::uint16_t ReadU16(const std::vector<std::uint8_t>& record, std::size_t offset) {
  if (offset + 2 > record.size()) return 0;
  return static_cast<std::uint16_t>(record[offset] | (record[offset + 1] << 8));
}

std::uint32_t ReadU32(const std::vector<std::uint8_t>& record, std::size_t offset) {
  if (offset + 4 > record.size()) return 0;
  return static_cast<std::uint32_t>(ReadU16(record, offset)) |
         (static_cast<std::uint32_t>(ReadU16(record, offset + 2)) << 16);
}

void WriteU16(std::vector<std::uint8_t>& record, std::size_t offset, std::uint16_t value) {
  if (offset + 2 > record.size()) return;
  record[offset] = static_cast<std::uint8_t>(value & 0xFF);
  record[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void WriteU32(std::vector<std::uint8_t>& record, std::size_t offset, std::uint32_t value) {
  WriteU16(record, offset, static_cast<std::uint16_t>(value & 0xFFFF));
  WriteU16(record, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

std::wstring ReadName(const std::vector<std::uint8_t>& record, std::size_t offset) {
  std::wstring name;
  for (std::size_t i = 0; i < 32 && offset + 2 * i + 2 <= record.size(); ++i) {
    const auto c = static_cast<wchar_t>(ReadU16(record, offset + 2 * i));
    if (c == L'\0') break;
    name += c;
  }
  return name;
}

void WriteName(std::vector<std::uint8_t>& record, std::size_t offset, const std::wstring& name) {
  for (std::size_t i = 0; i < 32; ++i) {
    const wchar_t c = i < name.size() && i < 31 ? name[i] : L'\0';
    WriteU16(record, offset + 2 * i, static_cast<std::uint16_t>(c));
  }
}

std::vector<std::uint8_t> MakeRecord(const std::wstring& deviceName, std::size_t totalBytes) {
  std::vector<std::uint8_t> record(totalBytes, 0);
  const std::size_t publicBytes = std::min(kPublicBytes, totalBytes);
  WriteName(record, kDeviceName, deviceName);
  WriteU16(record, kSpecVersion, 0x0401);
  WriteU16(record, kSize, static_cast<std::uint16_t>(publicBytes));
  WriteU16(record, kDriverExtra, static_cast<std::uint16_t>(totalBytes - publicBytes));
  WriteU32(record, kFields, kFieldOrientation | kFieldPaperSize | kFieldFormName);
  WriteU16(record, kOrientation, 1);
  WriteU16(record, kPaperSize, 1);  // DMPAPER_LETTER
  WriteName(record, kFormName, L"Letter");
  return record;
}

}  // namespace sheetlore::sim::devmode
