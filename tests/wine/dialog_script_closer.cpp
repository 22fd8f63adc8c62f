// The user of a script host's dialog: waits for the maintenance dialog of another process,
// clicks "Esc結束" and waits for the window to go. Exits 0 once it went, 1 otherwise.
#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/win32/dialog_control_ids.h"
#include "tests/wine/dialog_window_driver.h"

int main() {
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
  user.Click({sheetlore::Control::Cmd1, 4});
  if (!WaitFor([&] { return !::IsWindow(dialog); })) {
    std::puts("FAIL: the dialog stayed open");
    return 1;
  }
  std::puts("ok: the dialog closed");
  return 0;
}
