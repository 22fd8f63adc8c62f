#pragma once
// The window control identifiers of the maintenance dialog, one per control of its layout:
// 1000 + 100 x group + index. They stay clear of IDOK and IDCANCEL, so Enter and Esc reach
// no control.

#include <optional>

#include "platform/dialog_view.h"

namespace sheetlore::win32 {

constexpr int kFirstControlId = 1000;

constexpr int DialogControlId(ControlRef control) {
  return kFirstControlId + 100 * static_cast<int>(control.group) + control.index;
}

constexpr std::optional<ControlRef> DialogControlFromId(int id) {
  if (id < kFirstControlId) return std::nullopt;
  const int group = (id - kFirstControlId) / 100;
  const int index = (id - kFirstControlId) % 100;
  if (group > static_cast<int>(Control::Combo1)) return std::nullopt;
  return ControlRef{static_cast<Control>(group), static_cast<std::int16_t>(index)};
}

// The window class of the dialog, for finding it.
inline constexpr wchar_t kDialogWindowClass[] = L"SheetloreFrmPrint";

}  // namespace sheetlore::win32
