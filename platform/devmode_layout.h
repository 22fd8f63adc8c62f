#pragma once
// The device settings record of the wide layout (DEVMODEW), as the spooler's
// DocumentProperties and ResetDC exchange it: byte offsets of its fields and bounds-checked
// little-endian readers and writers (reading outside the record gives 0 or an empty text,
// writing outside it does nothing). The Windows build checks the offsets against the real
// DEVMODEW.
//
// FormSelect edits a working copy that covers the record from dmDeviceName (32 wide
// characters) up to and including dmDisplayFrequency: 188 bytes of the wide layout, the
// same fields as the 124-byte copy of the ANSI layout.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sheetlore::devmode {

constexpr std::size_t kNameChars = 32;  // CCHDEVICENAME and CCHFORMNAME
constexpr std::size_t kDeviceName = 0;  // WCHAR dmDeviceName[32]
constexpr std::size_t kSpecVersion = 64;
constexpr std::size_t kDriverVersion = 66;
constexpr std::size_t kSize = 68;         // 16-bit: bytes of the public part
constexpr std::size_t kDriverExtra = 70;  // 16-bit: private bytes after the public part
constexpr std::size_t kFields = 72;       // 32-bit
constexpr std::size_t kOrientation = 76;
constexpr std::size_t kPaperSize = 78;
constexpr std::size_t kPaperLength = 80;
constexpr std::size_t kPaperWidth = 82;
constexpr std::size_t kFormName = 102;  // WCHAR dmFormName[32]
constexpr std::size_t kDisplayFrequency = 184;
constexpr std::size_t kWorkingCopyBytes = kDisplayFrequency + 4;  // 188
constexpr std::size_t kPublicBytes = 220;

constexpr std::uint32_t kFieldOrientation = 0x1;
constexpr std::uint32_t kFieldPaperSize = 0x2;
constexpr std::uint32_t kFieldPaperLength = 0x4;
constexpr std::uint32_t kFieldPaperWidth = 0x8;
constexpr std::uint32_t kFieldFormName = 0x10000;  // DM_FORMNAME

static_assert(kFormName + kNameChars * 2 <= kWorkingCopyBytes);

using Record = std::vector<std::uint8_t>;

inline std::uint16_t ReadU16(const Record& record, std::size_t offset) {
  if (offset + 2 > record.size()) return 0;
  return static_cast<std::uint16_t>(record[offset] | (record[offset + 1] << 8));
}

inline std::uint32_t ReadU32(const Record& record, std::size_t offset) {
  if (offset + 4 > record.size()) return 0;
  return static_cast<std::uint32_t>(ReadU16(record, offset)) |
         (static_cast<std::uint32_t>(ReadU16(record, offset + 2)) << 16);
}

inline void WriteU16(Record& record, std::size_t offset, std::uint16_t value) {
  if (offset + 2 > record.size()) return;
  record[offset] = static_cast<std::uint8_t>(value & 0xFFu);
  record[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

inline void WriteU32(Record& record, std::size_t offset, std::uint32_t value) {
  WriteU16(record, offset, static_cast<std::uint16_t>(value & 0xFFFFu));
  WriteU16(record, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

// A zero-ended name of at most 32 wide characters (dmDeviceName, dmFormName).
inline std::wstring ReadName(const Record& record, std::size_t offset) {
  std::wstring name;
  for (std::size_t i = 0; i < kNameChars; ++i) {
    const auto c = static_cast<wchar_t>(ReadU16(record, offset + 2 * i));
    if (c == L'\0') break;
    name += c;
  }
  return name;
}

}  // namespace sheetlore::devmode
