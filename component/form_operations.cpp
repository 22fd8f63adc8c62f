// Placeholder until this group of methods is built; every method reports E_NOTIMPL.
#include "component/cls_print.h"

namespace sheetlore {
namespace {
[[noreturn]] void NotBuiltYet() {
  throw AutomationError(static_cast<std::int32_t>(0x80004001u), L"Not implemented");
}
}  // namespace

bool ClsPrint::PrintAddForm(std::wstring&, std::wstring&, double&, double&, double&, double&,
                            double&, double&) {
  NotBuiltYet();
}
bool ClsPrint::PrintDelForm(std::wstring&, std::wstring&) { NotBuiltYet(); }
rePaPer ClsPrint::PrintGetForm(std::wstring&, std::wstring&) { NotBuiltYet(); }
}  // namespace sheetlore
