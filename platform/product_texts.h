#pragma once
// The texts and settings the user meets from more than one layer (the component's message
// boxes, the dialog's window, the type library's defaults), each written once here.

#include <cstdint>

namespace sheetlore {

// The title of the platform's add-printer wizard on the Traditional Chinese system: the window
// PrintCheck waits for, and the default of its CaptionName.
inline constexpr wchar_t kAddPrinterWizardCaption[] = L"新增印表機精靈";
// Title and style (an information icon) of every message box.
inline constexpr wchar_t kMessageTitle[] = L"系統提示";
constexpr std::uint32_t kMessageStyle = 64;

}  // namespace sheetlore
