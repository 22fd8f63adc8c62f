#pragma once
// A second thread's hands on the maintenance dialog's real window: finds it, reads its
// controls, clicks, types and answers message boxes with window messages, as a user would.

#include <string>

#include "dialog/dialog_view.h"
#include "platform/win32/dialog_control_ids.h"
#include "platform/win32/windows_api.h"
#include "tests/wine/support/own_windows.h"

namespace sheetlore::wine_test {

class DialogDriver {
 public:
  explicit DialogDriver(HWND dialog) : dialog_(dialog) {}

  HWND dialog() const { return dialog_; }
  HWND At(ControlRef control) const {
    return ::GetDlgItem(dialog_, win32::DialogControlId(control));
  }

  std::wstring Text(ControlRef control) const { return TextOf(At(control)); }
  bool Enabled(ControlRef control) const { return ::IsWindowEnabled(At(control)) != FALSE; }
  LRESULT Checked(ControlRef control) const {
    return ::SendMessageW(At(control), BM_GETCHECK, 0, 0);
  }

  // A click as the mouse makes it, posted so that a message box it opens does not hold us.
  void Click(ControlRef button) const { ::PostMessageW(At(button), BM_CLICK, 0, 0); }

  void Type(ControlRef field, const std::wstring& text) const {
    ::SendMessageW(At(field), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }

  // Chooses a list entry by its text, with the notification a user's click sends.
  bool Choose(ControlRef list, const std::wstring& entry) const {
    HWND control = At(list);
    const auto position = ::SendMessageW(control, LB_FINDSTRINGEXACT, WPARAM(-1),
                                         reinterpret_cast<LPARAM>(entry.c_str()));
    if (position < 0) return false;
    ::SendMessageW(control, LB_SETCURSEL, static_cast<WPARAM>(position), 0);
    ::SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(win32::DialogControlId(list), LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(control));
    return true;
  }

  // A click that opens no message box: returns once its handlers have run.
  void ClickAndWait(ControlRef button) const { ::SendMessageW(At(button), BM_CLICK, 0, 0); }

  // Waits for the dialog's thread to be back in its message loop.
  void Settle() const { ::SendMessageW(dialog_, WM_NULL, 0, 0); }

  // Waits for a message box, returns its text and confirms it.
  std::wstring AnswerMessageBox() const { return AnswerOwnMessageBox(); }

 private:
  HWND dialog_;
};

}  // namespace sheetlore::wine_test
