#pragma once
// The maintenance dialog's window as the dialog's procedures see it: controls addressed by
// their group and index, the handlers the window raises, and the host that shows the window
// modally. platform/win32 implements it over real windows, platform/sim with headless
// controls for the unit tests.

#include <cstdint>
#include <string>

namespace sheetlore {

// The indexed control groups of the dialog. A control without an index is the one member
// (index 0) of its own group.
enum class Control : std::uint8_t {
  Frame1,
  List1,
  Option1,
  Cmd1,
  Label1,
  Text1,
  lbCap,
  Label2,
  Text2,
  Check1,
  Combo1,
};

struct ControlRef {
  Control group;
  std::int16_t index = 0;

  friend bool operator==(const ControlRef&, const ControlRef&) = default;
};

// Check box values.
constexpr std::int16_t kUnchecked = 0;
constexpr std::int16_t kChecked = 1;
constexpr std::int16_t kGrayed = 2;

// The controls of one open dialog.
class DialogView {
 public:
  virtual ~DialogView() = default;

  // How many members the group has.
  virtual std::int16_t MemberCount(Control group) const = 0;

  virtual void SetEnabled(ControlRef control, bool enabled) = 0;
  virtual bool IsEnabled(ControlRef control) const = 0;
  virtual void SetFocus(ControlRef control) = 0;

  // The caption of a frame, label, button, check box or option button; the text of a text
  // field; the text of the drop-down list's chosen entry (empty when none).
  virtual std::wstring Text(ControlRef control) const = 0;
  virtual void SetText(ControlRef control, const std::wstring& text) = 0;

  // A check box's value (kUnchecked, kChecked, kGrayed) or an option button's (1 selected,
  // 0 not). Setting a value from code raises no handler.
  virtual std::int16_t Value(ControlRef control) const = 0;
  virtual void SetValue(ControlRef control, std::int16_t value) = 0;

  // List boxes and the drop-down list. Clearing and adding raise no handler; setting the
  // selected position raises the control's click handler, as a user's choice does. A
  // position of -1 means no entry.
  virtual void AddItem(ControlRef list, const std::wstring& text) = 0;
  virtual void ClearItems(ControlRef list) = 0;
  virtual int ItemCount(ControlRef list) const = 0;
  virtual std::wstring ItemText(ControlRef list, int position) const = 0;
  virtual int SelectedIndex(ControlRef list) const = 0;
  virtual void SetSelectedIndex(ControlRef list, int position) = 0;

  // Ends the dialog: once the running handler has returned, Form_Unload is raised and the
  // modal show returns.
  virtual void Unload() = 0;
};

// The handlers a dialog window raises. Every handler runs on the dialog's thread; a handler
// may raise others (by selecting a list entry from code), which run before it continues.
class DialogEvents {
 public:
  virtual ~DialogEvents() = default;
  // Raised once the controls exist, before the window is first shown.
  virtual void Form_Load(DialogView& view) = 0;
  virtual void Combo1_Click() = 0;
  virtual void List1_Click(std::int16_t Index) = 0;
  virtual void Option1_Click(std::int16_t Index) = 0;
  virtual void Cmd1_Click(std::int16_t Index) = 0;
  // Raised when the dialog closes, by Unload or by the window being closed; the view is
  // gone afterwards.
  virtual void Form_Unload() = 0;
};

// Creates dialog windows and runs them modally.
class DialogHost {
 public:
  virtual ~DialogHost() = default;
  // Creates the window with its controls, raises Form_Load, shows the window modally for the
  // thread and returns once the dialog has unloaded (after Form_Unload).
  virtual void ShowModal(DialogEvents& events) = 0;
};

}  // namespace sheetlore
