// FrmPrint's unit switch: the six value fields between centimetres and inches. The caption of
// lbCap(0) records the unit the fields hold.
#include <vector>

#include "component/number_text.h"
#include "dialog/frm_print.h"
#include "platform/dialog_layout.h"

namespace sheetlore {

void FrmPrint::Option1_Click(std::int16_t Index) {
  RunHandler([this, Index] {
    try {
      ConvertFields(Index);
    } catch (const AutomationError&) {
      // The fields kept their unit: the option the user clicked must not claim the other one,
      // or the next save would store and send the values in the wrong unit.
      SelectOptionOfFieldsUnit();
      throw;
    }
  });
}

void FrmPrint::SelectOptionOfFieldsUnit() {
  DialogView& view = View();
  // With no option chosen yet the captions alone tell the unit; nothing to put right.
  if (!OptionSelected(0) && !OptionSelected(1)) return;
  const bool inches = view.Text({Control::lbCap, 0}) == layout::kInches;
  view.SetValue({Control::Option1, inches ? std::int16_t{1} : std::int16_t{0}}, 1);
}

void FrmPrint::ConvertFields(std::int16_t Index) {
  DialogView& view = View();
  const bool toCentimetres = Index == 0;
  const std::wstring target(toCentimetres ? layout::kCentimetres : layout::kInches);
  if (view.Text({Control::lbCap, 0}) == target) return;  // already in that unit

  // Every value is converted before any field changes, so a value that cannot be converted
  // leaves the fields and their unit captions as they were.
  const std::int16_t count = view.MemberCount(Control::lbCap);
  std::vector<std::wstring> converted;
  for (std::int16_t i = 0; i < count; ++i) {
    double value = ReadNumber(view.Text({Control::Text1, i}));
    std::int16_t mode = toCentimetres ? kVariantTrue : kVariantFalse;
    converted.push_back(NumberText(Component().InchToCm(value, mode)));
  }
  for (std::int16_t i = 0; i < count; ++i) {
    view.SetText({Control::lbCap, i}, target);
    view.SetText({Control::Text1, i}, converted[static_cast<std::size_t>(i)]);
  }
}

}  // namespace sheetlore
