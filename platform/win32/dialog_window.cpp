// The maintenance dialog's window: creation from the layout table, the window procedure and
// the modal message loop.
#include "platform/win32/dialog_window.h"

#include <optional>
#include <vector>

#include "platform/automation_error.h"
#include "platform/dialog_layout.h"
#include "platform/product_texts.h"
#include "platform/win32/dialog_control_ids.h"
#include "platform/win32/dialog_geometry.h"

namespace sheetlore::win32 {
namespace {

using layout::Kind;

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = WS_EX_WINDOWEDGE;
const wchar_t kUnexpectedFailure[] = L"Unexpected error";

struct ControlClass {
  const wchar_t* className;
  DWORD style;
  DWORD exStyle;
};

// Every control but the second option button starts a group, so the two options form the
// one arrow-key group and the tab order follows the table. The first option starts with the
// tab stop; checking an option (by a click or BM_SETCHECK) moves the tab stop to it, so the
// tab key enters the group at the selected option and never selects the other one.
ControlClass ClassFor(const layout::ControlLayout& placed) {
  constexpr DWORD kGroupStop = WS_GROUP | WS_TABSTOP;
  switch (placed.kind) {
    case Kind::Frame:
      return {L"BUTTON", BS_GROUPBOX | WS_GROUP, 0};
    case Kind::Label:
      return {L"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX | WS_GROUP, 0};
    case Kind::TextField:
      return {L"EDIT", ES_LEFT | ES_AUTOHSCROLL | kGroupStop, WS_EX_CLIENTEDGE};
    case Kind::CheckBox:
      return {L"BUTTON", BS_3STATE | kGroupStop, 0};
    case Kind::OptionButton:
      return {L"BUTTON", BS_AUTORADIOBUTTON | (placed.index == 0 ? kGroupStop : 0), 0};
    case Kind::PushButton:
      return {L"BUTTON", BS_PUSHBUTTON | kGroupStop, 0};
    case Kind::DropDownList:
      return {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | kGroupStop, 0};
    case Kind::ListBox:
      return {L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | kGroupStop,
              WS_EX_CLIENTEDGE};
  }
  return {L"STATIC", 0, 0};
}

int ScreenDotsPerInch() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen) ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

std::wstring WindowText(HWND window) {
  const int length = ::GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

// The dialog's font: the Traditional Chinese face at its size, weight and character set. Where
// the face is missing the system puts its own substitute in its place.
unique_font MakeDialogFont(int dotsPerInch) {
  const std::wstring face(layout::kFontFace);
  return unique_font(::CreateFontW(-PointsToPixels(layout::kFontPoints, dotsPerInch), 0, 0, 0,
                                   layout::kFontWeight, FALSE, FALSE, FALSE, layout::kFontCharset,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
}

bool IsList(Control group) { return group == Control::List1 || group == Control::Combo1; }

}  // namespace

DialogWindow::DialogWindow(DialogEvents& events) : events_(events) {}

DialogWindow::~DialogWindow() {
  if (window_) ::DestroyWindow(window_);
}

bool DialogWindow::Create(HINSTANCE instance) {
  dotsPerInch_ = ScreenDotsPerInch();
  RECT frame{0, 0, TwipsToPixels(layout::kClientWidthTwips, dotsPerInch_),
             TwipsToPixels(layout::kClientHeightTwips, dotsPerInch_)};
  ::AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  // Centred on the screen.
  const int left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;

  const std::wstring caption(layout::kCaption);
  window_ = ::CreateWindowExW(kWindowExStyle, kDialogWindowClass, caption.c_str(), kWindowStyle,
                              left, top, width, height, nullptr, nullptr, instance, this);
  if (!window_) return false;

  font_ = MakeDialogFont(dotsPerInch_);
  if (font_) ::SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  icon_ = MakeDialogIcon();
  if (icon_) {
    ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.get()));
    ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_.get()));
  }
  return CreateControls(instance);
}

bool DialogWindow::CreateControls(HINSTANCE instance) {
  std::vector<HWND> frames;
  for (const layout::ControlLayout& placed : layout::kControls) {
    int left = TwipsToPixels(placed.left, dotsPerInch_);
    int top = TwipsToPixels(placed.top, dotsPerInch_);
    // A control's position is relative to its frame: each is converted on its own, as a
    // child of the frame would be placed.
    if (placed.frame >= 0) {
      const layout::ControlLayout* frame = layout::Find({Control::Frame1, placed.frame});
      if (!frame) return false;
      left += TwipsToPixels(frame->left, dotsPerInch_);
      top += TwipsToPixels(frame->top, dotsPerInch_);
    }
    const int width = TwipsToPixels(placed.width, dotsPerInch_);
    const int height = TwipsToPixels(placed.height, dotsPerInch_);
    // A drop-down list's window height includes its list while dropped.
    const int createHeight = placed.kind == Kind::DropDownList ? height * 10 : height;

    const ControlClass kind = ClassFor(placed);
    const int id = DialogControlId({placed.group, placed.index});
    const std::wstring caption(placed.caption);
    HWND control = ::CreateWindowExW(
        kind.exStyle, kind.className, caption.c_str(),
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind.style, left, top, width, createHeight,
        window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (!control) return false;
    if (font_) ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    if (placed.kind == Kind::DropDownList) FitComboHeight(control, height);
    controls_[id] = control;
    if (placed.kind == Kind::Frame) frames.push_back(control);
  }
  // The frames lie beneath the controls they hold. They take no focus, so the tab order of
  // the controls is unchanged.
  for (HWND frame : frames) {
    ::SetWindowPos(frame, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  return true;
}

void DialogWindow::FitComboHeight(HWND combo, int height) {
  // The closed list's height follows its selection field: size that field so the closed
  // list is as high as the layout says.
  for (int attempt = 0; attempt < 3; ++attempt) {
    RECT rect{};
    ::GetWindowRect(combo, &rect);
    const int difference = height - (rect.bottom - rect.top);
    if (difference == 0) return;
    const auto field = static_cast<int>(::SendMessageW(combo, CB_GETITEMHEIGHT, WPARAM(-1), 0));
    if (field + difference <= 0) return;
    ::SendMessageW(combo, CB_SETITEMHEIGHT, WPARAM(-1), field + difference);
  }
}

HWND DialogWindow::At(ControlRef control) const {
  auto it = controls_.find(DialogControlId(control));
  if (it == controls_.end()) {
    throw AutomationError::Numbered(340, L"Control array element does not exist");
  }
  return it->second;
}

// --- Handlers ---

template <typename Handler>
void DialogWindow::RaiseFromWindow(Handler&& handler) {
  try {
    handler();
  } catch (const AutomationError& error) {
    ::MessageBoxW(window_, error.description().c_str(), kMessageTitle, kMessageStyle);
  } catch (...) {
    ::MessageBoxW(window_, kUnexpectedFailure, kMessageTitle, kMessageStyle);
  }
}

void DialogWindow::RaiseClick(ControlRef list) {
  if (list.group == Control::Combo1) {
    events_.Combo1_Click();
  } else if (list.group == Control::List1) {
    events_.List1_Click(list.index);
  }
}

void DialogWindow::Load() {
  loaded_ = true;
  RaiseFromWindow([this] { events_.Form_Load(*this); });
}

void DialogWindow::OnCommand(int id, int code) {
  const std::optional<ControlRef> control = DialogControlFromId(id);
  if (!control || !loaded_ || unloadRequested_) return;
  const std::int16_t index = control->index;
  switch (control->group) {
    case Control::Cmd1:
      if (code == BN_CLICKED) RaiseFromWindow([this, index] { events_.Cmd1_Click(index); });
      break;
    case Control::Option1:
      if (code == BN_CLICKED) RaiseFromWindow([this, index] { events_.Option1_Click(index); });
      break;
    case Control::Check1:
      // A click ticks an unticked or grey box and unticks a ticked one.
      if (code == BN_CLICKED) SetValue(*control, Value(*control) == kChecked ? 0 : kChecked);
      break;
    case Control::List1:
      if (code == LBN_SELCHANGE) RaiseFromWindow([this, index] { events_.List1_Click(index); });
      break;
    case Control::Combo1:
      if (code == CBN_SELCHANGE) RaiseFromWindow([this] { events_.Combo1_Click(); });
      break;
    default:
      break;
  }
}

LRESULT CALLBACK DialogWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<DialogWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self || self->window_ != window) return ::DefWindowProcW(window, message, wParam, lParam);
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT DialogWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      // IDOK and IDCANCEL (Enter and Esc through the dialog manager) name no control.
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_ACTIVATE:
      // As a dialog box does: the focused control is remembered when another window takes
      // the activation and gets the focus back when the dialog is active again.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(window_, focus)) lastFocus_ = focus;
      } else if (!HIWORD(wParam)) {
        if (lastFocus_ && ::IsWindow(lastFocus_) && ::IsWindowEnabled(lastFocus_)) {
          ::SetFocus(lastFocus_);
        } else {
          FocusFirstTabStop();
        }
      }
      return 0;
    case WM_CLOSE:
      // Closing is never refused; the loop unloads once this message has been handled.
      unloadRequested_ = true;
      return 0;
    default:
      return ::DefWindowProcW(window_, message, wParam, lParam);
  }
}

// --- The modal loop ---

bool DialogWindow::SwallowKey(const MSG& message) const {
  if (message.message != WM_KEYDOWN && message.message != WM_KEYUP && message.message != WM_CHAR) {
    return false;
  }
  if (message.wParam != VK_RETURN && message.wParam != VK_ESCAPE) return false;
  if (message.hwnd != window_ && !::IsChild(window_, message.hwnd)) return false;
  // An open drop-down list still closes with Enter or Esc.
  HWND combo = At({Control::Combo1});
  if (::SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0)) return false;
  return true;
}

void DialogWindow::FocusFirstTabStop() {
  for (HWND child = ::GetWindow(window_, GW_CHILD); child;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(child, GWL_STYLE));
    if ((style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED)) {
      ::SetFocus(child);
      return;
    }
  }
}

void DialogWindow::RunModal() {
  ::ShowWindow(window_, SW_SHOWNORMAL);
  ::SetForegroundWindow(window_);
  ::UpdateWindow(window_);
  FocusFirstTabStop();

  MSG message;
  while (!unloadRequested_) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      // The host's own loop must still see the request to quit.
      ::PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (SwallowKey(message)) continue;
    if (!::IsDialogMessageW(window_, &message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
}

void DialogWindow::Close() {
  if (loaded_) {
    loaded_ = false;
    unloadRequested_ = true;
    RaiseFromWindow([this] { events_.Form_Unload(); });
  }
  if (window_) {
    HWND window = window_;
    window_ = nullptr;
    ::DestroyWindow(window);
  }
}

// --- DialogView ---

std::int16_t DialogWindow::MemberCount(Control group) const { return layout::MemberCount(group); }

void DialogWindow::SetEnabled(ControlRef control, bool enabled) {
  ::EnableWindow(At(control), enabled ? TRUE : FALSE);
}

bool DialogWindow::IsEnabled(ControlRef control) const {
  return ::IsWindowEnabled(At(control)) != FALSE;
}

void DialogWindow::SetFocus(ControlRef control) { ::SetFocus(At(control)); }

std::wstring DialogWindow::Text(ControlRef control) const {
  if (IsList(control.group)) return ItemText(control, SelectedIndex(control));
  return WindowText(At(control));
}

void DialogWindow::SetText(ControlRef control, const std::wstring& text) {
  if (IsList(control.group)) return;  // a list's text follows its selection
  ::SetWindowTextW(At(control), text.c_str());
}

std::int16_t DialogWindow::Value(ControlRef control) const {
  const auto state = ::SendMessageW(At(control), BM_GETCHECK, 0, 0);
  if (control.group == Control::Option1) return state == BST_CHECKED ? 1 : 0;
  return static_cast<std::int16_t>(state);
}

void DialogWindow::SetValue(ControlRef control, std::int16_t value) {
  if (control.group == Control::Option1) {
    // One option of the group is selected at a time.
    if (value != 0) {
      for (std::int16_t i = 0; i < MemberCount(Control::Option1); ++i) {
        ::SendMessageW(At({Control::Option1, i}), BM_SETCHECK, BST_UNCHECKED, 0);
      }
    }
    ::SendMessageW(At(control), BM_SETCHECK, value != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
    return;
  }
  ::SendMessageW(At(control), BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DialogWindow::AddItem(ControlRef list, const std::wstring& text) {
  const UINT message = list.group == Control::Combo1 ? CB_ADDSTRING : LB_ADDSTRING;
  ::SendMessageW(At(list), message, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void DialogWindow::ClearItems(ControlRef list) {
  const UINT message = list.group == Control::Combo1 ? CB_RESETCONTENT : LB_RESETCONTENT;
  ::SendMessageW(At(list), message, 0, 0);
}

int DialogWindow::ItemCount(ControlRef list) const {
  const UINT message = list.group == Control::Combo1 ? CB_GETCOUNT : LB_GETCOUNT;
  const auto count = ::SendMessageW(At(list), message, 0, 0);
  return count < 0 ? 0 : static_cast<int>(count);
}

std::wstring DialogWindow::ItemText(ControlRef list, int position) const {
  if (position < 0) return std::wstring();
  const bool combo = list.group == Control::Combo1;
  HWND control = At(list);
  const auto length = ::SendMessageW(control, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, position, 0);
  if (length < 0) return std::wstring();
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const auto copied = ::SendMessageW(control, combo ? CB_GETLBTEXT : LB_GETTEXT, position,
                                     reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

int DialogWindow::SelectedIndex(ControlRef list) const {
  const UINT message = list.group == Control::Combo1 ? CB_GETCURSEL : LB_GETCURSEL;
  return static_cast<int>(::SendMessageW(At(list), message, 0, 0));
}

void DialogWindow::SetSelectedIndex(ControlRef list, int position) {
  if (position < -1 || position >= ItemCount(list)) {
    throw AutomationError::Numbered(380, L"Invalid property value");
  }
  const UINT message = list.group == Control::Combo1 ? CB_SETCURSEL : LB_SETCURSEL;
  ::SendMessageW(At(list), message, static_cast<WPARAM>(position), 0);
  // The control does not notify a selection made from code: raise its handler here.
  if (position >= 0) RaiseClick(list);
}

void DialogWindow::Unload() { unloadRequested_ = true; }

}  // namespace sheetlore::win32
