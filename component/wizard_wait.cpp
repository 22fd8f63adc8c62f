// The add-printer wizard wait: see wizard_wait.h.
#include "component/wizard_wait.h"

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

WizardWaitOutcome WaitForWizardWindow(System& system, const std::wstring& caption,
                                      const WizardWaitTiming& timing) {
  WizardWaitState state = WizardWaitState::WindowFromBefore;
  std::uint64_t waitingSince = 0;
  for (;;) {
    system.PumpMessages();
    const bool windowFound = system.FindWindow(caption) != 0;
    const WizardWaitState next = NextWizardWaitState(state, windowFound);
    if (next == WizardWaitState::WindowClosed) return WizardWaitOutcome::WindowClosed;
    if (next == WizardWaitState::WaitingForWindow) {
      const std::uint64_t now = system.Milliseconds();
      if (state != next) waitingSince = now;
      if (now - waitingSince >= timing.appearTimeoutMs) return WizardWaitOutcome::NeverAppeared;
    }
    state = next;
    system.Sleep(timing.pollIntervalMs);
  }
}

}  // namespace sheetlore
