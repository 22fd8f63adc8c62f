#pragma once
// A second thread's hands on the maintenance dialog's real window: finds it, reads its
// controls, clicks, types and answers message boxes with window messages, as a user would.

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "dialog/dialog_view.h"
#include "platform/win32/dialog_control_ids.h"
#include "platform/win32/windows_api.h"

namespace sheetlore::wine_test {

inline const wchar_t kDialogCaption[] = L"印表機紙張格式維護";
inline const wchar_t kNoticeTitle[] = L"系統提示";

// Polls until the condition holds or the time is up.
inline bool WaitFor(const std::function<bool()>& condition,
                    std::chrono::milliseconds limit = std::chrono::seconds(60)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return condition();
}

inline std::wstring TextOf(HWND window) {
  wchar_t text[512] = {};
  ::GetWindowTextW(window, text, 512);
  return text;
}

inline std::wstring ClassOf(HWND window) {
  wchar_t name[128] = {};
  ::GetClassNameW(window, name, 128);
  return name;
}

struct WindowSearch {
  std::wstring caption;
  std::wstring className;
  HWND found = nullptr;
};

inline BOOL CALLBACK MatchOwnWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  if (process == ::GetCurrentProcessId() && ::IsWindowVisible(window) &&
      TextOf(window) == search->caption &&
      (search->className.empty() || ClassOf(window) == search->className)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// A visible top-level window of this process with that caption (any class), or null. Other
// processes on the same display may show the same dialog at the same time.
inline HWND FindOwnWindow(const std::wstring& caption, const std::wstring& className = {}) {
  WindowSearch search{caption, className};
  ::EnumWindows(&MatchOwnWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

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
  std::wstring AnswerMessageBox() const {
    HWND box = nullptr;
    WaitFor([&] { return (box = FindOwnWindow(kNoticeTitle, L"#32770")) != nullptr; },
            std::chrono::seconds(90));
    if (!box) return L"(no message box)";
    std::wstring text;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
      if (ClassOf(child) == L"Static" && !TextOf(child).empty()) text = TextOf(child);
    }
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    WaitFor([&] { return !::IsWindow(box); });
    return text;
  }

 private:
  HWND dialog_;
};

}  // namespace sheetlore::wine_test
