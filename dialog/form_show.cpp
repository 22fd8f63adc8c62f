// Placeholder until the maintenance dialog is built.
#include "component/cls_print.h"

namespace sheetlore {
void ClsPrint::FormShow() {
  throw AutomationError(static_cast<std::int32_t>(0x80004001u), L"Not implemented");
}
}  // namespace sheetlore
