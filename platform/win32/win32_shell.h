#pragma once
// The add-printer wizard, started through the shell's automation object or, where the
// printers folder has no add-printer entry, through the printer set-up command.

#include "platform/platform.h"

namespace sheetlore::win32 {

class Win32Shell final : public Shell {
 public:
  void StartAddPrinterWizard() override;

  // The two ways StartAddPrinterWizard tries, in its order; public for the integration tests.
  // Invokes the first verb of the printers folder's first entry. Returns false when the
  // folder, its first entry or that entry's verb does not exist; throws AutomationError when
  // a shell call fails.
  static bool InvokePrintersFolderEntry();
  // Starts "rundll32 printui.dll,PrintUIEntry /il" without waiting for it; throws
  // AutomationError when the process cannot be started.
  static void StartPrinterInstallCommand();
};

}  // namespace sheetlore::win32
