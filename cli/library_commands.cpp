// Paper libraries across machines: a library file exported from one paper store and imported
// into another, a printer's own forms captured into the store, and a printer brought to a
// library file (apply), which detection and remediation scripts run unattended.
#include <string>
#include <vector>

#include "cli/command_error.h"
#include "cli/commands.h"
#include "cli/desired_state.h"
#include "cli/library_file.h"
#include "cli/library_json.h"
#include "cli/paper_library.h"
#include "cli/printer_lookup.h"
#include "component/form_list.h"
#include "component/spooler_units.h"

namespace sheetlore::cli {
namespace {

const Column kPaperColumn{L"Paper", L"paper"};
const Column kStatusColumn{L"Status", L"status"};
const Column kNoteColumn{L"Note", L"note"};

CommandOutcome StoreReport(const std::vector<StoreResult>& results) {
  Table table({kPaperColumn, kStatusColumn, kNoteColumn});
  bool anyRefused = false;
  for (const StoreResult& result : results) {
    table.AddRow({Text(result.name), Text(result.status), Text(result.note)});
    anyRefused = anyRefused || result.status == L"refused";
  }
  CommandOutcome outcome(std::move(table));
  if (anyRefused) {
    outcome.exit = ExitCode::Refused;
    outcome.message = L"some papers were not stored";
  }
  return outcome;
}

Table ExportLibrary(ClsPrint& component, const ParsedArguments& arguments) {
  const StoredPaperList stored = StoredPapers(component);
  const std::vector<LibraryPaper>& papers = stored.papers;
  std::wstring problems;
  for (const StoredPaper& unreadable : stored.unreadable) {
    problems += L"\n  \"" + unreadable.paper.name + L"\": " + *unreadable.problem;
  }
  for (const LibraryPaper& paper : papers) {
    if (const auto problem = PaperProblem(component, paper)) {
      problems += L"\n  \"" + paper.name + L"\": " + *problem;
    }
  }
  if (!problems.empty()) {
    throw BadArguments(
        L"nothing was exported: some stored papers could not be imported again "
        L"(correct them with paper-store or remove them with paper-delete):" +
        problems);
  }
  WriteWholeFile(arguments.positionals[0], LibraryToJson(papers));
  Table table({kPaperColumn, kStatusColumn});
  for (const LibraryPaper& paper : papers) table.AddRow({Text(paper.name), Text(L"exported")});
  return table;
}

CommandOutcome ImportLibrary(ClsPrint& component, const ParsedArguments& arguments) {
  const std::vector<LibraryPaper> papers =
      LibraryFromJson(component, ReadWholeFile(arguments.positionals[0]));
  return StoreReport(
      AddToStore(component, papers, arguments.Has(L"replace"), RepeatedName::RefuseAll));
}

std::vector<FormInfo> FormsOf(ClsPrint& component, const std::wstring& printerName) {
  auto forms = ReadPrinterForms(component.platform().spooler, printerName);
  if (!forms) throw NotFound(L"printer not found or cannot be opened: " + printerName);
  return *forms;
}

CommandOutcome CaptureForms(ClsPrint& component, const ParsedArguments& arguments) {
  const std::wstring printerName = arguments.positionals[0];
  const bool all = arguments.Has(L"all");
  std::vector<LibraryPaper> storable;
  std::vector<StoreResult> refused;
  for (const FormInfo& form : FormsOf(component, printerName)) {
    if (form.flags != kUserForm && !all) continue;
    const LibraryPaper paper{
        form.name,
        {0, SpoolerUnitsToCentimetres(form.cx), SpoolerUnitsToCentimetres(form.cy),
         SpoolerUnitsToCentimetres(form.left), SpoolerUnitsToCentimetres(form.right),
         SpoolerUnitsToCentimetres(form.top), SpoolerUnitsToCentimetres(form.bottom)}};
    if (const auto problem = PaperProblem(component, paper)) {
      refused.push_back({form.name, L"refused", *problem});
    } else {
      storable.push_back(paper);
    }
  }
  std::vector<StoreResult> results =
      AddToStore(component, storable, arguments.Has(L"replace"), RepeatedName::KeepFirst);
  results.insert(results.end(), refused.begin(), refused.end());
  return StoreReport(results);
}

CommandOutcome ApplyLibrary(ClsPrint& component, const ParsedArguments& arguments) {
  const std::wstring printerName = arguments.positionals[1];
  const std::vector<LibraryPaper> papers =
      LibraryFromJson(component, ReadWholeFile(arguments.positionals[0]));
  const bool check = arguments.Has(L"check");
  const std::vector<FormStep> steps =
      PlanForms(component, papers, FormsOf(component, printerName), arguments.Has(L"prune"));
  const std::vector<FormReport> reports =
      check ? DescribeSteps(steps) : ApplySteps(component, printerName, steps);

  Table table({{L"Form", L"form"}, kStatusColumn, kNoteColumn, ErrorColumn()});
  std::size_t changes = 0;
  std::size_t failures = 0;
  for (const FormReport& report : reports) {
    table.AddRow(
        {Text(report.form), Text(report.status), Text(report.note), ErrorCell(report.error)});
    changes += report.status != L"unchanged";
    failures += report.status == L"failed";
  }
  CommandOutcome outcome(std::move(table));
  if (check && changes > 0) {
    outcome.exit = ExitCode::Differs;
    outcome.message = printerName + L" does not match the library: " + std::to_wstring(changes) +
                      L" form(s) to change";
  } else if (failures > 0) {
    outcome.exit = ExitCode::Refused;
    outcome.message =
        std::to_wstring(failures) + L" form(s) could not be changed (see their notes and errors)";
  }
  return outcome;
}

}  // namespace

std::vector<Command> LibraryCommands() {
  return {
      {L"paper-export",
       L"FILE",
       L"write the paper store to a library file",
       L"Writes every stored paper to FILE, a paper library (JSON, described in the README),\n"
       L"and lists them. Nothing is written when a stored paper could not be imported again\n"
       L"(a name the store no longer takes, a negative or zero size).\n",
       {},
       1,
       1,
       ExportLibrary},
      {L"paper-import",
       L"FILE [--replace]",
       L"store the papers of a library file",
       L"Stores the papers of the library FILE and reports each one: added, replaced, kept (a\n"
       L"paper of that name is stored) or refused (the store could not be written). The whole\n"
       L"file is checked first: when any paper in it is not valid, nothing is stored and every\n"
       L"fault is named (exit status 2).\n"
       L"  --replace    replace stored papers of the same name\n",
       {{L"replace", false}},
       1,
       1,
       ImportLibrary},
      {L"capture",
       L"PRINTER [--all] [--replace]",
       L"store a printer's own forms as papers",
       L"Stores the user forms of PRINTER (the forms added to its print server, not the\n"
       L"built-in ones) as papers in centimetres, so that forms set up by hand become a\n"
       L"library, and reports each: added, replaced, kept or refused.\n"
       L"  --all        the built-in and printer forms too\n"
       L"  --replace    replace stored papers of the same name\n",
       {{L"all", false}, {L"replace", false}},
       1,
       1,
       CaptureForms},
      {L"apply",
       L"FILE PRINTER [--check] [--prune]",
       L"make a printer's forms match a library file",
       L"Makes every paper of the library FILE a form of PRINTER with exactly its size and\n"
       L"printable area (compared in thousandths of a millimetre): missing forms are added,\n"
       L"forms of the same name with another size are replaced, equal ones left alone. Reports\n"
       L"each form: added, replaced, unchanged, deleted or failed. Forms belong to the print\n"
       L"server, so every printer of that server sees the change; PRINTER may be a\n"
       L"\\\\server\\printer name. Changing forms needs administrator rights on the server.\n"
       L"  --prune      also delete the user forms the file does not list (never built-in\n"
       L"               ones)\n"
       L"  --check      change nothing; report what would be done (would add, would\n"
       L"               replace, would delete, would fail) and end with exit status 5 when\n"
       L"               the printer does not match\n",
       {{L"check", false}, {L"prune", false}},
       2,
       2,
       ApplyLibrary},
  };
}

}  // namespace sheetlore::cli
