// The simulated shell: counts wizard starts and runs the test's hook, which plays the user.
#include "platform/sim/sim_state.h"

namespace sheetlore::sim {

void SimShell::StartAddPrinterWizard() {
  const bool injected = state_.recorder.Record(Api::StartAddPrinterWizard, {});
  if (injected || state_.wizardFails) {
    // What the shell's automation object reports when it cannot run the verb.
    throw AutomationError::Unspecified();
  }
  ++state_.wizardStarts;
  if (state_.onWizardStart) state_.onWizardStart();
}

}  // namespace sheetlore::sim
