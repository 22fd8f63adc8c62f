// Commands on printers and their forms.
#include <string>
#include <vector>

#include "cli/command_error.h"
#include "cli/commands.h"
#include "cli/form_placement.h"
#include "cli/measure_options.h"
#include "cli/number_arguments.h"
#include "cli/paper_library.h"
#include "cli/printer_lookup.h"
#include "component/paper_store_file.h"

namespace sheetlore::cli {
namespace {

const Column kPrinterColumn{L"Printer", L"printer"};
const Column kFormColumn{L"Form", L"form"};
const Column kStatusColumn{L"Status", L"status"};
const Column kWidthColumn{L"Width (cm)", L"width_cm", true};
const Column kHeightColumn{L"Height (cm)", L"height_cm", true};

bool IsBlank(const std::wstring& text) { return paper_store::TrimBlanks(text).empty(); }

CommandError NoFormNamed(const std::wstring& formName, const std::wstring& printerName) {
  return NotFound(L"no form named \"" + formName + L"\" on " + printerName);
}

Table ListPrinters(ClsPrint& component, const ParsedArguments&) {
  Host& host = component.platform().host;
  std::wstring defaultName;
  try {
    defaultName = host.CurrentPrinter()->DeviceName();
  } catch (const AutomationError&) {
    // No printer at all: the list below is empty too.
  }
  Table table({{L"Name", L"name"}, {L"Default", L"default"}});
  for (const PrinterRef& printer : host.Printers()) {
    const std::wstring name = printer->DeviceName();
    table.AddRow({Text(name), Boolean(name == defaultName)});
  }
  return table;
}  // namespace

Table ListForms(ClsPrint& component, const ParsedArguments& arguments) {
  const std::optional<std::wstring> name =
      arguments.positionals.empty() ? std::nullopt
                                    : std::optional<std::wstring>(arguments.positionals[0]);
  PrinterRef printer = ChosenPrinter(component, name);
  Table table({{L"No.", L"number", true}, {L"Name", L"name"}, kWidthColumn, kHeightColumn});
  for (const FormRow& form : PrinterForms(component, printer)) {
    table.AddRow(
        {Integer(form.position), Text(form.name), Number(form.width), Number(form.height)});
  }
  return table;
}

Table ShowForm(ClsPrint& component, const ParsedArguments& arguments) {
  std::wstring printerName = arguments.positionals[0];
  std::wstring formName = arguments.positionals[1];
  PrinterRef printer = PrinterNamed(printerName);
  PrinterForms(component, printer);  // a printer that does not open is "not found"
  const rePaPer form = component.PrintGetForm(printerName, formName);
  if (form == rePaPer{}) throw NoFormNamed(formName, printerName);
  Table table({kPrinterColumn,
               kFormColumn,
               kWidthColumn,
               kHeightColumn,
               {L"Left (cm)", L"left_cm", true},
               {L"Right (cm)", L"right_cm", true},
               {L"Top (cm)", L"top_cm", true},
               {L"Bottom (cm)", L"bottom_cm", true}},
              true);
  table.AddRow({Text(printerName), Text(formName), Number(form.W), Number(form.H), Number(form.L),
                Number(form.R), Number(form.T), Number(form.B)});
  return table;
}

Table StatusRecord(const std::wstring& printer, const std::wstring& form,
                   const std::wstring& status) {
  Table table({kPrinterColumn, kFormColumn, kStatusColumn}, true);
  table.AddRow({Text(printer), Text(form), Text(status)});
  return table;
}

void DeleteOrRefuse(ClsPrint& component, std::wstring printerName, std::wstring formName) {
  const std::wstring shownName = formName;
  if (!component.PrintDelForm(printerName, formName)) {
    throw Refused(L"the spooler refused to delete the form \"" + shownName + L"\"");
  }
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
  PrinterRef printer = PrinterNamed(printerName);
  const bool exists = FindForm(PrinterForms(component, printer), formName) != nullptr;
  const std::wstring quoted = L"\"" + formName + L"\"";
  switch (PlaceForm(component, printerName, formName, m, exists, arguments.Has(L"replace"))) {
    case Placement::Added:
      return StatusRecord(printerName, formName, L"added");
    case Placement::Replaced:
      return StatusRecord(printerName, formName, L"replaced");
    case Placement::Kept:
      throw Refused(L"the printer already has a form named " + quoted +
                    L" (use --replace to replace it)");
    case Placement::DeleteRefused:
      throw Refused(L"the spooler refused to delete the old form " + quoted);
    case Placement::AddRefused:
      throw Refused(L"the spooler refused to add the form " + quoted);
    case Placement::RefusedRestored:
      throw Refused(L"the spooler refused the new form " + quoted + L"; the old one is back");
    case Placement::RefusedLost:
      break;
  }
  throw Refused(L"the spooler refused the new form " + quoted +
                L", and the old one could not be put back: it is deleted");
}

Table DeleteForm(ClsPrint& component, const ParsedArguments& arguments) {
  const std::wstring printerName = arguments.positionals[0];
  const std::wstring formName = arguments.positionals[1];
  PrinterRef printer = PrinterNamed(printerName);
  if (!FindForm(PrinterForms(component, printer), formName)) {
    throw NoFormNamed(formName, printerName);
  }
  DeleteOrRefuse(component, printerName, formName);
  return StatusRecord(printerName, formName, L"deleted");
}

Table FindOrAddForm(ClsPrint& component, const ParsedArguments& arguments) {
  const std::wstring sizeText = arguments.positionals[0];
  const PaperSize size = ParsePaperSize(sizeText);
  PrinterRef printer = ChosenPrinter(component, arguments.Value(L"printer"));
  const std::vector<FormRow> before = PrinterForms(component, printer);
  const std::int32_t number = component.gFormID(sizeText, printer);
  if (number == 0) {
    throw Refused(L"no form of " + sizeText + L" inches, and the spooler refused to add one " +
                  L"(a form named \"" + sizeText + L"\" may exist with another size)");
  }
  const bool found = number >= 1 && static_cast<std::size_t>(number) <= before.size();
  Table table({{L"No.", L"number", true}, kFormColumn, kWidthColumn, kHeightColumn, kStatusColumn},
              true);
  if (found) {
    const FormRow& form = before[static_cast<std::size_t>(number) - 1];
    table.AddRow({Integer(number), Text(form.name), Number(form.width), Number(form.height),
                  Text(L"found")});
  } else {
    table.AddRow({Integer(number), Text(sizeText), Number(component.InchToCm(size.width, true)),
                  Number(component.InchToCm(size.height, true)), Text(L"added")});
  }
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

CommandOutcome InstallPapers(ClsPrint& component, const ParsedArguments& arguments) {
  const std::optional<std::wstring> name =
      arguments.positionals.empty() ? std::nullopt
                                    : std::optional<std::wstring>(arguments.positionals[0]);
  PrinterRef printer = ChosenPrinter(component, name);
  const std::wstring printerName = printer->DeviceName();
  const std::vector<FormRow> forms = PrinterForms(component, printer);
  const bool replace = arguments.Has(L"replace");

  // The store read whole first, so that it is not held while the spooler works.
  const std::vector<StoredPaper> papers = ReadListedPapers(component);
  Table table({{L"Paper", L"paper"}, kWidthColumn, kHeightColumn, kStatusColumn, ErrorColumn()});
  bool anyRefused = false;
  std::wstring unreadable;
  for (const StoredPaper& stored : papers) {
    const std::wstring& paperName = stored.paper.name;
    if (IsBlank(paperName)) continue;  // a listed name of blanks only names no paper
    if (stored.problem) {
      unreadable += L"\n  \"" + paperName + L"\": " + *stored.problem;
      table.AddRow({Text(paperName), Text(L""), Text(L""), Text(L"unreadable")});
      continue;
    }
    const rePaPer& paper = stored.paper.paper;
    // The store's unit code 1 means inches; every other code means centimetres.
    const auto cm = [&](double value) {
      return paper.mMode == 1 ? component.InchToCm(value, true) : value;
    };
    const Measures measures{false,       cm(paper.W), cm(paper.H), cm(paper.L),
                            cm(paper.R), cm(paper.T), cm(paper.B)};
    const bool exists = FindForm(forms, paperName) != nullptr;
    component.ForgetFailures();
    const std::wstring status =
        PlacementStatus(PlaceForm(component, printerName, paperName, measures, exists, replace));
    const bool refused = status.starts_with(L"refused");
    anyRefused = anyRefused || refused;
    table.AddRow({Text(paperName), Number(measures.width), Number(measures.height), Text(status),
                  ErrorCell(refused ? LastPlatformError(component) : std::nullopt)});
  }
  CommandOutcome outcome(std::move(table));
  if (anyRefused) {
    outcome.exit = ExitCode::Refused;
    outcome.message = L"the spooler refused some papers (see their errors)";
  }
  if (!unreadable.empty()) {
    if (!anyRefused) outcome.exit = ExitCode::Failure;
    outcome.message += (anyRefused ? L"\n" : L"") +
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
       L"with their number (used by form-find) and their size in centimetres.\n",
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
                    L"that exists already is refused, unless --replace deletes it first.\n") +
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
       L"exists (a form of that name is kept as it is), replaced, or refused. A refused\n"
       L"replacement puts the old form back.\n"
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
