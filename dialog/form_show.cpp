// FormShow: opens the maintenance dialog once the platform and a printer allow it.
#include "component/cls_print.h"
#include "component/nt_family.h"
#include "dialog/frm_print.h"

namespace sheetlore {
namespace {

const std::wstring kNeedsNtFamily = L"當前程序只支持win2000及以上系統";

}  // namespace

void ClsPrint::FormShow() {
  if (GetWindows() < kNtFamily) {
    platform_.system.MessageBox(kNeedsNtFamily, kMessageTitle, kMessageStyle);
    return;
  }
  if (!PrintCheck(true, kAddPrinterWizardCaption)) return;
  ShowMaintenanceDialog(platform());
}

}  // namespace sheetlore
