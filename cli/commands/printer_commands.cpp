// Commands on printers and their forms.
#include <algorithm>
#include <string>
#include <vector>

#include "cli/columns.h"
#include "cli/command_error.h"
#include "cli/commands.h"
#include "cli/form_placement.h"
#include "cli/form_target.h"
#include "cli/measure_options.h"
#include "cli/number_arguments.h"
#include "cli/paper_library.h"
#include "cli/printer_lookup.h"
#include "component/form_list.h"
#include "component/paper_store_file.h"
#include "component/paper_unit.h"

namespace sheetlore::cli {
namespace {

using namespace columns;

bool IsBlank(const std::wstring& text) { return paper_store::TrimBlanks(text).empty(); }

CommandError NoFormOn(const std::wstring& formName, const FormTarget& target) {
  return NotFound(L"no form named \"" + formName + L"\" on " + target.Label());
}

// The PRINTER positional of a command whose other positionals come after it: present when all
// of them are given.
std::optional<std::wstring> PrinterArgument(const ParsedArguments& arguments, std::size_t others) {
  if (arguments.positionals.size() <= others) return std::nullopt;
  return arguments.positionals[0];
}

// The positional at index among the ones after the optional PRINTER.
const std::wstring& After(const ParsedArguments& arguments, std::size_t others, std::size_t index) {
  return arguments.positionals[arguments.positionals.size() - others + index];
}

std::wstring Quoted(const std::wstring& name) { return L"\"" + name + L"\""; }

// A change the spooler answered with success, but which the forms read back do not show.
CommandError NotKept(const std::wstring& formName, const std::wstring& status,
                     const std::optional<std::vector<FormInfo>>& after) {
  const std::wstring reported =
      L"the spooler reported the form " + Quoted(formName) + L" " + status;
  if (!after) return Refused(reported + L", but the printer's forms could not be read back");
  return Refused(reported + L", but the printer's forms do not show it");
}

// The forms as the spooler keeps them after a change; nothing when they cannot be read.
std::optional<std::vector<FormInfo>> FormsReadBack(ClsPrint& component, const FormTarget& target) {
  try {
    return TargetForms(component, target);
  } catch (const CommandError&) {
    return std::nullopt;
  }
}

Table ListPrinters(ClsPrint& component, const ParsedArguments&) {
  Host& host = component.platform().host;
  std::wstring defaultName;
  try {
    defaultName = host.CurrentPrinter()->DeviceName();
  } catch (const AutomationError&) {
    // No printer at all: the list below is empty too.
  }
  Table table({kPrinter, kDefault});
  for (const PrinterRef& printer : host.Printers()) {
    const std::wstring name = printer->DeviceName();
    table.AddRow({Text(name), Boolean(name == defaultName)});
  }
  return table;
}

// A form as the tool shows it: its number where given, name, kind, size and printable area.
std::vector<Column> FormRecordColumns(bool numbered) {
  std::vector<Column> list;
  if (numbered) list.push_back(kNumber);
  list.push_back(kForm);
  for (const Column& column : FormColumns()) list.push_back(column);
  return list;
}
std::vector<Cell> FormRecordCells(std::optional<std::size_t> number, const FormInfo& form) {
  std::vector<Cell> cells;
  if (number) cells.push_back(Integer(static_cast<long long>(*number)));
  cells.push_back(Text(form.name));
  for (Cell& cell : FormCells(form)) cells.push_back(std::move(cell));
  return cells;
}

Table ListForms(ClsPrint& component, const ParsedArguments& arguments) {
  const FormTarget target = ChosenTarget(arguments, PrinterArgument(arguments, 0));
  Table table(FormRecordColumns(true));
  const std::vector<FormInfo> forms = TargetForms(component, target);
  for (std::size_t i = 0; i < forms.size(); ++i) table.AddRow(FormRecordCells(i + 1, forms[i]));
  return table;
}

Table ShowForm(ClsPrint& component, const ParsedArguments& arguments) {
  const FormTarget target = ChosenTarget(arguments, PrinterArgument(arguments, 1));
  const std::wstring& formName = After(arguments, 1, 0);
  TargetForms(component, target);  // a printer or server that does not open is "not found"
  const std::optional<FormInfo> form = TargetForm(component, target, formName);
  if (!form) throw NoFormOn(formName, target);
  std::vector<Column> columnList{target.NameColumn()};
  for (const Column& column : FormRecordColumns(false)) columnList.push_back(column);
  Table table(std::move(columnList), true);
  std::vector<Cell> cells{target.NameCell()};
  for (Cell& cell : FormRecordCells(std::nullopt, *form)) cells.push_back(std::move(cell));
  table.AddRow(std::move(cells));
  return table;
}

Table StatusRecord(const FormTarget& target, const std::wstring& form, const std::wstring& status,
                   const std::wstring& note = std::wstring()) {
  Table table({target.NameColumn(), kForm, kStatus, kNote}, true);
  table.AddRow({target.NameCell(), Text(form), Text(status), Text(note)});
  return table;
}

Table AddForm(ClsPrint& component, const ParsedArguments& arguments) {
  const FormTarget target = ChosenTarget(arguments, PrinterArgument(arguments, 3));
  const std::wstring formName = After(arguments, 3, 0);
  if (IsBlank(formName)) throw BadArguments(L"the form name is empty");
  const Measures m = ReadMeasures(arguments, arguments.positionals.size() - 2);
  // The checks every form and paper passes, before any printer is asked.
  const rePaPer typed{UnitCode(m.inches), m.width, m.height, m.left, m.right, m.top, m.bottom};
  if (const auto problem = GeometryProblem(component, typed)) {
    throw BadArguments(L"the form \"" + formName + L"\" is not added: " + *problem);
  }
  const FormInfo form = FormForMeasures(formName, CentimetreMeasures(component, typed));
  TargetForms(component, target);  // a printer or server that does not open is "not found"
  const std::optional<FormInfo> existing = TargetForm(component, target, formName);
  const std::optional<std::wstring> existingName =
      existing ? std::optional<std::wstring>(existing->name) : std::nullopt;
  const std::wstring quoted = Quoted(existingName.value_or(formName));
  const bool replace = arguments.Has(L"replace");
  if (existing && !replace) {
    if (SameSize(*existing, form)) return StatusRecord(target, formName, kUnchanged, kSameNote);
    throw Refused(L"the printer already has a form named " + quoted +
                  L" of another size (use --replace to replace it)");
  }
  component.ForgetFailures();
  const Placement placement = PlaceForm(component, target, form, existingName, replace);
  switch (placement) {
    case Placement::Added:
    case Placement::Replaced:
    case Placement::Kept:
      break;
    case Placement::DeleteRefused:
      throw Refused(L"the spooler refused to delete the old form " + quoted);
    case Placement::AddRefused:
      throw Refused(L"the spooler refused to add the form " + Quoted(formName));
    case Placement::RefusedRestored:
      throw Refused(L"the spooler refused the new form " + Quoted(formName) +
                    L"; the old one is back");
    case Placement::RefusedLost:
      throw Refused(L"the spooler refused the new form " + Quoted(formName) +
                    L", and the old one could not be put back: it is deleted");
  }
  const std::wstring status = PlacementStatus(placement);
  const auto after = FormsReadBack(component, target);
  if (!ShowsChange(after, formName, &form)) throw NotKept(formName, status, after);
  return StatusRecord(target, formName, status);
}

Table DeleteForm(ClsPrint& component, const ParsedArguments& arguments) {
  const FormTarget target = ChosenTarget(arguments, PrinterArgument(arguments, 1));
  const std::wstring& formName = After(arguments, 1, 0);
  TargetForms(component, target);  // a printer or server that does not open is "not found"
  const std::optional<FormInfo> found = TargetForm(component, target, formName);
  if (!found) throw NoFormOn(formName, target);
  component.ForgetFailures();
  if (!DeleteTargetForm(component, target, formName)) {
    throw Refused(L"the spooler refused to delete the form " + Quoted(formName));
  }
  const auto after = FormsReadBack(component, target);
  if (!ShowsChange(after, found->name, nullptr)) throw NotKept(found->name, kDeleted, after);
  return StatusRecord(target, formName, kDeleted);
}

Table FindOrAddForm(ClsPrint& component, const ParsedArguments& arguments) {
  const std::wstring sizeText = arguments.positionals[0];
  const PaperSize size = ParsePaperSize(sizeText);
  PrinterRef printer = ChosenPrinter(component, arguments.Value(L"printer"));
  const std::wstring printerName = printer->DeviceName();
  const std::vector<FormInfo> before = PrinterFormInfos(component, printerName);
  const std::int32_t number = component.gFormID(sizeText, printer);
  if (number == 0) {
    throw Refused(L"no form of " + sizeText + L" inches, and the spooler refused to add one " +
                  L"(a form named \"" + sizeText + L"\" may exist with another size)");
  }
  const bool found = number >= 1 && static_cast<std::size_t>(number) <= before.size();
  Table table(FormRecordColumns(true), true);
  table.columns.push_back(kStatus);
  if (found) {
    const std::size_t position = static_cast<std::size_t>(number);
    std::vector<Cell> cells = FormRecordCells(position, before[position - 1]);
    cells.push_back(Text(kUnchanged));
    table.AddRow(std::move(cells));
    return table;
  }
  // Added: the form as the forms read back show it.
  const Measures cm{false, component.InchToCm(size.width, true),
                    component.InchToCm(size.height, true)};
  const FormInfo expected = FormForMeasures(sizeText, cm);
  const auto after = FormsReadBack(component, FormTarget{false, printerName});
  if (!ShowsChange(after, sizeText, &expected)) throw NotKept(sizeText, kAdded, after);
  const auto added = std::find_if(after->begin(), after->end(),
                                  [&](const FormInfo& form) { return form.name == sizeText; });
  std::vector<Cell> cells =
      FormRecordCells(static_cast<std::size_t>(added - after->begin()) + 1, *added);
  cells.push_back(Text(kAdded));
  table.AddRow(std::move(cells));
  return table;
}

Table SelectForm(ClsPrint& component, const ParsedArguments& arguments) {
  std::wstring formName = arguments.positionals[0];
  const std::wstring printerName = DefaultPrinterName(component);
  const FormTarget printerTarget{false, printerName};
  PrinterRef printer = PrinterNamed(printerName);
  PrinterForms(component, printer);  // a printer that does not open is "not found"
  if (!SpoolerFormName(component, printerName, formName)) throw NoFormOn(formName, printerTarget);
  if (component.FormSelect(formName, 0) != 1) {
    throw Refused(L"the printer driver of " + printerName + L" did not take the form");
  }
  return StatusRecord(printerTarget, arguments.positionals[0], L"selected");
}

// One stored paper on its way to the printer.
struct InstallRow {
  std::wstring paper;
  std::optional<FormInfo> expected;  // the form it should give; none for an unreadable paper
  std::wstring status;
  std::wstring note;
  std::optional<PlatformError> error;
};

CommandOutcome InstallPapers(ClsPrint& component, const ParsedArguments& arguments) {
  const FormTarget target = ChosenTarget(arguments, PrinterArgument(arguments, 0));
  TargetForms(component, target);  // a printer or server that does not open is "not found"
  const bool replace = arguments.Has(L"replace");

  // The store read whole first, so that it is not held while the spooler works.
  const std::vector<StoredPaper> papers = ReadListedPapers(component);
  std::vector<InstallRow> rows;
  std::wstring unreadable;
  bool changedAny = false;
  for (const StoredPaper& stored : papers) {
    const std::wstring& paperName = stored.paper.name;
    if (IsBlank(paperName)) continue;  // a listed name of blanks only names no paper
    if (stored.problem) {
      unreadable += L"\n  \"" + paperName + L"\": " + *stored.problem;
      rows.push_back({paperName, std::nullopt, kFailed, L"unreadable: " + *stored.problem, {}});
      continue;
    }
    const rePaPer& paper = stored.paper.paper;
    const FormInfo expected = FormForMeasures(paperName, CentimetreMeasures(component, paper));
    if (const auto problem = GeometryProblem(component, paper)) {
      rows.push_back({paperName, expected, kFailed, L"no form can be this paper: " + *problem, {}});
      continue;
    }
    const std::optional<FormInfo> existing = TargetForm(component, target, paperName);
    const std::optional<std::wstring> existingName =
        existing ? std::optional<std::wstring>(existing->name) : std::nullopt;
    component.ForgetFailures();
    const Placement placement = PlaceForm(component, target, expected, existingName, replace);
    InstallRow row{paperName, expected, PlacementStatus(placement), PlacementNote(placement), {}};
    if (placement == Placement::Kept) {
      row.note = SameSize(*existing, expected) ? kSameNote : kDiffersNote;
    } else if (row.status == kFailed) {
      row.error = LastPlatformError(component);
    } else {
      changedAny = true;
    }
    rows.push_back(std::move(row));
  }
  // The spooler's word is not enough: what it keeps is read back.
  if (changedAny) {
    const auto after = FormsReadBack(component, target);
    for (InstallRow& row : rows) {
      if (row.status != kAdded && row.status != kReplaced) continue;
      if (!ShowsChange(after, row.paper, &*row.expected)) {
        row.note = after ? NotKeptNote(row.status) : kNotReadBackNote;
        row.status = kFailed;
      }
    }
  }
  Table table({kPaper, kWidthCm, kHeightCm, kStatus, kNote, ErrorColumn()});
  std::size_t failed = 0;
  for (const InstallRow& row : rows) {
    const bool readable = row.expected.has_value();
    table.AddRow({Text(row.paper),
                  readable ? Number(SpoolerUnitsToCentimetres(row.expected->cx)) : Null(),
                  readable ? Number(SpoolerUnitsToCentimetres(row.expected->cy)) : Null(),
                  Text(row.status), Text(row.note), ErrorCell(row.error)});
    failed += readable && row.status == kFailed;
  }
  CommandOutcome outcome(std::move(table));
  if (failed > 0) {
    outcome.exit = ExitCode::Refused;
    outcome.message =
        std::to_wstring(failed) + L" paper(s) could not be installed (see their notes and errors)";
  }
  if (!unreadable.empty()) {
    if (failed == 0) outcome.exit = ExitCode::Failure;
    outcome.message += (failed > 0 ? L"\n" : L"") +
                       (L"some stored papers cannot be read and were not installed:" + unreadable);
  }
  return outcome;
}

Table ShowDialog(ClsPrint& component, const ParsedArguments&) {
  component.FormShow();
  return Table{};
}

}  // namespace

std::vector<Command> PrinterCommands() {
  return {
      {L"printers",
       L"",
       L"list the installed printers",
       L"Lists every installed printer and marks the default one.\n",
       {},
       0,
       0,
       ListPrinters},
      {L"forms",
       L"[PRINTER | --server \\\\NAME]",
       L"list the forms of a print server",
       std::wstring(
           L"Lists the forms of PRINTER's print server (default: the local print server) in\n"
           L"the spooler's order, with their number (used by form-find), kind (builtin, user\n"
           L"or printer), size and printable area in centimetres.\n") +
           kServerHelp,
       {ServerOption()},
       0,
       1,
       ListForms},
      {L"form-show",
       L"[PRINTER | --server \\\\NAME] FORM",
       L"show one form's size and printable area",
       std::wstring(
           L"Shows the size of the form FORM (of PRINTER's print server, default: the local\n"
           L"print server) and its printable area, in centimetres. Right and bottom are the\n"
           L"positions of the printable area's edges, measured from the sheet's left and top\n"
           L"edges.\n") +
           kServerHelp,
       {ServerOption()},
       1,
       2,
       ShowForm},
      {L"form-add",
       L"[PRINTER | --server \\\\NAME] FORM WIDTH HEIGHT [--inches] [--left N] [--right N] "
       L"[--top N] [--bottom N | --margins L,T,R,B] [--replace]",
       L"add a form to a print server",
       std::wstring(
           L"Adds the form FORM of WIDTH by HEIGHT to PRINTER's print server (default: the\n"
           L"local print server). A form the spooler finds by that name with the same size and\n"
           L"printable area is left unchanged; with another size it is refused, unless\n"
           L"--replace deletes it first. The forms are read back: a form the spooler accepted\n"
           L"but did not keep is refused (exit status 4).\n") +
           kMeasureHelp + kServerHelp +
           L"  --replace    replace an existing form of that name (put back if the new one\n"
           L"               is refused)\n"
           L"Adding forms needs administrator rights on the print server.\n",
       [] {
         auto options = MeasureOptions();
         options.push_back({L"replace", false});
         options.push_back(ServerOption());
         return options;
       }(),
       3, 4, AddForm},
      {L"form-delete",
       L"[PRINTER | --server \\\\NAME] FORM",
       L"delete a form from a print server",
       std::wstring(L"Deletes the form FORM from PRINTER's print server (default: the local\n"
                    L"print server). The built-in forms cannot be deleted. Deleting forms needs\n"
                    L"administrator rights on the print server.\n") +
           kServerHelp,
       {ServerOption()},
       1,
       2,
       DeleteForm},
      {L"form-find",
       L"WIDTH/HEIGHT [--printer PRINTER]",
       L"find a form by size, or add it",
       L"Finds the first form of WIDTH by HEIGHT inches (for example 8.5/11) on PRINTER\n"
       L"(default: the default printer) and prints its number; when the printer has none,\n"
       L"adds a form named WIDTH/HEIGHT of that size.\n",
       {{L"printer", true}},
       1,
       1,
       FindOrAddForm},
      {L"form-select",
       L"FORM",
       L"select a form on the default printer",
       L"Hands the form FORM to the default printer's driver for this program's printer\n"
       L"output, as a host program does before it prints. The printer's own default\n"
       L"settings do not change, and the selection ends with the program: from the command\n"
       L"line it checks that the driver takes the form.\n",
       {},
       1,
       1,
       SelectForm},
      {L"install",
       L"[PRINTER | --server \\\\NAME] [--replace]",
       L"add every stored paper to a print server",
       std::wstring(
           L"Adds every paper of the paper store to PRINTER's print server (default: the local\n"
           L"print server), in centimetres whatever unit the paper was stored in, and reports\n"
           L"each one: added, replaced, unchanged (a form the spooler finds by that name is\n"
           L"kept as it is; the note says whether it differs) or failed. A refused replacement\n"
           L"puts the old form back. The forms are read back afterwards: a form the spooler\n"
           L"accepted but did not keep is failed.\n"
           L"  --replace    replace forms of the same name with the stored papers\n") +
           kServerHelp,
       {{L"replace", false}, ServerOption()},
       0,
       1,
       InstallPapers},
      {L"dialog",
       L"",
       L"open the maintenance dialog",
       L"Opens the maintenance dialog and returns when it is closed.\n",
       {},
       0,
       0,
       ShowDialog},
  };
}

}  // namespace sheetlore::cli
