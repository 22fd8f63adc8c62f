// The environment utilities: inches and centimetres, the platform family, and making sure a
// printer is installed (with the add-printer wizard when asked).
#include <cmath>

#include "component/cls_print.h"
#include "component/wizard_wait.h"

namespace sheetlore {
namespace {

// How long PrintCheck lets the wizard's last steps settle before it looks at the printers
// again.
constexpr std::uint32_t kAfterWizardPauseMs = 2000;

bool AnyPrinterInstalled(Host& host) { return !host.Printers().empty(); }

}  // namespace

double ClsPrint::InchToCm(double& mValue, std::int16_t& mMode) {
  if (mMode == kVariantTrue) {
    const double centimetres = mValue * kCentimetresPerInch;
    if (std::isinf(centimetres) && std::isfinite(mValue)) throw AutomationError::Overflow();
    return centimetres;
  }
  if (mMode == kVariantFalse) return mValue / kCentimetresPerInch;
  return 0;
}

double ClsPrint::InchToCm(double mValue, bool toCentimetres) {
  std::int16_t mode = toCentimetres ? kVariantTrue : kVariantFalse;
  return InchToCm(mValue, mode);
}

double ClsPrint::PaperCentimetres(std::uint8_t mMode, double value) {
  return IsInches(mMode) ? InchToCm(value, true) : value;
}

std::int16_t ClsPrint::GetWindows() {
  std::uint32_t platformId = 0;
  if (!platform_.system.GetVersionEx(platformId)) return 0;
  // 1 (Windows 95/98/Me) and 2 (the NT family) as they are; other identifiers likewise.
  return static_cast<std::int16_t>(platformId);
}

bool ClsPrint::PrintCheck(std::int16_t& mMode, std::wstring& CaptionName) {
  return PrintCheck(mMode == kVariantTrue, CaptionName);
}

bool ClsPrint::PrintCheck(bool runWizard, const std::wstring& caption) {
  Host& host = platform_.host;
  if (AnyPrinterInstalled(host)) return true;
  if (!runWizard) return false;

  System& system = platform_.system;
  // A window with the caption open before the start is not the wizard's: look first, so that
  // a wizard window that opens at once is not taken for an earlier one.
  const WizardWaitState initial = InitialWizardWaitState(system, caption);
  platform_.shell.StartAddPrinterWizard();
  // Whether the window closed or never appeared, the printers decide the answer.
  WaitForWizardWindow(system, caption, initial);
  system.PumpMessages();
  system.Sleep(kAfterWizardPauseMs);
  system.PumpMessages();
  return AnyPrinterInstalled(host);
}

}  // namespace sheetlore
