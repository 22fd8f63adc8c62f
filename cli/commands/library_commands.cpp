// Paper libraries across machines: a library file exported from one paper store and imported
// into another, a printer's own forms captured into the store, and a printer brought to a
// library file (apply), which detection and remediation scripts run unattended.
#include <string>
#include <vector>

#include "cli/columns.h"
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

using namespace columns;

CommandOutcome StoreReport(const std::vector<StoreResult>& results) {
  Table table({kPaper, kStatus, kNote});
  bool anyRefused = false;
  for (const StoreResult& result : results) {
    table.AddRow({Text(result.name), Text(result.status), Text(result.note)});
    anyRefused = anyRefused || result.status == kFailed;
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
  Table table({kPaper, kStatus});
  for (const LibraryPaper& paper : papers) table.AddRow({Text(paper.name), Text(L"exported")});
  return table;
}

CommandOutcome ImportLibrary(ClsPrint& component, const ParsedArguments& arguments) {
  const std::vector<LibraryPaper> papers =
      LibraryFromJson(component, ReadWholeFile(arguments.positionals[0]));
  return StoreReport(
      AddToStore(component, papers, arguments.Has(L"replace"), RepeatedName::RefuseAll));
}

// The PRINTER positional after the others, when it is given.
std::optional<std::wstring> PrinterAfter(const ParsedArguments& arguments, std::size_t others) {
  if (arguments.positionals.size() <= others) return std::nullopt;
  return arguments.positionals.back();
}

CommandOutcome CaptureForms(ClsPrint& component, const ParsedArguments& arguments) {
  const FormTarget target = ChosenTarget(arguments, PrinterAfter(arguments, 0));
  const bool all = arguments.Has(L"all");
  std::vector<LibraryPaper> storable;
  std::vector<StoreResult> refused;
  for (const FormInfo& form : TargetForms(component, target)) {
    if (form.flags != kUserForm && !all) continue;
    const LibraryPaper paper{
        form.name,
        {0, SpoolerUnitsToCentimetres(form.cx), SpoolerUnitsToCentimetres(form.cy),
         SpoolerUnitsToCentimetres(form.left), SpoolerUnitsToCentimetres(form.right),
         SpoolerUnitsToCentimetres(form.top), SpoolerUnitsToCentimetres(form.bottom)}};
    if (const auto problem = PaperProblem(component, paper)) {
      refused.push_back({form.name, kFailed, *problem});
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
  const FormTarget target = ChosenTarget(arguments, PrinterAfter(arguments, 1));
  // A paper no form can be is not a fault of the file here but a paper that cannot be made
  // compliant: it is reported as impossible while the others are applied.
  const std::vector<LibraryPaper> papers = LibraryFromJson(
      component, ReadWholeFile(arguments.positionals[0]), LibraryChecks::WithoutGeometry);
  const bool check = arguments.Has(L"check");
  const std::vector<FormStep> steps =
      PlanForms(component, target, papers, TargetForms(component, target), arguments.Has(L"prune"));
  const std::vector<FormReport> reports =
      check ? DescribeSteps(steps) : ApplySteps(component, target, steps);

  Table table({kForm, kStatus, kNote, ErrorColumn()});
  std::size_t changes = 0;
  std::size_t failures = 0;
  std::size_t impossible = 0;
  for (const FormReport& report : reports) {
    table.AddRow(
        {Text(report.form), Text(report.status), Text(report.note), ErrorCell(report.error)});
    impossible += report.status == L"impossible";
    changes += report.status != L"unchanged" && report.status != L"impossible";
    failures += report.status == L"failed";
  }
  CommandOutcome outcome(std::move(table));
  // What a change can mend comes first: a detection script then remediates it, and the next
  // check reports only what no change can mend.
  if (check && changes > 0) {
    outcome.exit = ExitCode::Differs;
    outcome.message = target.Label() + L" does not match the library: " + std::to_wstring(changes) +
                      L" form(s) to change";
  } else if (failures > 0) {
    outcome.exit = ExitCode::Refused;
    outcome.message =
        std::to_wstring(failures) + L" form(s) could not be changed (see their notes and errors)";
  }
  if (impossible > 0) {
    if (outcome.exit == ExitCode::Success) outcome.exit = ExitCode::Impossible;
    if (!outcome.message.empty()) outcome.message += L"\n";
    outcome.message += std::to_wstring(impossible) + L" paper(s) cannot be made forms of " +
                       target.Label() +
                       L" by any change (see their notes); correct the library file";
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
       L"Stores the papers of the library FILE and reports each one: added, replaced,\n"
       L"unchanged (a paper of that name is stored; the note says whether it differs) or failed\n"
       L"(the store could not be written). The whole\n"
       L"file is checked first: when any paper in it is not valid, nothing is stored and every\n"
       L"fault is named (exit status 2).\n"
       L"  --replace    replace stored papers of the same name\n",
       {{L"replace", false}},
       1,
       1,
       ImportLibrary},
      {L"capture",
       L"[PRINTER | --server \\\\NAME] [--all] [--replace]",
       L"store a print server's own forms as papers",
       std::wstring(
           L"Stores the user forms of PRINTER's print server (default: the local print server;\n"
           L"not the built-in forms) as papers in centimetres, so that forms set up by hand\n"
           L"become a library, and reports each: added, replaced, unchanged or failed.\n"
           L"  --all        the built-in and printer forms too\n"
           L"  --replace    replace stored papers of the same name\n") +
           kServerHelp,
       {{L"all", false}, {L"replace", false}, ServerOption()},
       0,
       1,
       CaptureForms},
      {L"apply",
       L"FILE [PRINTER | --server \\\\NAME] [--check] [--prune]",
       L"make a print server's forms match a library file",
       std::wstring(
           L"Makes every paper of the library FILE a form of the local print server (or of\n"
           L"PRINTER's, or of --server's) with exactly its size and printable area (compared in\n"
           L"thousandths of a millimetre): missing forms are added, forms of the same name with\n"
           L"another size are replaced, equal ones left alone. Reports each form: added,\n"
           L"replaced, unchanged, deleted, failed or impossible. Forms belong to the print\n"
           L"server, so every printer of that server sees the change. Changing forms needs\n"
           L"administrator rights on the server.\n") +
           kServerHelp +
           L"  --prune      also delete the user forms the file does not list (never built-in\n"
           L"               ones)\n"
           L"  --check      change nothing; report what would be done (would add, would\n"
           L"               replace, would delete) and end with exit status 5 when the printer\n"
           L"               does not match\n"
           L"A paper that no change can make a form of is reported as impossible, in both modes: "
           L"a\n"
           L"built-in form of that name with another size, or a size or printable area the "
           L"spooler\n"
           L"cannot keep. When nothing else is to change (or failed), the exit status is then 6.\n",
       {{L"check", false}, {L"prune", false}, ServerOption()},
       1,
       2,
       ApplyLibrary},
  };
}

}  // namespace sheetlore::cli
