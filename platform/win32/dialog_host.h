#pragma once
// The maintenance dialog as a real window: created from the dialog's layout table, shown
// modally for the calling thread.

#include "platform/dialog_view.h"

namespace sheetlore::win32 {

class Win32DialogHost final : public DialogHost {
 public:
  void ShowModal(DialogEvents& events) override;
};

}  // namespace sheetlore::win32
