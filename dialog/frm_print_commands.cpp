// FrmPrint's five command buttons: add all, save, edit, delete and close.
#include <array>

#include "component/number_text.h"
#include "dialog/frm_print.h"

namespace sheetlore {
namespace {

const std::wstring kAddSucceeded = L"格式新增成功,請檢查!";
const std::wstring kAddFailed = L"格式新增錯誤,請檢查!";
const std::wstring kDeleteSucceeded = L"格式刪除成功";
const std::wstring kDeleteFailed = L"格式刪除錯誤,請檢查";
// Shown when the store refuses a paper (a name its file cannot hold, a value that does not read
// back, a file held too long by another process), and the lines added below a refused add that
// replaced a form of the same name.
const std::wstring kStoreRefused = L"自定義紙張儲存錯誤,請檢查!";
const std::wstring kOldFormRestored = L"\n原有的格式已還原。";
const std::wstring kOldFormLost = L"\n原有的格式無法還原,已被刪除。";

}  // namespace

void FrmPrint::Cmd1_Click(std::int16_t Index) {
  RunHandler([this, Index] {
    switch (Index) {
      case 0:
        AddAll();
        break;
      case 1:
        SavePaper();
        break;
      case 2:
        SetInputMode(1);
        break;
      case 3:
        DeletePaper();
        break;
      case 4:
        View().Unload();
        break;
      default:
        break;
    }
  });
}

void FrmPrint::RefreshLists() {
  FillList(0);
  FillList(1);
}

void FrmPrint::AddAll() {
  // FormAllAdd may hand back another printer object: the dialog goes on with that one.
  PrinterRef printer = printer_;
  Component().FormAllAdd(printer);
  printer_ = printer;
  RefreshLists();
}

void FrmPrint::SavePaper() {
  DialogView& view = View();
  std::array<double, 6> values{};
  for (std::size_t i = 0; i < values.size(); ++i) {
    values[i] = ReadNumber(view.Text({Control::Text1, static_cast<std::int16_t>(i)}));
  }
  const bool inches = FieldsHoldInches();
  ClsPrint& component = Component();

  // The store keeps the values as typed, with the unit they were typed in.
  if (IsSet(0) && !component.IniWriteValue(TrimmedName(), UnitCode(inches), values[0], values[1],
                                           values[2], values[3], values[4], values[5])) {
    ShowMessage(kStoreRefused);
  }
  // The printer always receives centimetres; the form of that name is replaced, and put back
  // when the spooler refuses the new one.
  if (IsSet(1)) {
    if (inches) {
      for (double& value : values) {
        std::int16_t toCentimetres = kVariantTrue;
        value = component.InchToCm(value, toCentimetres);
      }
    }
    std::wstring printerName = DialogPrinterName();
    std::wstring formName = TrimmedName();
    const rePaPer old = component.PrintGetForm(printerName, formName);
    const bool deleted = component.PrintDelForm(printerName, formName);
    printerName = DialogPrinterName();
    formName = TrimmedName();
    const bool added = component.PrintAddForm(printerName, formName, values[0], values[1],
                                              values[2], values[3], values[4], values[5]);
    if (added) {
      ShowMessage(kAddSucceeded);
    } else if (!deleted || old == rePaPer{}) {
      ShowMessage(kAddFailed);
    } else {
      std::array<double, 6> oldValues = {old.W, old.H, old.L, old.R, old.T, old.B};
      formName = TrimmedName();
      const bool restored =
          component.PrintAddForm(printerName, formName, oldValues[0], oldValues[1], oldValues[2],
                                 oldValues[3], oldValues[4], oldValues[5]);
      ShowMessage(kAddFailed + (restored ? kOldFormRestored : kOldFormLost));
    }
  }
  SetInputMode(0);
  RefreshLists();
}

void FrmPrint::DeletePaper() {
  ClsPrint& component = Component();
  if (IsSet(0)) {
    std::wstring name = TrimmedName();
    component.IniDelValue(name);
  }
  if (IsSet(1)) {
    std::wstring printerName = DialogPrinterName();
    std::wstring formName = TrimmedName();
    ShowMessage(component.PrintDelForm(printerName, formName) ? kDeleteSucceeded : kDeleteFailed);
  }
  RefreshLists();
}

}  // namespace sheetlore
