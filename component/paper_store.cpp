// Placeholder until this group of methods is built; every method reports E_NOTIMPL.
#include "component/cls_print.h"

namespace sheetlore {
namespace {
[[noreturn]] void NotBuiltYet() {
  throw AutomationError(static_cast<std::int32_t>(0x80004001u), L"Not implemented");
}
}  // namespace

bool ClsPrint::IniWriteValue(const std::wstring&, std::uint8_t, double, double, double, double,
                             double, double) {
  NotBuiltYet();
}
rePaPer ClsPrint::IniReadValue(std::int16_t, const std::wstring&, std::vector<std::wstring>*) {
  NotBuiltYet();
}
void ClsPrint::IniDelValue(std::wstring&) { NotBuiltYet(); }
}  // namespace sheetlore
