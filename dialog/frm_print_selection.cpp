// FrmPrint's list selection: the chosen stored paper or printer form loaded into the fields,
// shown in the dialog's unit.
#include <array>

#include "component/number_text.h"
#include "dialog/frm_print.h"
#include "platform/dialog_layout.h"

namespace sheetlore {
namespace {

// A value as the fields show it: its number text, read back and written again.
std::wstring DisplayText(double value) { return NumberText(ReadNumber(NumberText(value))); }

}  // namespace

void FrmPrint::List1_Click(std::int16_t Index) {
  RunHandler([this, Index] { LoadEntry(Index); });
}

void FrmPrint::LoadEntry(std::int16_t Index) {
  if (Index != 0 && Index != 1) return;
  DialogView& view = View();
  const ControlRef list{Control::List1, Index};
  const int position = view.SelectedIndex(list);
  if (position < 0) return;  // nothing chosen: nothing to load
  const std::wstring entry = view.ItemText(list, position);

  rePaPer paper;
  bool sourceInInches = false;
  if (Index == 0) {
    paper = Component().IniReadValue(1, entry);
    sourceInInches = IsInches(paper.mMode);
  } else {
    std::wstring printerName = DialogPrinterName();
    std::wstring formName = entry;
    paper = Component().PrintGetForm(printerName, formName);
  }

  view.SetValue({Control::Check1, 0}, kChecked);
  view.SetValue({Control::Check1, 1}, kChecked);
  view.SetText({Control::Text2}, entry);
  const std::array<double, 6> values = {paper.W, paper.H, paper.L, paper.R, paper.T, paper.B};
  for (std::size_t i = 0; i < values.size(); ++i) {
    view.SetText({Control::Text1, static_cast<std::int16_t>(i)}, DisplayText(values[i]));
  }

  const std::int16_t sourceOption = sourceInInches ? 1 : 0;
  if (OptionSelected(sourceOption)) return;  // the fields already show the dialog's unit
  // An empty first caption makes the unit switch convert whatever it showed before.
  view.SetText({Control::lbCap, 0}, std::wstring());
  try {
    Option1_Click(sourceInInches ? 0 : 1);
  } catch (const AutomationError&) {
    // The fields still hold the loaded values: the captions say so before the failure goes on.
    const std::wstring source(sourceInInches ? layout::kInches : layout::kCentimetres);
    for (std::int16_t i = 0; i < view.MemberCount(Control::lbCap); ++i) {
      view.SetText({Control::lbCap, i}, source);
    }
    SelectOptionOfFieldsUnit();
    throw;
  }
}

}  // namespace sheetlore
