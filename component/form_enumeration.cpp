// Placeholder until this group of methods is built; every method reports E_NOTIMPL.
#include "component/cls_print.h"

namespace sheetlore {
namespace {
[[noreturn]] void NotBuiltYet() {
  throw AutomationError(static_cast<std::int32_t>(0x80004001u), L"Not implemented");
}
}  // namespace

bool ClsPrint::FormCheck(std::optional<std::vector<FormRow>>&, PrinterRef&) { NotBuiltYet(); }
std::int32_t ClsPrint::gFormID(const std::wstring&, PrinterRef) { NotBuiltYet(); }
}  // namespace sheetlore
