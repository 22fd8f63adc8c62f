// The Win32 system services against Wine's user32 and kernel32 (windows need the Xvfb display).

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/win32/win32_system.h"
#include "platform/win32/windows_api.h"

namespace sheetlore::win32 {
namespace {

constexpr UINT kProbeMessage = WM_APP + 7;
std::atomic<int> probeMessagesSeen{0};

LRESULT CALLBACK ProbeWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kProbeMessage) ++probeMessagesSeen;
  return ::DefWindowProcW(window, message, wParam, lParam);
}

// A top-level window of this thread, destroyed with the object.
class ProbeWindow {
 public:
  explicit ProbeWindow(const std::wstring& caption) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ProbeWindowProcedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"SheetloreProbeWindow";
    ::RegisterClassW(&windowClass);  // fails harmlessly when already registered
    window_ = ::CreateWindowExW(0, L"SheetloreProbeWindow", caption.c_str(), WS_OVERLAPPEDWINDOW, 0,
                                0, 200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
  }
  ProbeWindow(const ProbeWindow&) = delete;
  ProbeWindow& operator=(const ProbeWindow&) = delete;
  ~ProbeWindow() { Destroy(); }

  HWND get() const { return window_; }
  void Destroy() {
    if (window_) ::DestroyWindow(window_);
    window_ = nullptr;
  }

 private:
  HWND window_ = nullptr;
};

std::wstring UniqueCaption(const wchar_t* base) {
  return std::wstring(base) + L" " + std::to_wstring(::GetCurrentProcessId());
}

TEST(Win32System, VersionReportsTheNtFamily) {
  Win32System system;
  std::uint32_t platformId = 0;
  ASSERT_TRUE(system.GetVersionEx(platformId));
  EXPECT_EQ(platformId, 2u);
}

TEST(Win32System, FindWindowFindsATopLevelWindowByItsExactCaption) {
  Win32System system;
  const std::wstring caption = UniqueCaption(L"新增印表機精靈");
  EXPECT_EQ(system.FindWindow(caption), 0u);
  ProbeWindow window(caption);
  ASSERT_NE(window.get(), nullptr);
  EXPECT_EQ(system.FindWindow(caption), reinterpret_cast<WindowHandle>(window.get()));
  EXPECT_EQ(system.FindWindow(caption.substr(0, caption.size() - 1)), 0u);
  window.Destroy();
  EXPECT_EQ(system.FindWindow(caption), 0u);
}

TEST(Win32System, PumpMessagesRunsPendingMessagesAndKeepsAQuitRequest) {
  Win32System system;
  ProbeWindow window(UniqueCaption(L"Pump probe"));
  ASSERT_NE(window.get(), nullptr);
  probeMessagesSeen = 0;
  ASSERT_TRUE(::PostMessageW(window.get(), kProbeMessage, 0, 0));
  ASSERT_TRUE(::PostMessageW(window.get(), kProbeMessage, 0, 0));
  system.PumpMessages();
  EXPECT_EQ(probeMessagesSeen, 2);

  ::PostQuitMessage(7);
  system.PumpMessages();
  MSG message;
  ASSERT_TRUE(::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 7u);
}

// The clock counts milliseconds and never goes back; a sleep lets it advance. Nothing here
// depends on how long a sleep takes on a busy machine: the loop sleeps until the clock has
// moved, and the steady clock only bounds the units (a clock in seconds or in 100-nanosecond
// steps fails, a late wake-up does not).
TEST(Win32System, SleepLetsTheMillisecondClockAdvance) {
  Win32System system;
  const auto steadyStart = std::chrono::steady_clock::now();
  const std::uint64_t start = system.Milliseconds();
  std::uint64_t previous = start;
  std::uint64_t now = start;
  while (now - start < 300 &&
         std::chrono::steady_clock::now() - steadyStart < std::chrono::minutes(2)) {
    system.Sleep(10);
    now = system.Milliseconds();
    ASSERT_GE(now, previous) << "the clock went back";
    previous = now;
  }
  const auto steadyElapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - steadyStart)
                                 .count();
  ASSERT_GE(now - start, 300u) << "the clock did not advance while sleeping";
  // 300 counted milliseconds took at least 200 real ones (the tick may lag by a few).
  EXPECT_GE(steadyElapsed, 200);
}

// What the second thread saw of the message box before it pressed OK.
struct SeenBox {
  bool found = false;
  std::wstring title;
  std::wstring text;
  bool informationIcon = false;
  bool okVisible = false;
  bool otherButtonVisible = false;
};

BOOL CALLBACK FindDialogOfThread(HWND window, LPARAM found) {
  wchar_t className[16] = {};
  ::GetClassNameW(window, className, 16);
  if (std::wstring(className) != L"#32770") return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

std::wstring WindowText(HWND window) {
  wchar_t text[512] = {};
  ::GetWindowTextW(window, text, 512);
  return text;
}

struct StaticSearch {
  std::wstring text;
  HICON icon = nullptr;
};

BOOL CALLBACK ReadStatics(HWND child, LPARAM search) {
  auto& result = *reinterpret_cast<StaticSearch*>(search);
  wchar_t className[16] = {};
  ::GetClassNameW(child, className, 16);
  if (std::wstring(className) != L"Static") return TRUE;
  if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
    result.icon = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
  } else if (result.text.empty()) {
    result.text = WindowText(child);
  }
  return TRUE;
}

bool ButtonVisible(HWND box, int id) {
  const HWND button = ::GetDlgItem(box, id);
  return button && ::IsWindowVisible(button);
}

// Waits for the message box of the given thread, reads it and presses OK.
SeenBox DismissMessageBox(DWORD ownerThread) {
  SeenBox seen;
  HWND box = nullptr;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!box && std::chrono::steady_clock::now() < deadline) {
    ::EnumThreadWindows(ownerThread, FindDialogOfThread, reinterpret_cast<LPARAM>(&box));
    if (!box) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (!box) return seen;
  seen.found = true;
  seen.title = WindowText(box);
  StaticSearch statics;
  ::EnumChildWindows(box, ReadStatics, reinterpret_cast<LPARAM>(&statics));
  seen.text = statics.text;
  seen.informationIcon = statics.icon && statics.icon == ::LoadIconW(nullptr, IDI_INFORMATION);
  seen.okVisible = ButtonVisible(box, IDOK);
  for (int id : {IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
    seen.otherButtonVisible = seen.otherButtonVisible || ButtonVisible(box, id);
  }
  ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
  return seen;
}

TEST(Win32System, MessageBoxShowsTextTitleAndStyleUntilConfirmed) {
  Win32System system;
  SeenBox seen;
  std::thread dismisser(
      [&seen, owner = ::GetCurrentThreadId()] { seen = DismissMessageBox(owner); });
  system.MessageBox(L"格式新增成功,請檢查!", L"系統提示", MB_OK | MB_ICONINFORMATION);
  dismisser.join();

  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.title, L"系統提示");
  EXPECT_EQ(seen.text, L"格式新增成功,請檢查!");
  EXPECT_TRUE(seen.informationIcon);
  EXPECT_TRUE(seen.okVisible);
  EXPECT_FALSE(seen.otherButtonVisible);
}

}  // namespace
}  // namespace sheetlore::win32
