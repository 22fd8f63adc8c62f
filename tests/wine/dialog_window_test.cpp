// The maintenance dialog's real window under Wine: opened by FormShow on the Win32 platform,
// checked control by control against the layout table, walked in tab order, ended by the host's
// request to quit; and the window's own handling of handlers, the tab key and message owners.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "component/cls_print.h"
#include "dialog/frm_print.h"
#include "platform/dialog_layout.h"
#include "platform/win32/dialog_control_ids.h"
#include "platform/win32/dialog_host.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_system.h"
#include "tests/support/own_windows.h"

namespace sheetlore::wine_test {
namespace {

using layout::Kind;

ControlRef List1(std::int16_t i) { return {Control::List1, i}; }
ControlRef Option1(std::int16_t i) { return {Control::Option1, i}; }
ControlRef Cmd1(std::int16_t i) { return {Control::Cmd1, i}; }
const ControlRef kCombo1{Control::Combo1};

// A second thread's hands on the dialog's real window: reads its controls, clicks, types and
// chooses with window messages, as a user would.
struct DialogDriver {
  HWND dialog;

  HWND At(ControlRef control) const {
    return ::GetDlgItem(dialog, win32::DialogControlId(control));
  }
  std::wstring Text(ControlRef control) const { return TextOf(At(control)); }
  bool Enabled(ControlRef control) const { return ::IsWindowEnabled(At(control)) != FALSE; }
  LRESULT Checked(ControlRef control) const {
    return ::SendMessageW(At(control), BM_GETCHECK, 0, 0);
  }

  // A click as the mouse makes it, posted so that a message box it opens does not hold us and
  // the modal loop sees an unload it asks for.
  void Click(ControlRef button) const { ::PostMessageW(At(button), BM_CLICK, 0, 0); }

  // A click that opens no message box: returns once its handlers have run.
  void ClickAndWait(ControlRef button) const { ::SendMessageW(At(button), BM_CLICK, 0, 0); }

  // Waits for the dialog's thread to be back in its message loop.
  void Settle() const { ::SendMessageW(dialog, WM_NULL, 0, 0); }
};

int Pixels(int twips, int dpi) {
  return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / 1440));
}

HWND FocusOf(HWND dialog) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  ::GetGUIThreadInfo(::GetWindowThreadProcessId(dialog, nullptr), &info);
  return info.hwndFocus;
}

// Makes the window the active one: other programs on the same display may have taken the
// activation, and with it the keyboard focus.
void Activate(HWND window) {
  ::SetForegroundWindow(window);
  WaitFor([&] { return ::GetForegroundWindow() == window; }, std::chrono::seconds(5));
}

// Waits for this process's dialog to show and hands it to the user's actions; whatever fails
// there, the dialog is closed afterwards (with the close box) so that the show returns. No
// message may come first.
template <typename Session>
std::thread User(Session session) {
  return std::thread([session] {
    HWND dialog = nullptr;
    WaitFor([&] {
      if (HWND box = FindOwnWindow(kNoticeTitle, L"#32770")) {
        ADD_FAILURE() << "a message before the dialog showed";
        ConfirmMessageBox(box);
      }
      return (dialog = FindOwnWindow(kDialogCaption)) != nullptr;
    });
    ASSERT_NE(dialog, nullptr) << "the dialog did not open";
    const DialogDriver d{dialog};
    d.Settle();
    session(d);
    if (::IsWindow(dialog)) ::PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
  });
}

// Every control against its row of the layout: class, kind, caption, place and size in
// pixels, browse mode, and the one font.
void CheckLayout(const DialogDriver& d) {
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
  ::ReleaseDC(nullptr, screen);
  RECT client{};
  ::GetClientRect(d.dialog, &client);
  EXPECT_EQ(client.right, Pixels(layout::kClientWidthTwips, dpi));
  EXPECT_EQ(client.bottom, Pixels(layout::kClientHeightTwips, dpi));

  // Each kind's window class and button type (-1: no button).
  const std::map<Kind, std::pair<const wchar_t*, LONG>> kinds = {
      {Kind::Frame, {L"Button", BS_GROUPBOX}},
      {Kind::Label, {L"Static", -1}},
      {Kind::TextField, {L"Edit", -1}},
      {Kind::CheckBox, {L"Button", BS_3STATE}},
      {Kind::OptionButton, {L"Button", BS_AUTORADIOBUTTON}},
      {Kind::PushButton, {L"Button", BS_PUSHBUTTON}},
      {Kind::DropDownList, {L"ComboBox", -1}},
      {Kind::ListBox, {L"ListBox", -1}}};
  for (const layout::ControlLayout& placed : layout::kControls) {
    const ControlRef ref{placed.group, placed.index};
    SCOPED_TRACE(testing::Message()
                 << static_cast<int>(placed.group) << "(" << placed.index << ")");
    HWND control = d.At(ref);
    const auto [windowClass, buttonType] = kinds.at(placed.kind);
    EXPECT_EQ(ClassOf(control), windowClass);
    const auto style = static_cast<LONG>(::GetWindowLongPtrW(control, GWL_STYLE));
    if (buttonType >= 0) {
      EXPECT_EQ(style & BS_TYPEMASK, buttonType);
    }
    // Text fields and unit captions show values, a drop-down list its selection.
    if (placed.kind != Kind::TextField && placed.kind != Kind::DropDownList &&
        placed.group != Control::lbCap) {
      EXPECT_EQ(TextOf(control), placed.caption);
    }
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_EQ(d.Enabled(ref), placed.group != Control::Text1);

    int left = Pixels(placed.left, dpi);
    int top = Pixels(placed.top, dpi);
    if (placed.frame >= 0) {
      const layout::ControlLayout* frame = layout::Find({Control::Frame1, placed.frame});
      left += Pixels(frame->left, dpi);
      top += Pixels(frame->top, dpi);
    }
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, d.dialog, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, left);
    EXPECT_EQ(rect.top, top);
    EXPECT_EQ(rect.right - rect.left, Pixels(placed.width, dpi));
    EXPECT_EQ(rect.bottom - rect.top, Pixels(placed.height, dpi));

    const auto font = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTW logFont{};
    ::GetObjectW(font, sizeof(logFont), &logFont);
    EXPECT_EQ(std::wstring_view(logFont.lfFaceName), layout::kFontFace);
    EXPECT_EQ(logFont.lfHeight, -static_cast<LONG>(std::lround(layout::kFontPoints * dpi / 72)));
    EXPECT_EQ(logFont.lfWeight, layout::kFontWeight);
    EXPECT_EQ(logFont.lfCharSet, layout::kFontCharset);
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

// The enabled controls that take the focus, in the table's tab order from `from` on; of the
// unit options only the selected one (none selected: the first) is a tab stop.
std::vector<HWND> TabOrder(const DialogDriver& d, ControlRef from) {
  std::vector<HWND> order;
  bool started = false;
  for (const layout::ControlLayout& placed : layout::kControls) {
    const ControlRef ref{placed.group, placed.index};
    started = started || ref == from;
    const bool optionOff = placed.group == Control::Option1 && d.Checked(ref) != BST_CHECKED &&
                           (placed.index != 0 || d.Checked(Option1(1)) == BST_CHECKED);
    if (started && placed.kind != Kind::Frame && placed.kind != Kind::Label && !optionOff &&
        d.Enabled(ref)) {
      order.push_back(d.At(ref));
    }
  }
  return order;
}

// Takes the default printer away for the test's lifetime and gives it back afterwards. Wine
// makes the first CUPS queue the default when CUPS names none, so "printers but no default" is
// made here, after this process has listed the printers, by removing the setting that
// GetDefaultPrinter reads. The next Wine process sets it again from CUPS in any case.
class NoDefaultPrinter {
 public:
  NoDefaultPrinter() {
    ::RegGetValueW(HKEY_CURRENT_USER, kKey, L"Device", RRF_RT_REG_SZ, nullptr, saved_, &size_);
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"Device");
  }
  ~NoDefaultPrinter() {
    if (saved_[0]) ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"Device", REG_SZ, saved_, size_);
  }
  NoDefaultPrinter(const NoDefaultPrinter&) = delete;
  NoDefaultPrinter& operator=(const NoDefaultPrinter&) = delete;

 private:
  static constexpr wchar_t kKey[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
  wchar_t saved_[512] = {};
  DWORD size_ = sizeof(saved_);
};

class DialogWindowTest : public ::testing::Test {
 protected:
  win32::Win32Platform platform_;
  ClsPrint component_{platform_.platform()};
};

// One session on the real window, opened with printers installed but none the default: the
// first printer is chosen without a message, in browse mode; the controls, icon, focus and tab
// order; the keys the modal loop swallows; a user's choice of a form and of a unit.
TEST_F(DialogWindowTest, LayoutFocusAndTabOrderOfTheRealWindowWithoutADefaultPrinter) {
  const std::vector<PrinterRef> printers = platform_.host().Printers();
  ASSERT_GE(printers.size(), 2u) << "needs the private CUPS queues";
  const std::wstring first = printers.front()->DeviceName();
  NoDefaultPrinter noDefault;
  wchar_t name[256] = {};
  DWORD length = 256;
  ASSERT_FALSE(::GetDefaultPrinterW(name, &length)) << "the default printer is still set";
  // A window of the host, which the modal dialog must disable.
  HWND host = ::CreateWindowExW(0, L"STATIC", L"host window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                0, 200, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(host, nullptr);
  std::thread user = User([&](const DialogDriver& d) {
    EXPECT_FALSE(::IsWindowEnabled(host));
    CheckLayout(d);
    const auto icon = reinterpret_cast<HICON>(::SendMessageW(d.dialog, WM_GETICON, ICON_BIG, 0));
    ICONINFO iconInfo{};
    ASSERT_TRUE(::GetIconInfo(icon, &iconInfo));
    BITMAP bitmap{};
    ::GetObjectW(iconInfo.hbmColor, sizeof(bitmap), &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 32);
    EXPECT_EQ(bitmap.bmHeight, 32);
    ::DeleteObject(iconInfo.hbmColor);
    ::DeleteObject(iconInfo.hbmMask);

    // Browse mode: the focus starts on the stored papers; tab skips the disabled fields, and a
    // real tab press goes the same way.
    Activate(d.dialog);
    EXPECT_EQ(FocusOf(d.dialog), d.At(List1(0)));
    EXPECT_EQ(TabWalk(d.dialog, d.At(List1(0))), TabOrder(d, List1(0)));
    ::PostMessageW(d.At(List1(0)), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_TRUE(WaitFor([&] { return FocusOf(d.dialog) == d.At(Cmd1(0)); }));
    // Enter and Esc on the focused button do nothing.
    for (const UINT message : {WM_KEYDOWN, WM_CHAR}) {
      ::PostMessageW(d.At(Cmd1(0)), message, VK_RETURN, 0);
      ::PostMessageW(d.At(Cmd1(0)), message, VK_ESCAPE, 0);
    }
    d.Settle();
    EXPECT_TRUE(::IsWindowVisible(d.dialog));
    EXPECT_EQ(FindOwnWindow(kNoticeTitle, L"#32770"), nullptr);

    EXPECT_EQ(d.Text(kCombo1), first);
    // A4 chosen as a user's click chooses it, with its notification: it loads in inches.
    HWND forms = d.At(List1(1));
    const auto a4 =
        ::SendMessageW(forms, LB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(L"A4"));
    ASSERT_GE(a4, 0);
    ::SendMessageW(forms, LB_SETCURSEL, static_cast<WPARAM>(a4), 0);
    ::SendMessageW(d.dialog, WM_COMMAND,
                   MAKEWPARAM(win32::DialogControlId(List1(1)), LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(forms));
    EXPECT_EQ(d.Text({Control::Text1, 0}), L"8.26771653543307");
    EXPECT_EQ(d.Text({Control::lbCap, 0}), L"英寸");

    // Edit mode: the focus on the name, the fields in the tab order; typed text converts.
    d.ClickAndWait(Cmd1(2));
    EXPECT_EQ(FocusOf(d.dialog), d.At({Control::Text2}));
    EXPECT_EQ(TabWalk(d.dialog, d.At(Cmd1(1))), TabOrder(d, Cmd1(1)));
    ::SendMessageW(d.At({Control::Text1, 0}), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"10"));
    d.ClickAndWait(Option1(0));
    EXPECT_EQ(d.Text({Control::Text1, 0}), L"25.4");
    EXPECT_EQ(d.Text({Control::lbCap, 3}), L"公分");
    d.Click(Cmd1(4));
  });
  component_.FormShow();
  user.join();
  EXPECT_TRUE(::IsWindowEnabled(host));
  ::DestroyWindow(host);
}

// The host asks its thread to quit while the dialog is open: the dialog ends, FormShow returns,
// the request stays for the host's own loop, and the next show works as after the close box,
// which leaves no request behind.
TEST_F(DialogWindowTest, AQuitRequestEndsTheDialogAndStaysForTheHostsLoop) {
  for (const UINT ending : {WM_QUIT, WM_CLOSE}) {
    SCOPED_TRACE(ending == WM_QUIT ? "quit" : "close box");
    std::thread user = User([ending](const DialogDriver& d) {
      if (ending != WM_QUIT) return;  // the session's end clicks the close box
      ::PostThreadMessageW(::GetWindowThreadProcessId(d.dialog, nullptr), WM_QUIT, 7, 0);
      EXPECT_TRUE(WaitFor([&] { return !::IsWindow(d.dialog); }));
    });
    component_.FormShow();
    user.join();
    EXPECT_FALSE(ThreadDialogState().instance);
    EXPECT_FALSE(ThreadDialogState().component);
    MSG quit{};
    EXPECT_EQ(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE,
              ending == WM_QUIT);
    EXPECT_EQ(quit.wParam, ending == WM_QUIT ? 7u : 0u);
  }
}

// Handlers that record what the window raised, and fail as a bug would.
class RecordingEvents final : public DialogEvents {
 public:
  void Form_Load(DialogView& view) override {
    raised.push_back(L"Form_Load");
    view.AddItem(List1(0), L"first");
    view.AddItem(List1(0), L"second");
    view.SetSelectedIndex(List1(0), 1);  // raises List1_Click(0) from code
    view.AddItem(kCombo1, L"printer");
    view.SetSelectedIndex(kCombo1, 0);  // raises Combo1_Click from code
    EXPECT_EQ(view.Text(List1(0)), L"second");
  }
  void Combo1_Click() override { raised.push_back(L"Combo1_Click"); }
  void List1_Click(std::int16_t index) override { Raised(L"List1_Click", index); }
  void Option1_Click(std::int16_t index) override { Raised(L"Option1_Click", index); }
  void Cmd1_Click(std::int16_t index) override {
    Raised(L"Cmd1_Click", index);
    if (index == 1) throw std::runtime_error("a fault in a handler");
    // A command's message, shown through the platform as the dialog's commands show theirs.
    if (index == 2) win32::Win32System().MessageBox(L"格式刪除成功", kNoticeTitle, 64);
  }
  void Form_Unload() override { raised.push_back(L"Form_Unload"); }

  std::vector<std::wstring> raised;

 private:
  void Raised(const std::wstring& handler, std::int16_t index) {
    raised.push_back(handler + L"(" + std::to_wstring(index) + L")");
  }
};

// One session on handlers that record what the window raised: selections from code raise
// handlers; an unexpected failure in a handler stays inside; the tab key enters the unit
// options at the selected one in either unit (the other, being automatic, would select itself
// and switch units); a command's message is owned by the dialog even while another program is
// active, so the dialog stays disabled under it; the focus comes back; the close box unloads.
TEST(DialogWindowEventsTest, HandlersFromCodeFailuresTabIntoOptionsAndMessageOwner) {
  RecordingEvents events;
  std::thread user = User([](const DialogDriver& d) {
    d.Click(Cmd1(1));
    EXPECT_EQ(ConfirmMessageBox(WaitForMessageBox()), L"Unexpected error");

    Activate(d.dialog);
    for (std::int16_t option : {1, 0}) {
      SCOPED_TRACE(option);
      d.ClickAndWait(Option1(option));
      d.ClickAndWait(Cmd1(3));  // the focus on the control before the options
      ASSERT_TRUE(WaitFor([&] { return FocusOf(d.dialog) == d.At(Cmd1(3)); }));
      ::PostMessageW(d.At(Cmd1(3)), WM_KEYDOWN, VK_TAB, 0);
      EXPECT_TRUE(WaitFor([&] { return FocusOf(d.dialog) == d.At(Option1(option)); }));
      d.Settle();
      EXPECT_EQ(d.Checked(Option1(option)), BST_CHECKED);
      EXPECT_EQ(d.Checked(Option1(option == 0 ? 1 : 0)), BST_UNCHECKED);
    }

    HWND other = ::CreateWindowExW(0, L"STATIC", L"another program", WS_POPUP | WS_VISIBLE, 0, 0,
                                   50, 50, nullptr, nullptr, nullptr, nullptr);
    Activate(other);
    ::PostMessageW(d.dialog, WM_COMMAND, MAKEWPARAM(win32::DialogControlId(Cmd1(2)), BN_CLICKED),
                   reinterpret_cast<LPARAM>(d.At(Cmd1(2))));
    HWND box = WaitForMessageBox();
    EXPECT_EQ(::GetWindow(box, GW_OWNER), d.dialog);
    EXPECT_FALSE(::IsWindowEnabled(d.dialog));
    EXPECT_EQ(ConfirmMessageBox(box), L"格式刪除成功");
    ::DestroyWindow(other);
    // Active again, the dialog gives the focus back where it was before the other program.
    Activate(d.dialog);
    EXPECT_TRUE(WaitFor([&] { return FocusOf(d.dialog) == d.At(Option1(0)); }));
  });
  win32::Win32DialogHost().ShowModal(events);
  user.join();
  // Only the clicks chose units; the tab keys raised nothing.
  EXPECT_EQ(events.raised, (std::vector<std::wstring>{
                               L"Form_Load", L"List1_Click(0)", L"Combo1_Click", L"Cmd1_Click(1)",
                               L"Option1_Click(1)", L"Cmd1_Click(3)", L"Option1_Click(0)",
                               L"Cmd1_Click(3)", L"Cmd1_Click(2)", L"Form_Unload"}));
}

}  // namespace
}  // namespace sheetlore::wine_test
