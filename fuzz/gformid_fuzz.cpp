// gFormID's reading of a form name ("width/height" in inches) on arbitrary names, against a
// simulated printer. It answers a position, 0, or one of the documented run-time errors
// (9 without a "/", 6 for a size beyond the spooler's range); no printer stays open; a
// position it answers names a form of the wanted size or the form it added under that name.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "component/cls_print.h"
#include "component/number_text.h"
#include "fuzz/fuzz_input.h"
#include "platform/sim/fold_case.h"
#include "platform/sim/sim_platform.h"

namespace {

using sheetlore::AutomationError;
using sheetlore::ClsPrint;
using sheetlore::FormInfo;
using sheetlore::fuzz::Check;
namespace sim = sheetlore::sim;

const std::wstring kPrinter = L"Office";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  sheetlore::fuzz::Input input(data, size);
  const bool currentPrinter = input.Byte() % 2 == 0;
  const std::wstring name = input.Rest();

  sim::SimPlatform simulation;
  simulation.AddPrinter(kPrinter);
  ClsPrint cls(simulation.platform());
  const std::size_t formsBefore = simulation.Forms().size();

  std::int32_t position = 0;
  try {
    position = cls.gFormID(name, currentPrinter ? nullptr : simulation.Printer(kPrinter));
  } catch (const AutomationError& error) {
    Check(error.number() == 9 || error.number() == 6, "only errors 9 and 6 escape", name);
    Check(error.number() != 9 || name.find(L'/') == std::wstring::npos,
          "error 9 only for a name without a slash", name);
    Check(simulation.OpenHandleCount() == 0, "no printer stays open after an error", name);
    return 0;
  }
  Check(name.find(L'/') != std::wstring::npos, "a name without a slash is an error", name);
  Check(simulation.OpenHandleCount() == 0, "no printer stays open", name);

  const auto& forms = simulation.Forms();
  Check(position >= 0 && static_cast<std::size_t>(position) <= forms.size(),
        "the position lies in the printer's list", name);
  if (position == 0) {
    Check(forms.size() == formsBefore, "a failed lookup adds nothing", name);
    return 0;
  }
  const FormInfo& form = forms[static_cast<std::size_t>(position) - 1];
  if (forms.size() > formsBefore) {
    Check(static_cast<std::size_t>(position) == forms.size(), "an added form is the last one",
          name);
    Check(form.name == name, "the added form carries the name asked for", name);
  } else {
    // The width and height it matched, as the lookup reads them: inches from the name.
    const std::size_t slash = name.find(L'/');
    const std::size_t second = name.find(L'/', slash + 1);
    const double width = sheetlore::ReadNumber(name.substr(0, slash)) * 2.54;
    const double height = sheetlore::ReadNumber(name.substr(
        slash + 1, second == std::wstring::npos ? std::wstring::npos : second - slash - 1));
    Check(std::fabs(form.cx / 10000.0 - width) < 1e-9 &&
              std::fabs(form.cy / 10000.0 - height * 2.54) < 1e-9,
          "a form found has the size asked for", name);
  }
  return 0;
}
