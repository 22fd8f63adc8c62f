#pragma once
// The platform family GetWindows reports for Windows NT and its successors: the only family
// whose spooler keeps forms, so the printer-form methods act only there.

#include <cstdint>

namespace sheetlore {

constexpr std::int16_t kNtFamily = 2;

}  // namespace sheetlore
