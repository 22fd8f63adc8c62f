// sheetlore doctor [PRINTER] [--write-test]: every finding of cli/doctor.h in one table.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "cli/command_error.h"
#include "cli/commands.h"
#include "cli/doctor.h"
#include "cli/printer_lookup.h"
#include "cli/run.h"
#include "platform/win32/windows_api.h"

namespace sheetlore::cli {
namespace {

std::wstring ToolPath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::wstring();
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

CommandOutcome Doctor(ClsPrint& component, const ParsedArguments& arguments) {
#ifdef _WIN64
  constexpr wchar_t kArchitecture[] = L"x64";
#else
  constexpr wchar_t kArchitecture[] = L"x86";
#endif
  const std::wstring tool = ToolPath();
  Findings findings{
      {L"tool.release", true, ReleaseVersion() + L" (" + kArchitecture + L") \"" + tool + L"\""}};
  for (Finding& finding : RegistrationFindings()) findings.push_back(std::move(finding));
  for (Finding& finding : CodeLocationFindings(L"tool", tool)) {
    findings.push_back(std::move(finding));
  }
  for (Finding& finding : PaperStoreFindings(component, OwnArchitectureServer())) {
    findings.push_back(std::move(finding));
  }
  for (Finding& finding : PrinterFindings(component)) findings.push_back(std::move(finding));

  std::optional<std::wstring> printer;
  if (!arguments.positionals.empty()) printer = arguments.positionals[0];
  if (printer) findings.push_back(PrinterOpenFinding(component, *printer));
  if (arguments.Has(L"write-test") && !(printer && findings.back().notFound)) {
    for (Finding& finding :
         WriteTestFindings(component, printer ? *printer : DefaultPrinterName(component))) {
      findings.push_back(std::move(finding));
    }
  }
  return DoctorOutcome(findings);
}

}  // namespace

std::vector<Command> DoctorCommands() {
  return {{L"doctor",
           L"[PRINTER] [--write-test]",
           L"check the installation, the store and printers",
           L"Checks what support asks first, one line per check with its verdict (ok or FAIL)\n"
           L"and, for a failure, what to do in one line:\n"
           L"  - this tool's release and architecture;\n"
           L"  - the registration of each architecture: the ProgID, the class, a per-user\n"
           L"    registration that overrides the machine-wide one, a server file that exists, is\n"
           L"    built for that architecture and is of this tool's release, the threading model\n"
           L"    (Apartment), a type library that is registered and loads; nothing registered at\n"
           L"    all is one line saying what to run;\n"
           L"  - that only administrators can change each registered DLL, the tool and their\n"
           L"    folders;\n"
           L"  - the paper store: its path and where that comes from (the machine's setting or\n"
           L"    the default beside the program), that hosts of this architecture use the same\n"
           L"    file, that it can be written (an absent file is the empty store, which is\n"
           L"    fine), its encoding, the number of papers and that each listed paper reads back;\n"
           L"  - the printers, the default one, and that PRINTER opens when it is named.\n"
           L"--write-test  adds a temporary form \"Sheetlore doctor N\" to PRINTER (default: the\n"
           L"              default printer), looks for it, deletes it and looks again: it shows\n"
           L"              whether the spooler really keeps forms. The printer's forms end as\n"
           L"              they began.\n"
           L"--json prints {\"ok\": true|false, \"checks\": [{\"check\", \"printer\", \"ok\",\n"
           L"\"detail\", \"remedy\"}]}; each check's identifier stays the same from release to\n"
           L"release.\n"
           L"Exits 3 when PRINTER does not open, 1 when any other check fails.\n",
           {{L"write-test"}},
           0,
           1,
           Doctor}};
}

}  // namespace sheetlore::cli
