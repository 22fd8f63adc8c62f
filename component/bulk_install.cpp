// FormAllAdd: installs every stored paper on one printer.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "component/cls_print.h"
#include "component/number_text.h"
#include "component/paper_store_file.h"

namespace sheetlore {
namespace {

const std::wstring kInstallFinished = L"新增完成";
// The install loop counts papers with a 16-bit counter: a store of more papers than it can
// count ends with an overflow, before anything is installed.
constexpr std::size_t kMostPapers = 32767;

// A value as the store would write it and read it back.
double ThroughNumberText(double value) { return ReadNumber(NumberText(value)); }

}  // namespace

void ClsPrint::FormAllAdd(PrinterRef& PrintX) {
  if (!PrintCheck(true, kAddPrinterWizardCaption)) return;

  // With nothing stored the list holds one empty name, which has no paper to install.
  std::vector<std::wstring> names;
  IniReadValue(0, std::wstring(), &names);
  if (names.size() > kMostPapers) throw AutomationError::Overflow();

  for (const std::wstring& name : names) {
    const rePaPer paper = IniReadValue(1, paper_store::TrimBlanks(name));
    std::array<double, 6> values = {paper.W, paper.H, paper.L, paper.R, paper.T, paper.B};
    for (double& value : values) {
      value = ThroughNumberText(value);
      value = PaperCentimetres(paper.mMode, value);
    }
    // The printer is read for every listed name, so a missing printer object or an unreadable
    // device name ends the call even when no paper can be installed.
    if (!PrintX) throw AutomationError::ObjectNotSet();
    std::wstring printerName = PrintX->DeviceName();
    // An all-zero record is what the store gives for a paper it cannot read (a listed name
    // whose section the profile service cannot find): it would install as a 0 x 0 form, and
    // is passed over.
    if (paper == rePaPer{}) continue;
    std::wstring formName = name;  // as listed, blanks and all
    PrintAddForm(printerName, formName, values[0], values[1], values[2], values[3], values[4],
                 values[5]);
  }

  platform_.system.MessageBox(kInstallFinished, kMessageTitle, kMessageStyle);
}

}  // namespace sheetlore
