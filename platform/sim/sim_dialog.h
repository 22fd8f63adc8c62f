#pragma once
// Headless dialog windows for the unit tests. SimDialogHost shows a dialog "modally" by
// raising Form_Load and then running the test's user session, which acts as the user would:
// clicking buttons, choosing list entries, typing, ticking boxes, choosing unit options and
// closing the window. Each action raises the handlers the real window raises and is refused
// (returns false) where a user could not do it: on a disabled control, a missing entry or a
// closed dialog. When the session returns with the dialog still open, the user closes it.
//
// Message boxes are the simulated platform's (SimPlatform::Messages).

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/dialog_layout.h"
#include "platform/dialog_view.h"

namespace sheetlore::sim {

class SimDialog final : public DialogView {
 public:
  explicit SimDialog(DialogEvents& events);

  // --- DialogView, as the dialog's procedures use it ---
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

  // --- What the user does ---
  [[nodiscard]] bool Click(ControlRef button);
  [[nodiscard]] bool Choose(ControlRef list, int position);
  [[nodiscard]] bool Choose(ControlRef list, const std::wstring& entry);
  [[nodiscard]] bool Type(ControlRef field, const std::wstring& text);
  [[nodiscard]] bool Tick(ControlRef checkBox, bool ticked);
  [[nodiscard]] bool ChooseOption(std::int16_t index);
  // The window's close box.
  void Close();

  // --- What the test looks at ---
  bool IsOpen() const { return open_; }
  std::vector<std::wstring> Items(ControlRef list) const;
  std::optional<ControlRef> Focus() const { return focus_; }
  // The six value fields and the six unit captions, in index order.
  std::vector<std::wstring> FieldTexts() const;
  std::vector<std::wstring> UnitCaptions() const;

  // Used by SimDialogHost.
  void Load();
  void FinishUnloadIfRequested();
  void ForceUnload();

 private:
  struct ControlState {
    layout::Kind kind = layout::Kind::Label;
    std::wstring text;
    bool enabled = true;
    std::int16_t value = 0;
    std::vector<std::wstring> items;
    int selected = -1;
  };

  ControlState& At(ControlRef control);
  const ControlState& At(ControlRef control) const;
  bool UserCanUse(ControlRef control) const;
  void RaiseClick(ControlRef list);
  void Raise(const std::function<void()>& handler);

  DialogEvents& events_;
  std::map<std::pair<Control, std::int16_t>, ControlState> controls_;
  std::optional<ControlRef> focus_;
  bool open_ = false;
  bool unloadRequested_ = false;
  int handlerDepth_ = 0;
};

class SimDialogHost final : public DialogHost {
 public:
  using UserSession = std::function<void(SimDialog&)>;

  // What the user does with every dialog shown from now on.
  void OnShow(UserSession session) { session_ = std::move(session); }
  void ShowModal(DialogEvents& events) override;

  std::size_t ShowCount() const { return shows_; }
  // The last dialog shown, open or closed; null before the first.
  SimDialog* LastDialog() const { return last_.get(); }

 private:
  UserSession session_;
  std::shared_ptr<SimDialog> last_;
  std::size_t shows_ = 0;
};

}  // namespace sheetlore::sim
