// Headless dialog controls built from the dialog's layout table.
#include "platform/sim/sim_dialog.h"

#include <stdexcept>

namespace sheetlore::sim {
namespace {

using layout::Kind;

bool IsList(Kind kind) { return kind == Kind::ListBox || kind == Kind::DropDownList; }

}  // namespace

SimDialog::SimDialog(DialogEvents& events) : events_(events) {
  for (const layout::ControlLayout& placed : layout::kControls) {
    ControlState state;
    state.kind = placed.kind;
    state.text = std::wstring(placed.caption);
    controls_.emplace(std::make_pair(placed.group, placed.index), std::move(state));
  }
}

SimDialog::ControlState& SimDialog::At(ControlRef control) {
  auto it = controls_.find({control.group, control.index});
  if (it == controls_.end()) throw std::out_of_range("the dialog has no such control");
  return it->second;
}

const SimDialog::ControlState& SimDialog::At(ControlRef control) const {
  auto it = controls_.find({control.group, control.index});
  if (it == controls_.end()) throw std::out_of_range("the dialog has no such control");
  return it->second;
}

std::int16_t SimDialog::MemberCount(Control group) const { return layout::MemberCount(group); }

void SimDialog::SetEnabled(ControlRef control, bool enabled) { At(control).enabled = enabled; }
bool SimDialog::IsEnabled(ControlRef control) const { return At(control).enabled; }
void SimDialog::SetFocus(ControlRef control) {
  At(control);  // must exist
  focus_ = control;
}

std::wstring SimDialog::Text(ControlRef control) const {
  const ControlState& state = At(control);
  if (IsList(state.kind)) {
    return state.selected >= 0 ? state.items[static_cast<std::size_t>(state.selected)]
                               : std::wstring();
  }
  return state.text;
}

void SimDialog::SetText(ControlRef control, const std::wstring& text) {
  ControlState& state = At(control);
  if (IsList(state.kind)) throw std::logic_error("a list's text follows its selection");
  state.text = text;
}

std::int16_t SimDialog::Value(ControlRef control) const { return At(control).value; }

void SimDialog::SetValue(ControlRef control, std::int16_t value) {
  ControlState& state = At(control);
  if (state.kind == Kind::OptionButton) {
    // One option of the group is selected at a time.
    if (value != 0) {
      for (auto& [key, other] : controls_) {
        if (key.first == control.group) other.value = 0;
      }
    }
    state.value = value != 0 ? 1 : 0;
    return;
  }
  state.value = value;
}

void SimDialog::AddItem(ControlRef list, const std::wstring& text) {
  At(list).items.push_back(text);
}

void SimDialog::ClearItems(ControlRef list) {
  ControlState& state = At(list);
  state.items.clear();
  state.selected = -1;
}

int SimDialog::ItemCount(ControlRef list) const { return static_cast<int>(At(list).items.size()); }

std::wstring SimDialog::ItemText(ControlRef list, int position) const {
  const ControlState& state = At(list);
  if (position < 0 || position >= static_cast<int>(state.items.size())) return std::wstring();
  return state.items[static_cast<std::size_t>(position)];
}

int SimDialog::SelectedIndex(ControlRef list) const { return At(list).selected; }

void SimDialog::SetSelectedIndex(ControlRef list, int position) {
  ControlState& state = At(list);
  if (position < -1 || position >= static_cast<int>(state.items.size())) {
    throw std::out_of_range("no such list entry");
  }
  state.selected = position;
  if (position >= 0) RaiseClick(list);
}

void SimDialog::Unload() { unloadRequested_ = true; }

void SimDialog::Raise(const std::function<void()>& handler) {
  ++handlerDepth_;
  try {
    handler();
  } catch (...) {
    --handlerDepth_;
    throw;
  }
  --handlerDepth_;
  FinishUnloadIfRequested();
}

void SimDialog::RaiseClick(ControlRef list) {
  if (list.group == Control::Combo1) {
    Raise([this] { events_.Combo1_Click(); });
  } else if (list.group == Control::List1) {
    Raise([this, list] { events_.List1_Click(list.index); });
  }
}

void SimDialog::Load() {
  open_ = true;
  Raise([this] { events_.Form_Load(*this); });
}

void SimDialog::FinishUnloadIfRequested() {
  if (!unloadRequested_ || handlerDepth_ > 0 || !open_) return;
  ForceUnload();
}

void SimDialog::ForceUnload() {
  if (!open_) return;
  open_ = false;
  unloadRequested_ = false;
  events_.Form_Unload();
}

bool SimDialog::UserCanUse(ControlRef control) const {
  return open_ && handlerDepth_ == 0 && At(control).enabled;
}

bool SimDialog::Click(ControlRef button) {
  if (button.group != Control::Cmd1 || !UserCanUse(button)) return false;
  focus_ = button;
  Raise([this, button] { events_.Cmd1_Click(button.index); });
  return true;
}

bool SimDialog::Choose(ControlRef list, int position) {
  if (!UserCanUse(list) || !IsList(At(list).kind)) return false;
  ControlState& state = At(list);
  if (position < 0 || position >= static_cast<int>(state.items.size())) return false;
  focus_ = list;
  state.selected = position;
  RaiseClick(list);
  return true;
}

bool SimDialog::Choose(ControlRef list, const std::wstring& entry) {
  const std::vector<std::wstring> items = Items(list);
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i] == entry) return Choose(list, static_cast<int>(i));
  }
  return false;
}

bool SimDialog::Type(ControlRef field, const std::wstring& text) {
  if (!UserCanUse(field) || At(field).kind != Kind::TextField) return false;
  focus_ = field;
  At(field).text = text;
  return true;
}

bool SimDialog::Tick(ControlRef checkBox, bool ticked) {
  if (!UserCanUse(checkBox) || At(checkBox).kind != Kind::CheckBox) return false;
  focus_ = checkBox;
  At(checkBox).value = ticked ? kChecked : kUnchecked;
  return true;
}

bool SimDialog::ChooseOption(std::int16_t index) {
  const ControlRef option{Control::Option1, index};
  if (!UserCanUse(option)) return false;
  focus_ = option;
  SetValue(option, 1);
  Raise([this, index] { events_.Option1_Click(index); });
  return true;
}

void SimDialog::Close() {
  if (handlerDepth_ == 0) ForceUnload();
}

std::vector<std::wstring> SimDialog::Items(ControlRef list) const { return At(list).items; }

std::vector<std::wstring> SimDialog::FieldTexts() const {
  std::vector<std::wstring> texts;
  for (std::int16_t i = 0; i < MemberCount(Control::Text1); ++i) {
    texts.push_back(Text({Control::Text1, i}));
  }
  return texts;
}

std::vector<std::wstring> SimDialog::UnitCaptions() const {
  std::vector<std::wstring> captions;
  for (std::int16_t i = 0; i < MemberCount(Control::lbCap); ++i) {
    captions.push_back(Text({Control::lbCap, i}));
  }
  return captions;
}

void SimDialogHost::ShowModal(DialogEvents& events) {
  auto dialog = std::make_shared<SimDialog>(events);
  last_ = dialog;
  ++shows_;
  try {
    dialog->Load();
    if (dialog->IsOpen() && session_) session_(*dialog);
  } catch (...) {
    dialog->ForceUnload();
    throw;
  }
  dialog->ForceUnload();  // the user closes what the session left open
}

}  // namespace sheetlore::sim
