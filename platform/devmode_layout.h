#pragma once
// Byte offsets in a device settings record of the wide layout (DEVMODEW), as the spooler's
// DocumentProperties and ResetDC exchange it. Records are little-endian.
//
// FormSelect edits a working copy that covers the record from dmDeviceName (32 wide
// characters) up to and including dmDisplayFrequency: 188 bytes of the wide layout, the
// same fields as the 124-byte copy of the ANSI layout. The Windows build checks these
// numbers against the real DEVMODEW.

#include <cstddef>
#include <cstdint>

namespace sheetlore::devmode_layout {

constexpr std::size_t kNameChars = 32;  // CCHDEVICENAME and CCHFORMNAME
constexpr std::size_t kDeviceNameOffset = 0;
constexpr std::size_t kFieldsOffset = 72;     // DWORD dmFields
constexpr std::size_t kFormNameOffset = 102;  // WCHAR dmFormName[32]
constexpr std::size_t kDisplayFrequencyOffset = 184;
constexpr std::size_t kWorkingCopyBytes = kDisplayFrequencyOffset + 4;  // 188

constexpr std::uint32_t kFieldFormName = 0x10000;  // DM_FORMNAME

static_assert(kFormNameOffset + kNameChars * 2 <= kWorkingCopyBytes);

}  // namespace sheetlore::devmode_layout
