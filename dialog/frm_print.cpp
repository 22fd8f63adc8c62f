// FrmPrint's shared machinery: the library-level state, the handler guard, the input modes,
// the unload, and the modal show.
#include "dialog/frm_print.h"

#include "dialog/dialog_text.h"
#include "platform/dialog_layout.h"

namespace sheetlore {
namespace {

const std::wstring kAlreadyShown = L"Form already displayed; can't show modally";
const std::wstring kNoDialogWindow = L"The maintenance dialog cannot be shown here";
constexpr std::int32_t kENotImpl = static_cast<std::int32_t>(0x80004001u);

// Gives the handler depth back however the handler ends.
class DepthScope {
 public:
  explicit DepthScope(int& depth) : depth_(depth) { ++depth_; }
  ~DepthScope() { --depth_; }
  DepthScope(const DepthScope&) = delete;
  DepthScope& operator=(const DepthScope&) = delete;

 private:
  int& depth_;
};

}  // namespace

DialogLibraryState& ThreadDialogState() {
  thread_local DialogLibraryState state;
  return state;
}

void FrmPrint::RunHandler(const std::function<void()>& body) {
  const bool raisedByWindow = handlerDepth_ == 0;
  DepthScope depth(handlerDepth_);
  if (!raisedByWindow) {
    // Raised from code inside another handler: a failure ends that one too.
    body();
    return;
  }
  try {
    body();
  } catch (const AutomationError& error) {
    // The command ends here; the user learns why, and nothing crosses the window procedure.
    ShowMessage(error.description().empty() ? kAutomationErrorText : error.description());
  }
}

ClsPrint& FrmPrint::Component() const {
  const auto& component = ThreadDialogState().component;
  if (!component) throw AutomationError::ObjectNotSet();
  return *component;
}

DialogView& FrmPrint::View() const {
  if (!view_) throw AutomationError::ObjectNotSet();
  return *view_;
}

std::wstring FrmPrint::DialogPrinterName() const {
  if (!printer_) throw AutomationError::ObjectNotSet();
  return printer_->DeviceName();
}

std::wstring FrmPrint::TrimmedName() const {
  return dialog_text::TrimSpaces(View().Text({Control::Text2}));
}

bool FrmPrint::OptionSelected(std::int16_t index) const {
  return View().Value({Control::Option1, index}) != 0;
}

bool FrmPrint::IsSet(std::int16_t checkBox) const {
  return View().Value({Control::Check1, checkBox}) == kChecked;
}

bool FrmPrint::FieldsHoldInches() const {
  if (OptionSelected(0)) return false;
  if (OptionSelected(1)) return true;
  // No option chosen yet: the unit captions say what the fields hold.
  return View().Text({Control::lbCap, 0}) == layout::kInches;
}

void FrmPrint::ShowMessage(const std::wstring& text) {
  platform_.system.MessageBox(text, kMessageTitle, kMessageStyle);
}

void FrmPrint::SetInputMode(std::int16_t Mode) {
  DialogView& view = View();
  const std::int16_t fields = view.MemberCount(Control::Text1);
  const std::int16_t lists = view.MemberCount(Control::List1);
  if (Mode == 0) {
    const std::int16_t buttons = view.MemberCount(Control::Cmd1);
    for (std::int16_t i = 0; i < fields; ++i) {
      view.SetEnabled({Control::Text1, i}, false);
      if (i < lists) view.SetEnabled({Control::List1, i}, true);
      if (i < buttons) view.SetEnabled({Control::Cmd1, i}, true);
    }
  } else if (Mode == 1) {
    const std::int16_t options = view.MemberCount(Control::Option1);
    for (std::int16_t i = 0; i < fields; ++i) {
      view.SetEnabled({Control::Text1, i}, true);
      if (i < options) view.SetEnabled({Control::Option1, i}, true);
      if (i < lists) view.SetEnabled({Control::List1, i}, false);
    }
    view.SetEnabled({Control::Cmd1, 0}, false);
    view.SetEnabled({Control::Cmd1, 2}, false);
    view.SetEnabled({Control::Cmd1, 3}, false);
    view.SetEnabled({Control::Text2}, true);
    view.SetFocus({Control::Text2});
  }
}

void FrmPrint::Form_Unload() {
  view_ = nullptr;
  printer_.reset();
  DialogLibraryState& state = ThreadDialogState();
  state.component.reset();
  // The caller that showed the dialog still holds it; the next show starts afresh.
  if (state.instance.get() == this) state.instance.reset();
}

void ShowMaintenanceDialog(Platform& platform) {
  if (!platform.dialogs) throw AutomationError(kENotImpl, kNoDialogWindow);
  DialogLibraryState& state = ThreadDialogState();
  if (state.instance) throw AutomationError::Numbered(400, kAlreadyShown);

  state.instance = std::make_shared<FrmPrint>(platform);
  state.component = std::make_shared<ClsPrint>(platform);
  const std::shared_ptr<FrmPrint> dialog = state.instance;
  try {
    platform.dialogs->ShowModal(*dialog);
  } catch (...) {
    if (state.instance == dialog) {
      state.component.reset();
      state.instance.reset();
    }
    throw;
  }
  // A window that ended without unloading leaves nothing behind either.
  if (state.instance == dialog) {
    state.component.reset();
    state.instance.reset();
  }
}

}  // namespace sheetlore
