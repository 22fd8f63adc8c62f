#pragma once
// FrmPrint: the maintenance dialog's procedures. They work the controls through a DialogView
// and reach printers and the paper store only through the dialog's component reference.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "component/cls_print.h"
#include "platform/dialog_view.h"

namespace sheetlore {

class FrmPrint final : public DialogEvents {
 public:
  // platform gives the printers collection, the current printer and the message box.
  explicit FrmPrint(Platform& platform) : platform_(platform) {}
  FrmPrint(const FrmPrint&) = delete;
  FrmPrint& operator=(const FrmPrint&) = delete;

  // Handlers raised by the window. A component call that fails ends the handler that the
  // window raised (with every handler it raised in turn) and is shown in a message box.
  void Form_Load(DialogView& view) override;
  void Combo1_Click() override;
  void List1_Click(std::int16_t Index) override;
  void Option1_Click(std::int16_t Index) override;
  void Cmd1_Click(std::int16_t Index) override;
  void Form_Unload() override;

  // 0 browse mode, 1 edit mode; any other value changes nothing.
  void SetInputMode(std::int16_t Mode);
  // Clears and refills List1(Index): 0 the stored papers, 1 the dialog's printer's forms.
  void FillList(std::int16_t Index);

  // The printer whose forms List1(1) shows; empty when none.
  const PrinterRef& DialogPrinter() const { return printer_; }

 private:
  void RunHandler(const std::function<void()>& body);

  void LoadDialog();
  void SelectPrinterByComboText();
  void ConvertFields(std::int16_t Index);
  void SelectOptionOfFieldsUnit();
  void AddAll();
  void SavePaper();
  void DeletePaper();
  void RefreshLists();
  void LoadEntry(std::int16_t Index);

  ClsPrint& Component() const;
  DialogView& View() const;
  std::wstring DialogPrinterName() const;
  std::wstring TrimmedName() const;
  bool OptionSelected(std::int16_t index) const;
  bool IsSet(std::int16_t checkBox) const;
  bool FieldsHoldInches() const;
  void ShowMessage(const std::wstring& text);

  Platform& platform_;
  DialogView* view_ = nullptr;
  PrinterRef printer_;  // the dialog's printer object
  int handlerDepth_ = 0;
};

// The library-level state of the dialog on the calling thread: the one dialog instance and
// the component reference through which it calls ClsPrint. Both are set while the dialog is
// open and released when it unloads.
struct DialogLibraryState {
  std::shared_ptr<FrmPrint> instance;
  std::shared_ptr<ClsPrint> component;
};
DialogLibraryState& ThreadDialogState();

// Shows the dialog modally through platform.dialogs on a fresh instance; returns once it has
// closed. A dialog already open on this thread cannot be shown again (error 400).
void ShowMaintenanceDialog(Platform& platform);

}  // namespace sheetlore
