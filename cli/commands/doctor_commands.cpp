// sheetlore doctor [PRINTER] [--write-test]: every finding of cli/doctor.h in one table.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "cli/command_error.h"
#include "cli/commands.h"
#include "cli/doctor.h"
#include "cli/printer_lookup.h"
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
  Findings findings = RegistrationFindings();
  for (Finding& finding : CodeLocationFindings(L"tool", ToolPath())) {
    findings.push_back(std::move(finding));
  }
  for (Finding& finding : PaperStoreFindings(component)) findings.push_back(std::move(finding));
  for (Finding& finding : PrinterFindings(component)) findings.push_back(std::move(finding));

  std::optional<std::wstring> printer;
  if (!arguments.positionals.empty()) printer = arguments.positionals[0];
  if (printer) {
    std::optional<std::vector<FormRow>> forms;
    PrinterRef object = PrinterNamed(*printer);
    component.ForgetFailures();
    const bool opens = component.FormCheck(forms, object) && forms;
    findings.push_back({L"printers", L"open " + *printer, opens,
                        opens ? std::to_wstring(forms->size()) + L" forms"
                              : L"no such printer, or it does not open",
                        opens ? std::nullopt : LastPlatformError(component)});
  }
  if (arguments.Has(L"write-test")) {
    for (Finding& finding :
         WriteTestFindings(component, printer ? *printer : DefaultPrinterName(component))) {
      findings.push_back(std::move(finding));
    }
  }

  Table table({{L"Area", L"area"},
               {L"Check", L"check"},
               {L"Verdict", L"verdict"},
               {L"Detail", L"detail"},
               ErrorColumn()});
  for (const Finding& finding : findings) {
    table.AddRow({Text(finding.area), Text(finding.check), Text(finding.ok ? L"ok" : L"FAIL"),
                  Text(finding.detail), ErrorCell(finding.error)});
  }
  CommandOutcome outcome(std::move(table));
  const auto failed = std::count_if(findings.begin(), findings.end(),
                                    [](const Finding& finding) { return !finding.ok; });
  if (failed > 0) {
    outcome.exit = ExitCode::Failure;
    outcome.message =
        std::to_wstring(failed) + L" of " + std::to_wstring(findings.size()) + L" checks failed";
  }
  return outcome;
}

}  // namespace

std::vector<Command> DoctorCommands() {
  return {{L"doctor",
           L"[PRINTER] [--write-test]",
           L"check the installation, the store and printers",
           L"Checks what support asks first, one line per check with its verdict (ok or FAIL):\n"
           L"  - the registration of each architecture: the ProgID, the class, a server file that\n"
           L"    exists, the threading model (Apartment), a type library that is registered and\n"
           L"    loads;\n"
           L"  - that only administrators can change each registered DLL, the tool and their\n"
           L"    folders;\n"
           L"  - the paper store: its path and where that comes from (the machine's setting or\n"
           L"    the default beside the program), that it exists and can be written, its\n"
           L"    encoding, the number of papers and that each listed paper reads back;\n"
           L"  - the printers, the default one, and that PRINTER opens when it is named.\n"
           L"--write-test  adds a temporary form \"Sheetlore doctor N\" to PRINTER (default: the\n"
           L"              default printer), looks for it, deletes it and looks again: it shows\n"
           L"              whether the spooler really keeps forms. The printer's forms end as\n"
           L"              they began.\n"
           L"Exits 1 when any check fails.\n",
           {{L"write-test"}},
           0,
           1,
           Doctor}};
}

}  // namespace sheetlore::cli
