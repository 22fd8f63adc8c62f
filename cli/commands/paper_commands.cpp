// Commands on the paper store, PrintSet.ini beside the program.
#include <algorithm>
#include <string>
#include <vector>

#include "cli/columns.h"
#include "cli/command_error.h"
#include "cli/commands.h"
#include "cli/measure_options.h"
#include "cli/paper_library.h"
#include "component/paper_store_file.h"

namespace sheetlore::cli {
namespace {

using namespace columns;

Table PaperTable(bool record) {
  return Table({kPaper, kUnit, kWidth, kHeight, kLeft, kTop, kRight, kBottom}, record);
}

// The store's unit codes: 0 centimetres, 1 inches; another code (which counts as centimetres)
// as its number.
Cell UnitCell(std::uint8_t code) {
  if (code == 0) return Text(L"cm");
  if (IsInches(code)) return Text(L"in");
  return Integer(code);
}

std::vector<Cell> PaperRow(const std::wstring& name, const rePaPer& paper) {
  return {Text(name),      UnitCell(paper.mMode), Number(paper.W), Number(paper.H),
          Number(paper.L), Number(paper.T),       Number(paper.R), Number(paper.B)};
}

std::vector<std::wstring> StoredNames(ClsPrint& component) {
  std::vector<std::wstring> names;
  component.IniReadValue(0, std::wstring(), &names);
  std::erase_if(names, [](const std::wstring& name) { return name.empty(); });
  return names;
}

// The papers that can be read are listed; one that cannot is named on stderr, and the
// incomplete list ends with the component's failure status.
CommandOutcome ListPapers(ClsPrint& component, const ParsedArguments&) {
  const StoredPaperList stored = StoredPapers(component);
  Table table = PaperTable(false);
  for (const LibraryPaper& paper : stored.papers) table.AddRow(PaperRow(paper.name, paper.paper));
  CommandOutcome outcome(std::move(table));
  if (!stored.unreadable.empty()) {
    outcome.exit = ExitCode::Failure;
    outcome.message = stored.UnreadableReport();
  }
  return outcome;
}

Table ShowPaper(ClsPrint& component, const ParsedArguments& arguments) {
  const std::optional<std::wstring> name =
      ListedNameFor(component, arguments.positionals[0], StoredNames(component));
  if (!name) throw NotFound(L"no paper named \"" + arguments.positionals[0] + L"\" is stored");
  const StoredPaper stored = ReadStoredPaper(component, *name);
  if (stored.problem) {
    throw CommandError(ExitCode::Failure,
                       L"the stored paper \"" + *name + L"\" cannot be read: " + *stored.problem);
  }
  Table table = PaperTable(true);
  table.AddRow(PaperRow(*name, stored.paper.paper));
  return table;
}

Table StorePaper(ClsPrint& component, const ParsedArguments& arguments) {
  const std::wstring& name = arguments.positionals[0];
  if (!paper_store::IsStorableName(name)) {
    throw BadArguments(L"the paper store cannot hold the name \"" + name + L"\": " +
                       kStorableNameRule);
  }
  const Measures m = ReadMeasures(arguments, 1);
  const std::uint8_t unit = UnitCode(m.inches);
  // The rules of an import: what is stored can be exported and installed again.
  if (const auto problem = PaperProblem(
          component, {name, {unit, m.width, m.height, m.left, m.right, m.top, m.bottom}})) {
    throw BadArguments(L"\"" + name + L"\" is not stored: " + *problem);
  }
  // Under a lock of its own, to learn why a change that failed was undone.
  const std::wstring path = paper_store::FilePath(component.platform().host);
  const auto lock = component.platform().profile.LockFile(path);
  if (!lock) {
    throw Refused(L"the paper store could not be written: " + path +
                  L" (another program held it too long; nothing was changed, try again)");
  }
  if (!component.IniWriteValue(name, unit, m.width, m.height, m.left, m.right, m.top, m.bottom) ||
      !lock->Commit()) {
    const std::wstring problem = lock->Problem();
    std::wstring why = problem + L"; nothing was changed";
    if (!component.platform().profile.KeepsExistingText(path)) {
      why =
          L"the file is ANSI text that the system's code page cannot read back unchanged (saved "
          L"as UTF-8 without a byte-order mark?); a write would damage other papers' names, so "
          L"nothing was changed";
    } else if (!component.platform().profile.HoldsText(name, path)) {
      why = L"the file is ANSI text in the system's code page, which cannot hold the name \"" +
            name + L"\"; nothing was changed (a file saved as UTF-16 LE holds every name)";
    } else if (problem.empty()) {
      // What Windows said follows the message.
      throw Refused(L"the paper store could not be written: " + path);
    }
    throw Refused(L"the paper store could not be written: " + path + L" (" + why + L")");
  }
  Table table = PaperTable(true);
  table.AddRow(PaperRow(name, rePaPer{unit, m.width, m.height, m.left, m.right, m.top, m.bottom}));
  return table;
}

Table DeletePaper(ClsPrint& component, const ParsedArguments& arguments) {
  // The paper the name stands for, deleted under its listed name.
  const std::optional<std::wstring> listed =
      ListedNameFor(component, arguments.positionals[0], StoredNames(component));
  if (!listed) throw NotFound(L"no paper named \"" + arguments.positionals[0] + L"\" is stored");
  std::wstring name = paper_store::TrimBlanks(*listed);
  component.IniDelValue(name);
  const std::vector<std::wstring> remaining = StoredNames(component);
  if (std::find(remaining.begin(), remaining.end(), *listed) != remaining.end()) {
    throw Refused(L"the paper store could not be written: " +
                  paper_store::FilePath(component.platform().host));
  }
  Table table({kPaper, kStatus}, true);
  table.AddRow({Text(name), Text(kDeleted)});
  return table;
}

}  // namespace

std::vector<Command> PaperCommands() {
  auto storeOptions = MeasureOptions();
  return {
      {L"papers",
       L"",
       L"list the stored papers",
       L"Lists the papers of the paper store with their unit (cm or in) and their size and\n"
       L"printable area in that unit.\n",
       {},
       0,
       0,
       ListPapers},
      {L"paper-show",
       L"NAME",
       L"show one stored paper",
       L"Shows the stored paper NAME (letter case does not count) in its unit.\n",
       {},
       1,
       1,
       ShowPaper},
      {L"paper-store",
       L"NAME WIDTH HEIGHT [--inches] [--left N] [--right N] [--top N] "
       L"[--bottom N]",
       L"store a paper (or replace a stored one)",
       std::wstring(L"Stores the paper NAME in the paper store, replacing a stored paper of\n"
                    L"that name. The lengths are stored as typed, with their unit.\n") +
           kMeasureHelp,
       storeOptions, 3, 3, StorePaper},
      {L"paper-delete",
       L"NAME",
       L"delete a stored paper",
       L"Deletes the stored paper NAME from the paper store.\n",
       {},
       1,
       1,
       DeletePaper},
  };
}

}  // namespace sheetlore::cli
