// The add-printer wizard wait: see wizard_wait.h.
#include "component/wizard_wait.h"

#include <optional>

namespace sheetlore {

WizardWaitState NextWizardWaitState(WizardWaitState state, bool windowFound) {
  switch (state) {
    case WizardWaitState::WindowFromBefore:
      return windowFound ? state : WizardWaitState::WaitingForWindow;
    case WizardWaitState::WaitingForWindow:
      return windowFound ? WizardWaitState::WindowOpen : state;
    case WizardWaitState::WindowOpen:
      return windowFound ? state : WizardWaitState::WindowClosed;
    case WizardWaitState::WindowClosed:
      break;
  }
  return state;
}

WizardWaitState InitialWizardWaitState(System& system, const std::wstring& caption) {
  return system.FindWindow(caption) != 0 ? WizardWaitState::WindowFromBefore
                                         : WizardWaitState::WaitingForWindow;
}

void WaitForWizardWindow(System& system, const std::wstring& caption, WizardWaitState initial,
                         const WizardWaitTiming& timing) {
  WizardWaitState state = initial;
  std::optional<std::uint64_t> waitingSince;
  while (state != WizardWaitState::WindowClosed) {
    system.PumpMessages();
    const bool windowFound = system.FindWindow(caption) != 0;
    state = NextWizardWaitState(state, windowFound);
    if (state == WizardWaitState::WindowClosed) break;
    if (state == WizardWaitState::WaitingForWindow) {
      const std::uint64_t now = system.Milliseconds();
      if (!waitingSince) waitingSince = now;
      if (now - *waitingSince >= timing.appearTimeoutMs) return;
    }
    system.Sleep(timing.pollIntervalMs);
  }
}

}  // namespace sheetlore
