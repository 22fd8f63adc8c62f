// Commands on printers and their forms.
#include <algorithm>
#include <string>
#include <vector>

#include "cli/columns.h"
#include "cli/command_error.h"
#include "cli/commands.h"
#include "cli/form_placement.h"
#include "cli/measure_options.h"
#include "cli/number_arguments.h"
#include "cli/paper_library.h"
#include "cli/printer_lookup.h"
#include "component/form_list.h"
#include "component/paper_store_file.h"

namespace sheetlore::cli {
namespace {

using namespace columns;

bool IsBlank(const std::wstring& text) { return paper_store::TrimBlanks(text).empty(); }

CommandError NoFormNamed(const std::wstring& formName, const std::wstring& printerName) {
  return NotFound(L"no form named \"" + formName + L"\" on " + printerName);
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

std::optional<std::vector<FormInfo>> FormsReadBack(ClsPrint& component,
                                                   const std::wstring& printerName) {
  return ReadPrinterForms(component.platform().spooler, printerName);
}

std::optional<std::wstring> PositionalOrNothing(const ParsedArguments& arguments) {
  return arguments.positionals.empty() ? std::nullopt
                                       : std::optional<std::wstring>(arguments.positionals[0]);
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
  const std::wstring printerName =
      ChosenPrinter(component, PositionalOrNothing(arguments))->DeviceName();
  Table table(FormRecordColumns(true));
  const std::vector<FormInfo> forms = PrinterFormInfos(component, printerName);
  for (std::size_t i = 0; i < forms.size(); ++i) table.AddRow(FormRecordCells(i + 1, forms[i]));
  return table;
}

// The form of that name in the list: its exact name, else one that differs in letter case
// (the spooler's GetForm may match either way).
const FormInfo* FormInList(const std::vector<FormInfo>& forms, const std::wstring& name) {
  auto found = std::find_if(forms.begin(), forms.end(),
                            [&](const FormInfo& form) { return form.name == name; });
  if (found == forms.end()) {
    found = std::find_if(forms.begin(), forms.end(), [&](const FormInfo& form) {
      return paper_store::SameProfileName(form.name, name);
    });
  }
  return found == forms.end() ? nullptr : &*found;
}

Table ShowForm(ClsPrint& component, const ParsedArguments& arguments) {
  std::wstring printerName = arguments.positionals[0];
  std::wstring formName = arguments.positionals[1];
  // A printer that does not open is "not found".
  const std::vector<FormInfo> forms = PrinterFormInfos(component, printerName);
  const rePaPer form = component.PrintGetForm(printerName, formName);
  const FormInfo* listed = FormInList(forms, arguments.positionals[1]);
  if (form == rePaPer{} || !listed) throw NoFormNamed(arguments.positionals[1], printerName);
  std::vector<Column> columnList{kPrinter};
  for (const Column& column : FormRecordColumns(false)) columnList.push_back(column);
  Table table(std::move(columnList), true);
  std::vector<Cell> cells{Text(printerName)};
  for (Cell& cell : FormRecordCells(std::nullopt, *listed)) cells.push_back(std::move(cell));
  table.AddRow(std::move(cells));
  return table;
}

Table StatusRecord(const std::wstring& printer, const std::wstring& form,
                   const std::wstring& status, const std::wstring& note = std::wstring()) {
  Table table({kPrinter, kForm, kStatus, kNote}, true);
  table.AddRow({Text(printer), Text(form), Text(status), Text(note)});
  return table;
}

Table AddForm(ClsPrint& component, const ParsedArguments& arguments) {
  const std::wstring printerName = arguments.positionals[0];
  const std::wstring formName = arguments.positionals[1];
  if (IsBlank(formName)) throw BadArguments(L"the form name is empty");
  Measures m = ReadMeasures(arguments, 2);
  if (m.inches) {
    for (double* value : {&m.width, &m.height, &m.left, &m.right, &m.top, &m.bottom}) {
      *value = component.InchToCm(*value, true);
    }
  }
  const std::vector<FormInfo> before = PrinterFormInfos(component, printerName);
  const auto existing = std::find_if(before.begin(), before.end(),
                                     [&](const FormInfo& form) { return form.name == formName; });
  const bool exists = existing != before.end();
  const std::wstring quoted = Quoted(formName);
  const bool replace = arguments.Has(L"replace");
  if (exists && !replace) {
    if (SameSize(*existing, ExpectedForm(formName, m))) {
      return StatusRecord(printerName, formName, kUnchanged, kSameNote);
    }
    throw Refused(L"the printer already has a form named " + quoted +
                  L" of another size (use --replace to replace it)");
  }
  const Placement placement = PlaceForm(component, printerName, formName, m, exists, replace);
  switch (placement) {
    case Placement::Added:
    case Placement::Replaced:
    case Placement::Kept:
      break;
    case Placement::DeleteRefused:
      throw Refused(L"the spooler refused to delete the old form " + quoted);
    case Placement::AddRefused:
      throw Refused(L"the spooler refused to add the form " + quoted);
    case Placement::RefusedRestored:
      throw Refused(L"the spooler refused the new form " + quoted + L"; the old one is back");
    case Placement::RefusedLost:
      throw Refused(L"the spooler refused the new form " + quoted +
                    L", and the old one could not be put back: it is deleted");
  }
  const std::wstring status = PlacementStatus(placement);
  const FormInfo expected = ExpectedForm(formName, m);
  const auto after = FormsReadBack(component, printerName);
  if (!ShowsChange(after, formName, &expected)) throw NotKept(formName, status, after);
  return StatusRecord(printerName, formName, status);
}

Table DeleteForm(ClsPrint& component, const ParsedArguments& arguments) {
  std::wstring printerName = arguments.positionals[0];
  std::wstring formName = arguments.positionals[1];
  const std::vector<FormInfo> before = PrinterFormInfos(component, printerName);
  if (std::none_of(before.begin(), before.end(),
                   [&](const FormInfo& form) { return form.name == formName; })) {
    throw NoFormNamed(formName, printerName);
  }
  const std::wstring shownName = formName;
  if (!component.PrintDelForm(printerName, formName)) {
    throw Refused(L"the spooler refused to delete the form " + Quoted(shownName));
  }
  const auto after = FormsReadBack(component, arguments.positionals[0]);
  if (!ShowsChange(after, shownName, nullptr)) throw NotKept(shownName, kDeleted, after);
  return StatusRecord(arguments.positionals[0], shownName, kDeleted);
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
  const FormInfo expected = ExpectedForm(sizeText, cm);
  const auto after = FormsReadBack(component, printerName);
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
  PrinterRef printer = PrinterNamed(printerName);
  if (!FindForm(PrinterForms(component, printer), formName)) {
    throw NoFormNamed(formName, printerName);
  }
  if (component.FormSelect(formName, 0) != 1) {
    throw Refused(L"the printer driver of " + printerName + L" did not take the form");
  }
  return StatusRecord(printerName, arguments.positionals[0], L"selected");
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
  PrinterRef printer = ChosenPrinter(component, PositionalOrNothing(arguments));
  const std::wstring printerName = printer->DeviceName();
  const std::vector<FormInfo> forms = PrinterFormInfos(component, printerName);
  const bool replace = arguments.Has(L"replace");

  std::vector<std::wstring> papers;
  component.IniReadValue(0, std::wstring(), &papers);
  std::vector<InstallRow> rows;
  std::wstring unreadable;
  bool changedAny = false;
  for (const std::wstring& paperName : papers) {
    if (IsBlank(paperName)) continue;  // the empty list reads as one empty name
    const StoredPaper stored = ReadStoredPaper(component, paperName);
    if (stored.problem) {
      unreadable += L"\n  \"" + paperName + L"\": " + *stored.problem;
      rows.push_back({paperName, std::nullopt, kFailed, L"unreadable: " + *stored.problem, {}});
      continue;
    }
    const Measures measures = CentimetreMeasures(component, stored.paper.paper);
    const FormInfo expected = ExpectedForm(paperName, measures);
    const auto existing = std::find_if(
        forms.begin(), forms.end(), [&](const FormInfo& form) { return form.name == paperName; });
    const bool exists = existing != forms.end();
    component.ForgetFailures();
    const Placement placement =
        PlaceForm(component, printerName, paperName, measures, exists, replace);
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
    const auto after = FormsReadBack(component, printerName);
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
       L"[PRINTER]",
       L"list a printer's forms",
       L"Lists the forms of PRINTER (default: the default printer) in the spooler's order,\n"
       L"with their number (used by form-find), kind (builtin, user or printer), size and\n"
       L"printable area in centimetres.\n",
       {},
       0,
       1,
       ListForms},
      {L"form-show",
       L"PRINTER FORM",
       L"show one form's size and printable area",
       L"Shows the size of the form FORM of PRINTER and its printable area, in centimetres.\n"
       L"Right and bottom are the positions of the printable area's edges, measured from\n"
       L"the sheet's left and top edges.\n",
       {},
       2,
       2,
       ShowForm},
      {L"form-add",
       L"PRINTER FORM WIDTH HEIGHT [--inches] [--left N] [--right N] [--top N] "
       L"[--bottom N] [--replace]",
       L"add a form to a printer",
       std::wstring(L"Adds the form FORM of WIDTH by HEIGHT to PRINTER. A form of that name\n"
                    L"that exists already with the same size and printable area is left\n"
                    L"unchanged; with another size it is refused, unless --replace deletes it\n"
                    L"first. The forms are read back: a form the spooler accepted but did not\n"
                    L"keep is refused (exit status 4).\n") +
           kMeasureHelp +
           L"  --replace    replace an existing form of that name (put back if the new one\n"
           L"               is refused)\n"
           L"Adding forms needs administrator rights on the print server.\n",
       [] {
         auto options = MeasureOptions();
         options.push_back({L"replace", false});
         return options;
       }(),
       4, 4, AddForm},
      {L"form-delete",
       L"PRINTER FORM",
       L"delete a form from a printer",
       L"Deletes the form FORM from PRINTER. The built-in forms cannot be deleted.\n"
       L"Deleting forms needs administrator rights on the print server.\n",
       {},
       2,
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
       L"[PRINTER] [--replace]",
       L"add every stored paper to a printer",
       L"Adds every paper of the paper store to PRINTER (default: the default printer), in\n"
       L"centimetres whatever unit the paper was stored in, and reports each one: added,\n"
       L"replaced, unchanged (a form of that name is kept as it is; the note says whether it\n"
       L"differs) or failed. A refused replacement puts the old form back. The forms are read\n"
       L"back afterwards: a form the spooler accepted but did not keep is failed.\n"
       L"  --replace    replace forms of the same name with the stored papers\n",
       {{L"replace", false}},
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
