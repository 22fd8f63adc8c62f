// The simulated system: a fake clock that only Sleep and the window polls move, windows
// that a test scripts or opens from hooks, and message boxes that are recorded.
#include "platform/sim/sim_state.h"

namespace sheetlore::sim {
namespace {

bool IsOpen(const ScriptedWindow& window, std::uint64_t now) {
  return window.opensAt <= now && (!window.closesAt || now < *window.closesAt);
}

}  // namespace

bool SimSystem::GetVersionEx(std::uint32_t& platformId) {
  if (state_.recorder.Record(Api::GetVersionEx, {}) || state_.versionFails) return false;
  platformId = state_.platformId;
  return true;
}

WindowHandle SimSystem::FindWindow(const std::wstring& caption) {
  const bool injected = state_.recorder.Record(Api::FindWindow, {caption});
  if (state_.onFindWindow) state_.onFindWindow(caption);
  state_.clock += state_.pollCost;
  if (injected) return 0;
  for (const ScriptedWindow& window : state_.windows) {
    if (EqualNoCase(window.caption, caption) && IsOpen(window, state_.clock)) return window.handle;
  }
  return 0;
}

void SimSystem::Sleep(std::uint32_t milliseconds) {
  state_.recorder.Record(Api::Sleep, {Text(milliseconds)});
  state_.clock += milliseconds;
}

void SimSystem::PumpMessages() {
  state_.recorder.Record(Api::PumpMessages, {});
  if (state_.onPumpMessages) state_.onPumpMessages();
}

std::uint64_t SimSystem::Milliseconds() { return state_.clock; }

void SimSystem::MessageBox(const std::wstring& text, const std::wstring& title,
                           std::uint32_t style) {
  state_.recorder.Record(Api::MessageBox, {text, title, Text(style)});
  const Message message{text, title, style};
  state_.messages.push_back(message);
  if (state_.onMessageBox) state_.onMessageBox(message);
}

}  // namespace sheetlore::sim
