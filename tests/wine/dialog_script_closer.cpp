// The user of a script host's dialog: waits for the maintenance dialog of another process,
// optionally saves its picture, clicks "Esc結束" and waits for the window to go. Exits 0 once
// it went, 1 otherwise.
//   dialog_script_closer.exe [PNG path (Unix) for a screenshot after start-up]
#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/win32/dialog_control_ids.h"
#include "tests/wine/dialog_screenshot.h"
#include "tests/wine/dialog_window_driver.h"

int main(int argc, char** argv) {
  using sheetlore::wine_test::WaitFor;
  HWND dialog = nullptr;
  WaitFor(
      [&] {
        dialog = ::FindWindowW(sheetlore::win32::kDialogWindowClass,
                               sheetlore::wine_test::kDialogCaption);
        return dialog && ::IsWindowVisible(dialog);
      },
      std::chrono::seconds(120));
  if (!dialog) {
    std::puts("FAIL: no dialog appeared");
    return 1;
  }
  sheetlore::wine_test::DialogDriver user(dialog);
  user.Settle();
  if (argc > 1) {
    const bool saved = sheetlore::wine_test::SaveScreenshot(dialog, argv[1]);
    std::printf("%s: %s\n", saved ? "screenshot" : "FAIL: no screenshot", argv[1]);
  }
  user.Click({sheetlore::Control::Cmd1, 4});
  if (!WaitFor([&] { return !::IsWindow(dialog); })) {
    std::puts("FAIL: the dialog stayed open");
    return 1;
  }
  std::puts("ok: the dialog closed");
  return 0;
}
