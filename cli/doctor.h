#pragma once
// sheetlore doctor: what a support person asks first, one finding per line with a verdict and,
// when it fails, what to do about it in one line. Each group of checks reads the system as it
// is and changes nothing, except the write test, which adds one temporary form and takes it
// away again.

#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/platform_error.h"
#include "component/cls_print.h"

namespace sheetlore::cli {

struct Finding {
  // What was looked at, as a stable identifier scripts can match ("registration.x64.class",
  // "store.present"); never holds a printer's name, which goes into printer.
  std::wstring check;
  bool ok = false;                                     // the verdict
  std::wstring detail;                                 // what was found
  std::optional<std::wstring> remedy = std::nullopt;   // one line: what to do, when it failed
  std::optional<std::wstring> printer = std::nullopt;  // the printer the check is about
  std::optional<PlatformError> error = std::nullopt;   // what Windows said, when a call failed
  bool notFound = false;  // the printer named on the command line does not exist or open
};
using Findings = std::vector<Finding>;

// The class's registration in each registry view this Windows has (64-bit and 32-bit, or
// only 32-bit): the ProgID, the class and which registration wins (the user's over the
// machine's), its server file and that file's architecture and release, the threading model
// and the type library, which must load from the registered path. Nothing registered at all
// is one finding.
Findings RegistrationFindings();

// The registered server file of this program's own architecture, as COM would find it (the
// user's registration before the machine's), or nothing.
std::optional<std::wstring> OwnArchitectureServer();

// What a Windows program file says of itself: the machine its PE header names
// (IMAGE_FILE_MACHINE_AMD64, _I386; 0 when it is not a PE file or cannot be read), and the
// "Release" text of its version resource. Read as data: the file's code never runs, whatever
// its architecture.
unsigned short BinaryMachine(const std::wstring& path);
std::optional<std::wstring> BinaryRelease(const std::wstring& path);

// Whether users other than administrators can change binary (a registered DLL, the tool) or
// its folder: either is a failure with its remedy. checkPrefix: "registration.x64", "tool".
Findings CodeLocationFindings(const std::wstring& checkPrefix, const std::wstring& binary);

// The store's file (as the machine's setting names it, or PrintSet.ini beside the program): where
// it is, whether hosts of this architecture use the same file, whether it exists (an absent
// file is the empty store) and can be written, its encoding, how many papers it lists and
// whether each of them reads back with a size.
Findings PaperStoreFindings(ClsPrint& component, const std::optional<std::wstring>& server);

// The installed printers and the default one.
Findings PrinterFindings(ClsPrint& component);

// Whether the printer named on the command line opens and lists its forms.
Finding PrinterOpenFinding(ClsPrint& component, const std::wstring& printerName);

// Whether forms can really be changed on the printer: a temporary form is added, looked for,
// deleted and looked for again, and the printer's forms must end as they began.
Findings WriteTestFindings(ClsPrint& component, const std::wstring& printerName);

// What doctor prints: a table of the findings (text and CSV), JSON as
// {"ok": bool, "checks": [{"check", "printer", "ok", "detail", "remedy"}]} (with "error" on
// a check whose platform call failed), and the exit status: 3 when the printer named does not
// open, 1 when any other check failed, 0 otherwise.
CommandOutcome DoctorOutcome(const Findings& findings);

}  // namespace sheetlore::cli
