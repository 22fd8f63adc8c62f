#pragma once
// The maintenance dialog's window over the Windows API: the window and its controls built from
// the layout table, the controls as a DialogView, and the modal message loop.

#include <map>
#include <string>

#include "platform/dialog_view.h"
#include "platform/win32/dialog_icon.h"
#include "platform/win32/unique_handles.h"

namespace sheetlore::win32 {

inline BOOL DeleteFontHandle(HFONT font) { return ::DeleteObject(font); }
using unique_font = unique_handle<HFONT, &DeleteFontHandle>;

class DialogWindow final : public DialogView {
 public:
  explicit DialogWindow(DialogEvents& events);
  ~DialogWindow() override;
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;

  // Creates the hidden window with every control; false when the system refused.
  bool Create(HINSTANCE instance);
  // Raises Form_Load.
  void Load();
  // Shows the window and runs the thread's messages until the dialog is unloaded or the
  // thread is asked to quit.
  void RunModal();
  // Raises Form_Unload and destroys the window.
  void Close();

  HWND handle() const { return window_; }
  // The procedure of the dialog's window class.
  static WNDPROC Procedure() { return &WindowProcedure; }
  bool UnloadRequested() const { return unloadRequested_; }

  // --- DialogView ---
  std::int16_t MemberCount(Control group) const override;
  void SetEnabled(ControlRef control, bool enabled) override;
  bool IsEnabled(ControlRef control) const override;
  void SetFocus(ControlRef control) override;
  std::wstring Text(ControlRef control) const override;
  void SetText(ControlRef control, const std::wstring& text) override;
  std::int16_t Value(ControlRef control) const override;
  void SetValue(ControlRef control, std::int16_t value) override;
  void AddItem(ControlRef list, const std::wstring& text) override;
  void ClearItems(ControlRef list) override;
  int ItemCount(ControlRef list) const override;
  std::wstring ItemText(ControlRef list, int position) const override;
  int SelectedIndex(ControlRef list) const override;
  void SetSelectedIndex(ControlRef list, int position) override;
  void Unload() override;

 private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(int id, int code);
  // Runs a handler the window raises; nothing it throws leaves the window procedure.
  template <typename Handler>
  void RaiseFromWindow(Handler&& handler);
  void RaiseClick(ControlRef list);
  bool CreateControls(HINSTANCE instance);
  void FitComboHeight(HWND combo, int height);
  bool SwallowKey(const MSG& message) const;
  void FocusFirstTabStop();

  HWND At(ControlRef control) const;

  DialogEvents& events_;
  HWND window_ = nullptr;
  std::map<int, HWND> controls_;  // by control identifier
  unique_font font_;
  unique_icon icon_;
  int dotsPerInch_ = 96;
  HWND lastFocus_ = nullptr;  // the focused control while another window is active
  bool loaded_ = false;
  bool unloadRequested_ = false;
};

}  // namespace sheetlore::win32
