#pragma once
// This process's own top-level windows under Wine: finding them by caption and class, waiting
// for them, and confirming a message box. Other processes on the same display may show the same
// dialog or message box at the same time, so every search is limited to this process.

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

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

// A window's caption; with GetClassNameW as the reader, its class name.
inline std::wstring TextOf(HWND window, int(WINAPI* read)(HWND, LPWSTR, int) = ::GetWindowTextW) {
  wchar_t text[512] = {};
  read(window, text, 512);
  return text;
}
inline std::wstring ClassOf(HWND window) { return TextOf(window, ::GetClassNameW); }

// A visible top-level window with that caption (and class, when one is given), or null: of this
// process, or of any process for a helper that plays the user of another program.
inline HWND FindOwnWindow(const wchar_t* caption, const wchar_t* className = nullptr,
                          bool anyProcess = false) {
  for (HWND window = nullptr;
       (window = ::FindWindowExW(nullptr, window, className, caption)) != nullptr;) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if ((anyProcess || process == ::GetCurrentProcessId()) && ::IsWindowVisible(window)) {
      return window;
    }
  }
  return nullptr;
}

// Waits for the next "系統提示" message box (of this process unless anyProcess); null if none came.
inline HWND WaitForMessageBox(std::chrono::milliseconds limit = std::chrono::seconds(90),
                              bool anyProcess = false) {
  HWND box = nullptr;
  WaitFor([&] { return (box = FindOwnWindow(kNoticeTitle, L"#32770", anyProcess)) != nullptr; },
          limit);
  return box;
}

// Reads a message box's text, confirms it with OK and waits for it to close.
inline std::wstring ConfirmMessageBox(HWND box) {
  if (!box) return L"(no message box)";
  std::wstring text;
  for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) == L"Static" && !TextOf(child).empty()) text = TextOf(child);
  }
  ::PostMessageW(box, WM_COMMAND, IDOK, 0);
  WaitFor([&] { return !::IsWindow(box); });
  return text;
}

// While it lives, a thread confirms every message box of this process and closes the
// maintenance dialog should a call open it, so that no call can hang the test; Stop() gives
// what it saw: the message boxes' texts and "(dialog)" for a dialog; count() how many so far.
class OwnWindowWatch {
 public:
  OwnWindowWatch() : thread_([this] { Watch(); }) {}
  OwnWindowWatch(const OwnWindowWatch&) = delete;
  OwnWindowWatch& operator=(const OwnWindowWatch&) = delete;
  ~OwnWindowWatch() { Stop(); }

  std::vector<std::wstring> Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    return seen_;
  }
  int count() const { return count_; }

 private:
  void Watch() {
    while (!stop_) {
      if (HWND box = FindOwnWindow(kNoticeTitle, L"#32770")) {
        seen_.push_back(ConfirmMessageBox(box));
        ++count_;
      }
      if (HWND dialog = FindOwnWindow(kDialogCaption)) {
        seen_.push_back(L"(dialog)");
        ::PostMessageW(dialog, WM_CLOSE, 0, 0);
        WaitFor([&] { return !::IsWindow(dialog); });
        ++count_;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }

  std::atomic<bool> stop_{false};
  std::atomic<int> count_{0};
  std::vector<std::wstring> seen_;
  std::thread thread_;
};

}  // namespace sheetlore::wine_test
