// The simulated shell: counts wizard starts and runs the test's hook, which plays the user.
#include "platform/sim/sim_state.h"

namespace sheetlore::sim {

void SimShell::StartAddPrinterWizard() {
  const bool injected = state_.recorder.Record(L"StartAddPrinterWizard", {});
  if (injected || state_.wizardFails) {
    // What the shell's automation object reports when it cannot run the verb.
    throw AutomationError(static_cast<std::int32_t>(0x80004005u), L"Automation error");
  }
  ++state_.wizardStarts;
  if (state_.onWizardStart) state_.onWizardStart();
}

}  // namespace sheetlore::sim
