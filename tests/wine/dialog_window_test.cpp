// The maintenance dialog's real window under Wine: opened by FormShow on the Win32 platform,
// checked control by control against the layout, walked in tab order, and driven through a
// whole session by a second thread with window messages.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "component/cls_print.h"
#include "dialog/frm_print.h"
#include "platform/win32/dialog_host.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_system.h"
#include "tests/wine/dialog_screenshot.h"
#include "tests/wine/dialog_window_driver.h"

namespace sheetlore::wine_test {
namespace {

ControlRef Frame1(std::int16_t i) { return {Control::Frame1, i}; }
ControlRef List1(std::int16_t i) { return {Control::List1, i}; }
ControlRef Option1(std::int16_t i) { return {Control::Option1, i}; }
ControlRef Cmd1(std::int16_t i) { return {Control::Cmd1, i}; }
ControlRef Label1(std::int16_t i) { return {Control::Label1, i}; }
ControlRef Text1(std::int16_t i) { return {Control::Text1, i}; }
ControlRef lbCap(std::int16_t i) { return {Control::lbCap, i}; }
ControlRef Check1(std::int16_t i) { return {Control::Check1, i}; }
const ControlRef kLabel2{Control::Label2};
const ControlRef kText2{Control::Text2};
const ControlRef kCombo1{Control::Combo1};

constexpr LONG kNoButton = -1;

struct Expected {
  const char* name;
  ControlRef control;
  const wchar_t* windowClass;
  LONG buttonType;  // the BS_ type of a button, else kNoButton
  const wchar_t* caption;
  int frame;                     // -1: on the window
  int left, top, width, height;  // twips
  bool enabledWhenBrowsing;
};

// The dialog as its description lays it out.
const std::vector<Expected> kLayout = {
    {"Frame1(0)", Frame1(0), L"Button", BS_GROUPBOX, L"自定義紙張", -1, 105, 30, 1965, 5250, true},
    {"Frame1(1)", Frame1(1), L"Button", BS_GROUPBOX, L"計算方式", -1, 2160, 1665, 4740, 1020, true},
    {"Frame1(2)", Frame1(2), L"Button", BS_GROUPBOX, L"", -1, 120, 5385, 6795, 1020, true},
    {"Frame1(3)", Frame1(3), L"Button", BS_GROUPBOX, L"紙張格式", -1, 2160, 2775, 4755, 2505, true},
    {"Frame1(4)", Frame1(4), L"Button", BS_GROUPBOX, L"", -1, 2160, 45, 4740, 1455, true},
    {"Frame1(5)", Frame1(5), L"Button", BS_GROUPBOX, L"當前印表機格式", -1, 7020, 45, 2145, 6375,
     true},
    {"List1(0)", List1(0), L"ListBox", kNoButton, L"", 0, 120, 315, 1710, 4785, true},
    {"Option1(0)", Option1(0), L"Button", BS_AUTORADIOBUTTON, L"公制(M)", 1, 270, 330, 1410, 360,
     true},
    {"Option1(1)", Option1(1), L"Button", BS_AUTORADIOBUTTON, L"英制(E)", 1, 2670, 330, 1380, 360,
     true},
    {"Cmd1(0)", Cmd1(0), L"Button", BS_PUSHBUTTON, L"全部新增", 2, 180, 330, 1275, 420, true},
    {"Cmd1(1)", Cmd1(1), L"Button", BS_PUSHBUTTON, L"新增格式", 2, 1470, 330, 1320, 420, true},
    {"Cmd1(2)", Cmd1(2), L"Button", BS_PUSHBUTTON, L"修改格式", 2, 2805, 330, 1245, 420, true},
    {"Cmd1(3)", Cmd1(3), L"Button", BS_PUSHBUTTON, L"刪除格式", 2, 4080, 330, 1245, 420, true},
    {"Cmd1(4)", Cmd1(4), L"Button", BS_PUSHBUTTON, L"Esc結束", 2, 5355, 330, 1245, 420, true},
    {"Label1(0)", Label1(0), L"Static", kNoButton, L"寬度:", 3, 135, 525, 510, 225, true},
    {"Text1(0)", Text1(0), L"Edit", kNoButton, nullptr, 3, 735, 465, 930, 345, false},
    {"lbCap(0)", lbCap(0), L"Static", kNoButton, nullptr, 3, 1755, 510, 450, 225, true},
    {"Label1(1)", Label1(1), L"Static", kNoButton, L"高度:", 3, 2565, 525, 510, 225, true},
    {"Text1(1)", Text1(1), L"Edit", kNoButton, nullptr, 3, 3150, 465, 930, 345, false},
    {"lbCap(1)", lbCap(1), L"Static", kNoButton, nullptr, 3, 4185, 510, 450, 225, true},
    {"Label1(2)", Label1(2), L"Static", kNoButton, L"左(L):", 3, 120, 1185, 570, 225, true},
    {"Text1(2)", Text1(2), L"Edit", kNoButton, nullptr, 3, 720, 1125, 930, 345, false},
    {"lbCap(2)", lbCap(2), L"Static", kNoButton, nullptr, 3, 1740, 1200, 450, 225, true},
    {"Label1(3)", Label1(3), L"Static", kNoButton, L"右(R):", 3, 2535, 1185, 570, 225, true},
    {"Text1(3)", Text1(3), L"Edit", kNoButton, nullptr, 3, 3165, 1125, 930, 345, false},
    {"lbCap(3)", lbCap(3), L"Static", kNoButton, nullptr, 3, 4170, 1200, 450, 225, true},
    {"Label1(4)", Label1(4), L"Static", kNoButton, L"上(T):", 3, 120, 1860, 570, 225, true},
    {"Text1(4)", Text1(4), L"Edit", kNoButton, nullptr, 3, 720, 1785, 930, 345, false},
    {"lbCap(4)", lbCap(4), L"Static", kNoButton, nullptr, 3, 1740, 1875, 450, 225, true},
    {"Label1(5)", Label1(5), L"Static", kNoButton, L"下(B):", 3, 2535, 1860, 570, 225, true},
    {"Text1(5)", Text1(5), L"Edit", kNoButton, nullptr, 3, 3165, 1800, 930, 345, false},
    {"lbCap(5)", lbCap(5), L"Static", kNoButton, nullptr, 3, 4170, 1875, 450, 225, true},
    {"Label2", kLabel2, L"Static", kNoButton, L"格式名:", 4, 315, 345, 735, 225, true},
    {"Text2", kText2, L"Edit", kNoButton, nullptr, 4, 1185, 285, 3375, 375, true},
    {"Check1(0)", Check1(0), L"Button", BS_3STATE, L"自定義紙張", 4, 300, 855, 1560, 435, true},
    {"Check1(1)", Check1(1), L"Button", BS_3STATE, L"印表機格式", 4, 2685, 870, 1560, 435, true},
    {"Combo1", kCombo1, L"ComboBox", kNoButton, nullptr, 5, 135, 300, 1860, 345, true},
    {"List1(1)", List1(1), L"ListBox", kNoButton, L"", 5, 120, 750, 1890, 5460, true},
};

// The focus order over the controls that can take the focus.
const std::vector<ControlRef> kFocusOrder = {
    List1(0),  Cmd1(0), Cmd1(1),  Cmd1(2),  Cmd1(3),  Option1(0), Text1(1),  Text1(3), Text1(5),
    Check1(0), kText2,  List1(1), Text1(0), Text1(2), Text1(4),   Check1(1), Cmd1(4),  kCombo1};

const std::wstring kPaper = L"Dialog Wine Paper";

int Pixels(int twips, int dpi) {
  return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / 1440));
}

int ScreenDpi() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
  ::ReleaseDC(nullptr, screen);
  return dpi;
}

std::wstring ModuleDirectory() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring text(path);
  return text.substr(0, text.find_last_of(L'\\'));
}

std::wstring ReadProfile(const std::wstring& section, const std::wstring& key) {
  wchar_t value[256] = {};
  ::GetPrivateProfileStringW(section.c_str(), key.c_str(), L"(none)", value, 256,
                             (ModuleDirectory() + L"\\PrintSet.ini").c_str());
  return value;
}

std::vector<std::wstring> StoredNames() {
  std::vector<wchar_t> buffer(32768);
  const DWORD copied = ::GetPrivateProfileStringW(L"PrintMain", nullptr, L"", buffer.data(),
                                                  static_cast<DWORD>(buffer.size()),
                                                  (ModuleDirectory() + L"\\PrintSet.ini").c_str());
  std::vector<std::wstring> names;
  for (DWORD i = 0; i < copied;) {
    std::wstring name(buffer.data() + i);
    i += static_cast<DWORD>(name.size()) + 1;
    if (!name.empty()) names.push_back(name);
  }
  return names;
}

// The focused window of the dialog's thread.
HWND FocusOf(HWND dialog);

// Makes the dialog the active window again: other programs on the same display may have
// taken the activation, and with it the keyboard focus.
void Activate(HWND dialog) {
  if (::GetForegroundWindow() == dialog) return;
  ::SetForegroundWindow(dialog);
  WaitFor([&] { return ::GetForegroundWindow() == dialog; }, std::chrono::seconds(5));
}

HWND FocusOf(HWND dialog) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  ::GetGUIThreadInfo(::GetWindowThreadProcessId(dialog, nullptr), &info);
  return info.hwndFocus;
}

// The screenshot after start-up, for both architectures, under SHEETLORE_SCREENSHOT_DIR.
void SaveStartUpScreenshot(HWND dialog) {
  const char* directory = std::getenv("SHEETLORE_SCREENSHOT_DIR");
  if (!directory) return;
  const std::string path =
      std::string(directory) + (sizeof(void*) == 8 ? "/dialog-x64.png" : "/dialog-x86.png");
  EXPECT_TRUE(SaveScreenshot(dialog, path)) << path;
  std::printf("screenshot: %s\n", path.c_str());
}

std::wstring RealizedFontFace(HFONT font) {
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, font);
  wchar_t face[LF_FACESIZE] = {};
  ::GetTextFaceW(dc, LF_FACESIZE, face);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  return face;
}

std::string Narrow(const std::wstring& text) {
  const int size =
      ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
  return out;
}

void CheckLayout(const DialogDriver& d) {
  const int dpi = ScreenDpi();
  RECT client{};
  ::GetClientRect(d.dialog(), &client);
  EXPECT_EQ(client.right, Pixels(9240, dpi));
  EXPECT_EQ(client.bottom, Pixels(6540, dpi));

  for (const Expected& e : kLayout) {
    SCOPED_TRACE(e.name);
    HWND control = d.At(e.control);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(ClassOf(control), e.windowClass);
    const auto style = static_cast<LONG>(::GetWindowLongPtrW(control, GWL_STYLE));
    if (e.buttonType != kNoButton) {
      EXPECT_EQ(style & BS_TYPEMASK, e.buttonType);
    }
    if (e.caption) {
      EXPECT_EQ(TextOf(control), e.caption);
    }
    EXPECT_TRUE(style & WS_VISIBLE);

    int left = Pixels(e.left, dpi);
    int top = Pixels(e.top, dpi);
    if (e.frame >= 0) {
      const Expected& frame = kLayout.at(static_cast<std::size_t>(e.frame));
      left += Pixels(frame.left, dpi);
      top += Pixels(frame.top, dpi);
    }
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, d.dialog(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, left);
    EXPECT_EQ(rect.top, top);
    EXPECT_EQ(rect.right - rect.left, Pixels(e.width, dpi));
    EXPECT_EQ(rect.bottom - rect.top, Pixels(e.height, dpi));
    EXPECT_EQ(::IsWindowEnabled(control) != FALSE, e.enabledWhenBrowsing);

    // One font everywhere: the Traditional Chinese face at 11.25 points, Big5.
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTW logFont{};
    ::GetObjectW(font, sizeof(logFont), &logFont);
    EXPECT_STREQ(logFont.lfFaceName, L"新細明體");
    EXPECT_EQ(logFont.lfHeight, -static_cast<LONG>(std::lround(11.25 * dpi / 72)));
    EXPECT_EQ(logFont.lfWeight, 400);
    EXPECT_EQ(logFont.lfCharSet, 136);
  }
}

// Every control the tab key reaches from the first, in order.
std::vector<HWND> TabWalk(HWND dialog, HWND first) {
  std::vector<HWND> walk{first};
  for (HWND next = ::GetNextDlgTabItem(dialog, first, FALSE); next && next != first;
       next = ::GetNextDlgTabItem(dialog, next, FALSE)) {
    walk.push_back(next);
    if (walk.size() > 64) break;
  }
  return walk;
}

std::vector<HWND> Handles(const DialogDriver& d, const std::vector<ControlRef>& controls) {
  std::vector<HWND> handles;
  for (const ControlRef& control : controls) {
    if (::IsWindowEnabled(d.At(control))) handles.push_back(d.At(control));
  }
  return handles;
}

class DialogWindowTest : public ::testing::Test {
 protected:
  win32::Win32Platform platform_;
  ClsPrint component_{platform_.platform()};
};

TEST_F(DialogWindowTest, LayoutTabOrderAndAWholeSession) {
  ASSERT_FALSE(platform_.host().Printers().empty()) << "needs the private CUPS queues";
  // The store beside the program is shared with other tests: what this one adds goes again,
  // and a store it created goes with it.
  const std::wstring store = ModuleDirectory() + L"\\PrintSet.ini";
  const bool storeExisted = ::GetFileAttributesW(store.c_str()) != INVALID_FILE_ATTRIBUTES;
  std::wstring paper = kPaper;
  component_.IniDelValue(paper);
  ASSERT_TRUE(component_.IniWriteValue(kPaper, 0, 10, 20, 0.5, 9.5, 0.5, 19.5));

  // A window of the host, which the modal dialog must disable.
  HWND host = ::CreateWindowExW(0, L"STATIC", L"host window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                0, 200, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(host, nullptr);

  std::vector<std::wstring> messages;
  bool hostDisabledMeanwhile = false;
  std::thread user([&] {
    HWND dialog = nullptr;
    WaitFor([&] {
      dialog = FindOwnWindow(kDialogCaption);
      return dialog && ::IsWindowVisible(dialog);
    });
    ASSERT_NE(dialog, nullptr) << "the dialog did not open";
    DialogDriver d(dialog);
    // Whatever fails below, the dialog closes so that FormShow returns.
    struct CloseAtEnd {
      HWND window;
      ~CloseAtEnd() {
        if (::IsWindow(window)) ::PostMessageW(window, WM_CLOSE, 0, 0);
      }
    } closeAtEnd{dialog};
    d.Settle();
    hostDisabledMeanwhile = !::IsWindowEnabled(host);

    SaveStartUpScreenshot(dialog);
    CheckLayout(d);
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(dialog, WM_GETFONT, 0, 0));
    std::printf("dialog font: %s\n", Narrow(RealizedFontFace(font)).c_str());
    const auto icon = reinterpret_cast<HICON>(::SendMessageW(dialog, WM_GETICON, ICON_BIG, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO iconInfo{};
    ASSERT_TRUE(::GetIconInfo(icon, &iconInfo));
    BITMAP bitmap{};
    ::GetObjectW(iconInfo.hbmColor, sizeof(bitmap), &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 32);
    EXPECT_EQ(bitmap.bmHeight, 32);
    ::DeleteObject(iconInfo.hbmColor);
    ::DeleteObject(iconInfo.hbmMask);

    // Browse mode: the focus starts on the stored papers; tab skips the disabled fields.
    Activate(dialog);
    EXPECT_EQ(FocusOf(dialog), d.At(List1(0)));
    EXPECT_EQ(TabWalk(dialog, d.At(List1(0))), Handles(d, kFocusOrder));
    // Real tab presses go the same way.
    ::PostMessageW(d.At(List1(0)), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_TRUE(WaitFor([&] { return FocusOf(dialog) == d.At(Cmd1(0)); }));
    ::PostMessageW(d.At(Cmd1(0)), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_TRUE(WaitFor([&] { return FocusOf(dialog) == d.At(Cmd1(1)); }));
    // Another window takes the activation; coming back, the focus is where it was.
    HWND other = ::CreateWindowExW(0, L"STATIC", L"another window", WS_POPUP | WS_VISIBLE, 0, 0, 50,
                                   50, nullptr, nullptr, nullptr, nullptr);
    ::SetForegroundWindow(other);
    WaitFor([&] { return ::GetForegroundWindow() == other; }, std::chrono::seconds(5));
    ::DestroyWindow(other);
    Activate(dialog);
    EXPECT_TRUE(WaitFor([&] { return FocusOf(dialog) == d.At(Cmd1(1)); }));
    // Enter and Esc on a focused button do nothing.
    ::PostMessageW(d.At(Cmd1(0)), WM_KEYDOWN, VK_RETURN, 0);
    ::PostMessageW(d.At(Cmd1(0)), WM_CHAR, VK_RETURN, 0);
    ::PostMessageW(d.At(Cmd1(0)), WM_KEYDOWN, VK_ESCAPE, 0);
    ::PostMessageW(d.At(Cmd1(0)), WM_CHAR, VK_ESCAPE, 0);
    d.Settle();
    ::Sleep(200);
    EXPECT_TRUE(::IsWindowVisible(dialog));
    EXPECT_EQ(FindOwnWindow(kNoticeTitle, L"#32770"), nullptr);

    // The current printer is chosen and its forms are listed.
    EXPECT_EQ(d.Text(kCombo1), platform_.host().CurrentPrinter()->DeviceName());
    EXPECT_GT(::SendMessageW(d.At(List1(1)), LB_GETCOUNT, 0, 0), 100);

    // Choose the stored paper: loaded with both boxes ticked, in inches (no unit chosen yet).
    ASSERT_TRUE(d.Choose(List1(0), kPaper));
    d.Settle();
    EXPECT_EQ(d.Text(kText2), kPaper);
    EXPECT_EQ(d.Checked(Check1(0)), BST_CHECKED);
    EXPECT_EQ(d.Checked(Check1(1)), BST_CHECKED);
    EXPECT_EQ(d.Text(Text1(0)), L"3.93700787401575");
    EXPECT_EQ(d.Text(lbCap(0)), L"英寸");

    // Modify: edit mode.
    d.ClickAndWait(Cmd1(2));
    d.Settle();
    EXPECT_TRUE(d.Enabled(Text1(0)));
    EXPECT_FALSE(d.Enabled(List1(0)));
    EXPECT_FALSE(d.Enabled(Cmd1(3)));
    EXPECT_EQ(FocusOf(dialog), d.At(kText2));
    EXPECT_EQ(TabWalk(dialog, d.At(Cmd1(1))),
              Handles(d, {Cmd1(1), Option1(0), Text1(1), Text1(3), Text1(5), Check1(0), kText2,
                          Text1(0), Text1(2), Text1(4), Check1(1), Cmd1(4), kCombo1}));

    // Metric, then the values typed in centimetres.
    d.ClickAndWait(Option1(0));
    d.Settle();
    EXPECT_EQ(d.Text(lbCap(3)), L"公分");
    EXPECT_EQ(d.Text(Text1(0)), L"10");
    const std::vector<std::wstring> typed = {L"12.5", L"25", L"0.5", L"12", L"0.5", L"24.5"};
    for (std::int16_t i = 0; i < 6; ++i) d.Type(Text1(i), typed[static_cast<std::size_t>(i)]);

    // Save with both boxes ticked.
    d.Click(Cmd1(1));
    messages.push_back(d.AnswerMessageBox());
    d.Settle();
    EXPECT_FALSE(d.Enabled(Text1(0)));
    EXPECT_EQ(ReadProfile(kPaper, L"mMode"), L"0");
    EXPECT_EQ(ReadProfile(kPaper, L"W"), L"12.5");
    EXPECT_EQ(ReadProfile(kPaper, L"B"), L"24.5");

    // Delete it from both.
    ASSERT_TRUE(d.Choose(List1(0), kPaper));
    d.Settle();
    d.Click(Cmd1(3));
    messages.push_back(d.AnswerMessageBox());
    d.Settle();
    EXPECT_EQ(::SendMessageW(d.At(List1(0)), LB_FINDSTRINGEXACT, WPARAM(-1),
                             reinterpret_cast<LPARAM>(kPaper.c_str())),
              LB_ERR);

    // Close.
    d.Click(Cmd1(4));
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
  });

  component_.FormShow();
  user.join();

  EXPECT_TRUE(hostDisabledMeanwhile);
  EXPECT_TRUE(::IsWindowEnabled(host));
  ::DestroyWindow(host);
  EXPECT_EQ(messages, (std::vector<std::wstring>{L"格式新增成功,請檢查!", L"格式刪除成功"}));
  for (const std::wstring& name : StoredNames()) EXPECT_NE(name, kPaper);
  EXPECT_EQ(ReadProfile(kPaper, L"W"), L"(none)");
  if (!storeExisted) ::DeleteFileW(store.c_str());
  // Nothing of the dialog is left on this thread.
  EXPECT_FALSE(ThreadDialogState().instance);
  EXPECT_EQ(FindOwnWindow(kDialogCaption), nullptr);
}

TEST_F(DialogWindowTest, ClosingTheWindowUnloadsAndTheNextShowStartsAfresh) {
  for (int show = 0; show < 2; ++show) {
    std::thread user([] {
      HWND dialog = nullptr;
      WaitFor([&] { return (dialog = FindOwnWindow(kDialogCaption)) != nullptr; });
      ASSERT_NE(dialog, nullptr);
      DialogDriver d(dialog);
      d.Settle();
      EXPECT_FALSE(d.Enabled(Text1(0)));
      ::PostMessageW(dialog, WM_CLOSE, 0, 0);
      EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
    });
    component_.FormShow();
    user.join();
    EXPECT_FALSE(ThreadDialogState().instance);
  }
}

// Takes the default printer away for the test's lifetime and gives it back afterwards. Wine
// makes the first CUPS queue the default when CUPS names none, so "printers but no default" is
// made here, after this process has listed the printers, by removing the setting that
// GetDefaultPrinter reads. The next Wine process sets it again from CUPS in any case.
class NoDefaultPrinter {
 public:
  NoDefaultPrinter() {
    ::RegGetValueW(HKEY_CURRENT_USER, kWindowsKey, L"Device", RRF_RT_REG_SZ, nullptr, saved_,
                   &savedSize_);
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kWindowsKey, L"Device");
  }
  ~NoDefaultPrinter() {
    if (saved_[0]) {
      ::RegSetKeyValueW(HKEY_CURRENT_USER, kWindowsKey, L"Device", REG_SZ, saved_,
                        static_cast<DWORD>((::wcslen(saved_) + 1) * sizeof(wchar_t)));
    }
  }
  NoDefaultPrinter(const NoDefaultPrinter&) = delete;
  NoDefaultPrinter& operator=(const NoDefaultPrinter&) = delete;

 private:
  static constexpr wchar_t kWindowsKey[] =
      L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
  wchar_t saved_[512] = {};
  DWORD savedSize_ = sizeof(saved_);
};

TEST_F(DialogWindowTest, WithPrintersButNoDefaultTheFirstPrinterIsChosenInBrowseMode) {
  const std::vector<PrinterRef> printers = platform_.host().Printers();
  ASSERT_GE(printers.size(), 2u) << "needs the private CUPS queues";
  const std::wstring first = printers.front()->DeviceName();
  NoDefaultPrinter noDefault;
  wchar_t name[256] = {};
  DWORD length = 256;
  ASSERT_FALSE(::GetDefaultPrinterW(name, &length)) << "the default printer is still set";

  std::vector<std::wstring> messages;
  std::thread user([&] {
    // A message during start-up comes before the window shows: answer it, keep its text.
    HWND dialog = nullptr;
    WaitFor([&] {
      if (HWND box = FindOwnWindow(kNoticeTitle, L"#32770")) {
        messages.push_back(DialogDriver(box).AnswerMessageBox());
      }
      dialog = FindOwnWindow(kDialogCaption);
      return dialog && ::IsWindowVisible(dialog);
    });
    ASSERT_NE(dialog, nullptr) << "the dialog did not open";
    DialogDriver d(dialog);
    d.Settle();
    EXPECT_EQ(::SendMessageW(d.At(kCombo1), CB_GETCOUNT, 0, 0),
              static_cast<LRESULT>(printers.size()));
    EXPECT_EQ(::SendMessageW(d.At(kCombo1), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(d.Text(kCombo1), first);
    EXPECT_GT(::SendMessageW(d.At(List1(1)), LB_GETCOUNT, 0, 0), 100);  // its forms
    EXPECT_FALSE(d.Enabled(Text1(0)));                                  // browse mode
    EXPECT_TRUE(d.Enabled(List1(0)));
    ::PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
  });
  component_.FormShow();
  user.join();
  EXPECT_EQ(messages, std::vector<std::wstring>{});
}

// Handlers that record what the window raised, and fail as a bug would.
class RecordingEvents final : public DialogEvents {
 public:
  void Form_Load(DialogView& view) override {
    view_ = &view;
    raised.push_back(L"Form_Load");
    view.AddItem(List1(0), L"first");
    view.AddItem(List1(0), L"second");
    view.SetSelectedIndex(List1(0), 1);  // raises List1_Click(0) from code
    view.AddItem(kCombo1, L"printer");
    view.SetSelectedIndex(kCombo1, 0);  // raises Combo1_Click from code
    selectedText = view.Text(List1(0));
  }
  void Combo1_Click() override { raised.push_back(L"Combo1_Click"); }
  void List1_Click(std::int16_t index) override {
    raised.push_back(L"List1_Click(" + std::to_wstring(index) + L")");
  }
  void Option1_Click(std::int16_t index) override {
    raised.push_back(L"Option1_Click(" + std::to_wstring(index) + L")");
  }
  void Cmd1_Click(std::int16_t index) override {
    raised.push_back(L"Cmd1_Click(" + std::to_wstring(index) + L")");
    if (index == 1) throw std::runtime_error("a fault in a handler");
    // A command's message, shown through the platform as the dialog's commands show theirs.
    if (index == 2) win32::Win32System().MessageBox(L"格式刪除成功", L"系統提示", 64);
    if (index == 4) view_->Unload();
  }
  void Form_Unload() override { raised.push_back(L"Form_Unload"); }

  std::vector<std::wstring> raised;
  std::wstring selectedText;

 private:
  DialogView* view_ = nullptr;
};

TEST(DialogWindowEventsTest, SelectionsFromCodeRaiseHandlersAndFailuresStayInside) {
  RecordingEvents events;
  win32::Win32DialogHost host;
  std::wstring message;
  std::thread user([&] {
    HWND dialog = nullptr;
    WaitFor([&] { return (dialog = FindOwnWindow(kDialogCaption)) != nullptr; });
    ASSERT_NE(dialog, nullptr);
    DialogDriver d(dialog);
    d.Settle();
    // A handler that throws something unexpected: a message, and the window goes on.
    d.Click(Cmd1(1));
    message = d.AnswerMessageBox();
    d.ClickAndWait(Option1(1));
    d.Click(Cmd1(4));
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
  });
  host.ShowModal(events);
  user.join();
  EXPECT_EQ(events.selectedText, L"second");
  EXPECT_EQ(events.raised, (std::vector<std::wstring>{
                               L"Form_Load", L"List1_Click(0)", L"Combo1_Click", L"Cmd1_Click(1)",
                               L"Option1_Click(1)", L"Cmd1_Click(4)", L"Form_Unload"}));
  EXPECT_EQ(message, L"Unexpected error");
}

// The tab key enters the unit options at the selected one, in either unit, so the focus never
// lands on the other option (which, being automatic, would select itself and switch units).
TEST(DialogWindowEventsTest, TabReachesTheSelectedUnitOptionWithoutSwitching) {
  RecordingEvents events;
  win32::Win32DialogHost host;
  std::thread user([&] {
    HWND dialog = nullptr;
    WaitFor([&] { return (dialog = FindOwnWindow(kDialogCaption)) != nullptr; });
    ASSERT_NE(dialog, nullptr);
    DialogDriver d(dialog);
    struct CloseAtEnd {
      HWND window;
      ~CloseAtEnd() {
        if (::IsWindow(window)) ::PostMessageW(window, WM_CLOSE, 0, 0);
      }
    } closeAtEnd{dialog};
    d.Settle();
    for (std::int16_t option : {1, 0}) {
      SCOPED_TRACE(option);
      const std::int16_t other = option == 0 ? 1 : 0;
      Activate(dialog);
      d.ClickAndWait(Option1(option));
      d.ClickAndWait(Cmd1(3));  // the focus on the control before the options
      ASSERT_TRUE(WaitFor([&] { return FocusOf(dialog) == d.At(Cmd1(3)); }));
      const auto tabStop = [&](std::int16_t i) {
        return (::GetWindowLongPtrW(d.At(Option1(i)), GWL_STYLE) & WS_TABSTOP) != 0;
      };
      EXPECT_TRUE(tabStop(option));
      EXPECT_FALSE(tabStop(other));
      EXPECT_EQ(TabWalk(dialog, d.At(Cmd1(3))).at(1), d.At(Option1(option)));
      ::PostMessageW(d.At(Cmd1(3)), WM_KEYDOWN, VK_TAB, 0);
      EXPECT_TRUE(WaitFor([&] { return FocusOf(dialog) == d.At(Option1(option)); }));
      d.Settle();
      EXPECT_EQ(d.Checked(Option1(option)), BST_CHECKED);
      EXPECT_EQ(d.Checked(Option1(other)), BST_UNCHECKED);
    }
    d.Click(Cmd1(4));
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
  });
  host.ShowModal(events);
  user.join();
  // Only the clicks chose units; the tab keys raised nothing.
  EXPECT_EQ(events.raised,
            (std::vector<std::wstring>{L"Form_Load", L"List1_Click(0)", L"Combo1_Click",
                                       L"Option1_Click(1)", L"Cmd1_Click(3)", L"Option1_Click(0)",
                                       L"Cmd1_Click(3)", L"Cmd1_Click(4)", L"Form_Unload"}));
}

// A command's message is owned by the dialog even while another program is active, so the
// dialog stays disabled under it.
TEST(DialogWindowEventsTest, ACommandsMessageIsOwnedByTheDialogWhileAnotherWindowIsActive) {
  RecordingEvents events;
  win32::Win32DialogHost host;
  HWND owner = nullptr;
  HWND expectedOwner = nullptr;
  bool dialogDisabled = false;
  std::thread user([&] {
    HWND dialog = nullptr;
    WaitFor([&] { return (dialog = FindOwnWindow(kDialogCaption)) != nullptr; });
    ASSERT_NE(dialog, nullptr);
    DialogDriver d(dialog);
    d.Settle();
    // The user switches to another program.
    HWND other = ::CreateWindowExW(0, L"STATIC", L"another program", WS_POPUP | WS_VISIBLE, 0, 0,
                                   50, 50, nullptr, nullptr, nullptr, nullptr);
    ::SetForegroundWindow(other);
    WaitFor([&] { return ::GetForegroundWindow() == other; }, std::chrono::seconds(5));
    // The command runs meanwhile (as at the end of a long one) and shows its message.
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(win32::DialogControlId(Cmd1(2)), BN_CLICKED),
                   reinterpret_cast<LPARAM>(d.At(Cmd1(2))));
    HWND box = nullptr;
    WaitFor([&] { return (box = FindOwnWindow(kNoticeTitle, L"#32770")) != nullptr; });
    if (box) {
      owner = ::GetWindow(box, GW_OWNER);
      dialogDisabled = !::IsWindowEnabled(dialog);
    }
    EXPECT_EQ(d.AnswerMessageBox(), L"格式刪除成功");
    ::DestroyWindow(other);
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(win32::DialogControlId(Cmd1(4)), BN_CLICKED),
                   reinterpret_cast<LPARAM>(d.At(Cmd1(4))));
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
    expectedOwner = dialog;
  });
  host.ShowModal(events);
  user.join();
  EXPECT_NE(owner, nullptr);
  EXPECT_EQ(owner, expectedOwner);
  EXPECT_TRUE(dialogDisabled);
}

}  // namespace
}  // namespace sheetlore::wine_test
