// Placeholder until this group of methods is built; every method reports E_NOTIMPL.
#include "component/cls_print.h"

namespace sheetlore {
namespace {
[[noreturn]] void NotBuiltYet() {
  throw AutomationError(static_cast<std::int32_t>(0x80004001u), L"Not implemented");
}
}  // namespace

double ClsPrint::InchToCm(double&, std::int16_t&) { NotBuiltYet(); }
double ClsPrint::InchToCm(double, bool) { NotBuiltYet(); }
std::int16_t ClsPrint::GetWindows() { NotBuiltYet(); }
bool ClsPrint::PrintCheck(std::int16_t&, std::wstring&) { NotBuiltYet(); }
bool ClsPrint::PrintCheck(bool, const std::wstring&) { NotBuiltYet(); }
}  // namespace sheetlore
