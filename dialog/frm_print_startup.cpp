// FrmPrint's start-up, the printer choice and the refilling of its two lists.
#include <optional>
#include <vector>

#include "dialog/dialog_text.h"
#include "dialog/frm_print.h"

namespace sheetlore {
namespace {

std::optional<std::wstring> ReadableDeviceName(PrinterObject& printer) {
  try {
    return printer.DeviceName();
  } catch (const AutomationError&) {
    return std::nullopt;
  }
}

}  // namespace

void FrmPrint::Form_Load(DialogView& view) {
  view_ = &view;
  RunHandler([this] { LoadDialog(); });
}

void FrmPrint::LoadDialog() {
  DialogView& view = View();
  Host& host = platform_.host;
  const ControlRef combo{Control::Combo1};

  // The printers by name, remembering where the current printer is (exact text). A current
  // printer whose name cannot be read (printers installed, none of them the default) matches
  // no entry.
  const PrinterRef current = host.CurrentPrinter();
  const std::optional<std::wstring> currentName = ReadableDeviceName(*current);
  int currentPosition = 0;
  for (const PrinterRef& printer : host.Printers()) {
    printer_ = printer;
    const std::wstring name = printer->DeviceName();
    view.AddItem(combo, name);
    if (currentName == name) currentPosition = view.ItemCount(combo) - 1;
  }
  // Choosing the entry raises Combo1_Click, which lists that printer's forms. With no printer
  // installed there is nothing to choose.
  if (view.ItemCount(combo) > 0) view.SetSelectedIndex(combo, currentPosition);

  // The dialog goes on with the current printer; without a readable one it keeps the printer
  // chosen in Combo1.
  if (currentName || !printer_) printer_ = current;
  SetInputMode(0);
  FillList(0);
  FillList(1);
}

void FrmPrint::Combo1_Click() {
  RunHandler([this] {
    SelectPrinterByComboText();
    FillList(1);
  });
}

void FrmPrint::SelectPrinterByComboText() {
  const std::wstring chosen = View().Text({Control::Combo1});
  printer_.reset();
  for (const PrinterRef& printer : platform_.host.Printers()) {
    if (printer->DeviceName() == chosen) {
      printer_ = printer;
      return;
    }
  }
}

void FrmPrint::FillList(std::int16_t Index) {
  if (Index != 0 && Index != 1) return;
  DialogView& view = View();
  const ControlRef papers{Control::List1, 0};
  const ControlRef forms{Control::List1, 1};
  view.ClearItems({Control::List1, Index});

  if (Index == 1) {
    std::optional<std::vector<FormRow>> table;
    // FormCheck puts the current printer in an empty printer argument: the dialog keeps it.
    if (Component().FormCheck(table, printer_) && table) {
      for (const FormRow& row : *table) view.AddItem(forms, row.name);
    }
    if (view.ItemCount(papers) == 0 && view.ItemCount(forms) > 0) {
      view.SetSelectedIndex(forms, 0);
    }
    return;
  }

  std::vector<std::wstring> names;
  Component().IniReadValue(0, std::wstring(), &names);
  // Nothing stored comes back as one empty name.
  if (!names.empty() && !dialog_text::TrimSpaces(names.front()).empty()) {
    for (const std::wstring& name : names) view.AddItem(papers, name);
  }
  if (view.ItemCount(papers) > 0) view.SetSelectedIndex(papers, 0);
}

}  // namespace sheetlore
