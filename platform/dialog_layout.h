#pragma once
// The maintenance dialog's window and controls: captions, positions and sizes in twips, and
// the tab order. The headless and the real window both build themselves from this table.

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/dialog_view.h"

namespace sheetlore::layout {

enum class Kind : std::uint8_t {
  Frame,
  Label,
  TextField,
  CheckBox,
  OptionButton,
  PushButton,
  DropDownList,
  ListBox,
};

inline constexpr std::wstring_view kCaption = L"印表機紙張格式維護";
inline constexpr int kClientWidthTwips = 9240;
inline constexpr int kClientHeightTwips = 6540;
inline constexpr std::wstring_view kFontFace = L"新細明體";
inline constexpr double kFontPoints = 11.25;
inline constexpr int kFontWeight = 400;
inline constexpr int kFontCharset = 136;  // Big5

// The unit captions of the six value fields.
inline constexpr std::wstring_view kCentimetres = L"公分";
inline constexpr std::wstring_view kInches = L"英寸";

struct ControlLayout {
  Control group;
  std::int16_t index;
  Kind kind;
  std::wstring_view caption;
  std::int16_t frame;  // the frame holding the control; -1 for the frames themselves
  int left;            // twips, from the container's client area
  int top;
  int width;
  int height;
  int tabIndex;
};

// Every frame and control, in tab order.
inline constexpr std::array<ControlLayout, 38> kControls = {{
    {Control::Frame1, 0, Kind::Frame, L"自定義紙張", -1, 105, 30, 1965, 5250, 0},
    {Control::Frame1, 1, Kind::Frame, L"計算方式", -1, 2160, 1665, 4740, 1020, 1},
    {Control::Frame1, 2, Kind::Frame, L"", -1, 120, 5385, 6795, 1020, 2},
    {Control::List1, 0, Kind::ListBox, L"", 0, 120, 315, 1710, 4785, 3},
    {Control::Cmd1, 0, Kind::PushButton, L"全部新增", 2, 180, 330, 1275, 420, 4},
    {Control::Cmd1, 1, Kind::PushButton, L"新增格式", 2, 1470, 330, 1320, 420, 5},
    {Control::Cmd1, 2, Kind::PushButton, L"修改格式", 2, 2805, 330, 1245, 420, 6},
    {Control::Cmd1, 3, Kind::PushButton, L"刪除格式", 2, 4080, 330, 1245, 420, 7},
    {Control::Option1, 0, Kind::OptionButton, L"公制(M)", 1, 270, 330, 1410, 360, 8},
    {Control::Option1, 1, Kind::OptionButton, L"英制(E)", 1, 2670, 330, 1380, 360, 9},
    {Control::Frame1, 3, Kind::Frame, L"紙張格式", -1, 2160, 2775, 4755, 2505, 10},
    {Control::Label1, 1, Kind::Label, L"高度:", 3, 2565, 525, 510, 225, 11},
    {Control::Text1, 1, Kind::TextField, L"", 3, 3150, 465, 930, 345, 12},
    {Control::Label1, 3, Kind::Label, L"右(R):", 3, 2535, 1185, 570, 225, 13},
    {Control::Text1, 3, Kind::TextField, L"", 3, 3165, 1125, 930, 345, 14},
    {Control::Label1, 5, Kind::Label, L"下(B):", 3, 2535, 1860, 570, 225, 15},
    {Control::Text1, 5, Kind::TextField, L"", 3, 3165, 1800, 930, 345, 16},
    {Control::Frame1, 4, Kind::Frame, L"", -1, 2160, 45, 4740, 1455, 17},
    {Control::Check1, 0, Kind::CheckBox, L"自定義紙張", 4, 300, 855, 1560, 435, 18},
    {Control::Label2, 0, Kind::Label, L"格式名:", 4, 315, 345, 735, 225, 19},
    {Control::Text2, 0, Kind::TextField, L"", 4, 1185, 285, 3375, 375, 20},
    {Control::Frame1, 5, Kind::Frame, L"當前印表機格式", -1, 7020, 45, 2145, 6375, 21},
    {Control::List1, 1, Kind::ListBox, L"", 5, 120, 750, 1890, 5460, 22},
    {Control::Label1, 0, Kind::Label, L"寬度:", 3, 135, 525, 510, 225, 23},
    {Control::Text1, 0, Kind::TextField, L"", 3, 735, 465, 930, 345, 24},
    {Control::Label1, 2, Kind::Label, L"左(L):", 3, 120, 1185, 570, 225, 25},
    {Control::Text1, 2, Kind::TextField, L"", 3, 720, 1125, 930, 345, 26},
    {Control::Label1, 4, Kind::Label, L"上(T):", 3, 120, 1860, 570, 225, 27},
    {Control::Text1, 4, Kind::TextField, L"", 3, 720, 1785, 930, 345, 28},
    {Control::lbCap, 0, Kind::Label, L"公分", 3, 1755, 510, 450, 225, 29},
    {Control::lbCap, 1, Kind::Label, L"公分", 3, 4185, 510, 450, 225, 30},
    {Control::lbCap, 2, Kind::Label, L"公分", 3, 1740, 1200, 450, 225, 31},
    {Control::lbCap, 3, Kind::Label, L"公分", 3, 4170, 1200, 450, 225, 32},
    {Control::lbCap, 4, Kind::Label, L"公分", 3, 1740, 1875, 450, 225, 33},
    {Control::lbCap, 5, Kind::Label, L"公分", 3, 4170, 1875, 450, 225, 34},
    {Control::Check1, 1, Kind::CheckBox, L"印表機格式", 4, 2685, 870, 1560, 435, 35},
    {Control::Cmd1, 4, Kind::PushButton, L"Esc結束", 2, 5355, 330, 1245, 420, 36},
    {Control::Combo1, 0, Kind::DropDownList, L"", 5, 135, 300, 1860, 345, 37},
}};

// The members of a group.
constexpr std::int16_t MemberCount(Control group) {
  std::int16_t count = 0;
  for (const ControlLayout& placed : kControls) {
    if (placed.group == group) ++count;
  }
  return count;
}

// The table's row for a control, or null when the dialog has no such control.
constexpr const ControlLayout* Find(ControlRef control) {
  for (const ControlLayout& placed : kControls) {
    if (placed.group == control.group && placed.index == control.index) return &placed;
  }
  return nullptr;
}

}  // namespace sheetlore::layout
