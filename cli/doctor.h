#pragma once
// sheetlore doctor: what a support person asks first, one finding per line with a verdict.
// Each group of checks reads the system as it is and changes nothing, except the write test,
// which adds one temporary form and takes it away again.

#include <string>
#include <vector>

#include "cli/platform_error.h"
#include "component/cls_print.h"

namespace sheetlore::cli {

struct Finding {
  std::wstring area;    // "x64 registration", "paper store", "printers", "write test"
  std::wstring check;   // what was looked at
  bool ok = false;      // the verdict
  std::wstring detail;  // what was found
  std::optional<PlatformError> error = std::nullopt;  // what Windows said, when a call failed
};
using Findings = std::vector<Finding>;

// The class's registration in each registry view this Windows has (64-bit and 32-bit, or
// only 32-bit): the ProgID, the class, its server file, the threading model and the type
// library, which must load from the registered path.
Findings RegistrationFindings();

// Whether users other than administrators can change binary (a registered DLL, the tool) or
// its folder: either is a failure with its remedy.
Findings CodeLocationFindings(const std::wstring& area, const std::wstring& binary);

// The store's file (as the machine's setting names it, or PrintSet.ini beside the program): where
// it is, whether it exists and can be written, its encoding, how many papers it lists and whether
// each of them reads back with a size.
Findings PaperStoreFindings(ClsPrint& component);

// The installed printers and the default one.
Findings PrinterFindings(ClsPrint& component);

// Whether forms can really be changed on the printer: a temporary form is added, looked for,
// deleted and looked for again, and the printer's forms must end as they began.
Findings WriteTestFindings(ClsPrint& component, const std::wstring& printerName);

}  // namespace sheetlore::cli
