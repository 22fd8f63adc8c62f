// Writing the names and making the records of the simulated printers' device settings.
#include <algorithm>

#include "platform/sim/sim_platform.h"

namespace sheetlore::sim::devmode {

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
