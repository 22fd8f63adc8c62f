#pragma once
// The wait for the add-printer wizard's window, as a small state machine over the window
// lookup by caption. Each pass lets the thread's window messages run, looks for the window,
// then sleeps a little, so the wait costs next to no processor time and the caller's windows
// stay responsive.
//
// States, in order:
//   0 a window with the caption may still be open from before: wait until none is seen,
//   1 no such window is open: wait for the wizard's window to appear,
//   2 the wizard's window is open: wait until it closes,
//   3 the wizard's window has closed: the wait is over.
// A pass moves the state at most one step. The wait starts in state 0 only when a window with
// the caption was already open before the wizard was started (InitialWizardWaitState looks
// just before the start); otherwise a window seen by the first pass is the wizard's own, even
// if it opened at once. Only state 1 is bounded in time: a window that never appears (a
// wizard with another title, or none started at all) ends the wait after appearTimeout,
// counted from the first pass in state 1, i.e. from the start of the wait or from when a
// window open from before closed. An open window is waited for as long as it stays open, in
// state 0 as in state 2.

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace sheetlore {

enum class WizardWaitState : std::uint8_t {
  WindowFromBefore = 0,
  WaitingForWindow = 1,
  WindowOpen = 2,
  WindowClosed = 3,
};

// The next state after one pass that did or did not find a window with the caption.
WizardWaitState NextWizardWaitState(WizardWaitState state, bool windowFound);

struct WizardWaitTiming {
  std::uint32_t pollIntervalMs = 50;
  std::uint64_t appearTimeoutMs = 60'000;
};

// The state a wait should start in, from a look for a window titled caption taken before the
// wizard is started.
WizardWaitState InitialWizardWaitState(System& system, const std::wstring& caption);

// Waits, from initial, for a window titled caption to open and close, or for the bound on its
// appearing, through system's message pump, window lookup, sleep and clock. The caller goes on
// alike either way, so which of the two ended the wait is not returned.
void WaitForWizardWindow(System& system, const std::wstring& caption, WizardWaitState initial,
                         const WizardWaitTiming& timing = {});

}  // namespace sheetlore
