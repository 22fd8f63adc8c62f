// The simulated system: a fake clock that only Sleep and the window polls move, windows
// that a test scripts or opens from hooks, and message boxes that are recorded.
#include <map>

#include "platform/sim/sim_state.h"

namespace sheetlore::sim {
namespace {

bool IsOpen(const ScriptedWindow& window, std::uint64_t now) {
  return window.opensAt <= now && (!window.closesAt || now < *window.closesAt);
}

}  // namespace

bool SimSystem::GetVersionEx(std::uint32_t& platformId) {
  if (state_.recorder.Record(Api::GetVersionEx, {}) || state_.versionFails) {
    lastError_ = state_.injectedError;
    return false;
  }
  platformId = state_.platformId;
  return true;
}

WindowHandle SimSystem::FindWindow(const std::wstring& caption) {
  const bool injected = state_.recorder.Record(Api::FindWindow, {caption});
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
}

std::wstring SimSystem::ErrorText(std::uint32_t code) {
  static const std::map<std::uint32_t, std::wstring> kTexts = {
      {2, L"The system cannot find the file specified."},
      {5, L"Access is denied."},
      {6, L"The handle is invalid."},
      {8, L"Not enough memory resources are available to process this command."},
      {32, L"The process cannot access the file because it is being used by another process."},
      {80, L"The file exists."},
      {87, L"The parameter is incorrect."},
      {122, L"The data area passed to a system call is too small."},
      {258, L"The wait operation timed out."},
      {1113, L"No mapping for the Unicode character exists in the target multi-byte code page."},
      {1801, L"The printer name is invalid."},
      {1902, L"The specified form name is invalid."},
      {1903, L"The specified form size is invalid."},
  };
  const auto found = kTexts.find(code);
  return found == kTexts.end() ? std::wstring() : found->second;
}

}  // namespace sheetlore::sim
