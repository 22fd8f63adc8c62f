// Placeholder until this group of methods is built; every method reports E_NOTIMPL.
#include "component/cls_print.h"

namespace sheetlore {
namespace {
[[noreturn]] void NotBuiltYet() {
  throw AutomationError(static_cast<std::int32_t>(0x80004001u), L"Not implemented");
}
}  // namespace

std::int16_t ClsPrint::FormSelect(std::wstring&, std::int32_t) { NotBuiltYet(); }
}  // namespace sheetlore
