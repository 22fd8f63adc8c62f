// Commands on printers and their forms.
#include <string>
#include <vector>

#include "cli/command_error.h"
#include "cli/commands.h"
#include "cli/form_placement.h"
#include "cli/form_target.h"
#include "cli/measure_options.h"
#include "cli/number_arguments.h"
#include "cli/paper_library.h"
#include "cli/printer_lookup.h"
#include "component/paper_store_file.h"
#include "component/spooler_units.h"

namespace sheetlore::cli {
namespace {

const Column kPrinterColumn{L"Printer", L"printer"};
const Column kFormColumn{L"Form", L"form"};
const Column kStatusColumn{L"Status", L"status"};
const Column kWidthColumn{L"Width (cm)", L"width_cm", true};
const Column kHeightColumn{L"Height (cm)", L"height_cm", true};

bool IsBlank(const std::wstring& text) { return paper_store::TrimBlanks(text).empty(); }

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

CommandError NoFormOn(const std::wstring& formName, const FormTarget& target) {
  return NotFound(L"no form named \"" + formName + L"\" on " + target.Label());
}

Table ListForms(ClsPrint& component, const ParsedArguments& arguments) {
  const FormTarget target = ChosenTarget(arguments, PrinterArgument(arguments, 0));
  Table table({{L"No.", L"number", true}, {L"Name", L"name"}, kWidthColumn, kHeightColumn});
  long long number = 0;
  for (const FormInfo& form : TargetForms(component, target)) {
    table.AddRow({Integer(++number), Text(form.name), Number(SpoolerUnitsToCentimetres(form.cx)),
                  Number(SpoolerUnitsToCentimetres(form.cy))});
  }
  return table;
}

Table ShowForm(ClsPrint& component, const ParsedArguments& arguments) {
  const FormTarget target = ChosenTarget(arguments, PrinterArgument(arguments, 1));
  const std::wstring& formName = After(arguments, 1, 0);
  TargetForms(component, target);  // a printer or server that does not open is "not found"
  const std::optional<FormInfo> form = TargetForm(component, target, formName);
  if (!form) throw NoFormOn(formName, target);
  const auto cm = [](std::int32_t units) { return Number(SpoolerUnitsToCentimetres(units)); };
  Table table({target.NameColumn(),
               kFormColumn,
               kWidthColumn,
               kHeightColumn,
               {L"Left (cm)", L"left_cm", true},
               {L"Right (cm)", L"right_cm", true},
               {L"Top (cm)", L"top_cm", true},
               {L"Bottom (cm)", L"bottom_cm", true}},
              true);
  table.AddRow({target.NameCell(), Text(formName), cm(form->cx), cm(form->cy), cm(form->left),
                cm(form->right), cm(form->top), cm(form->bottom)});
  return table;
}

Table StatusRecord(const FormTarget& target, const std::wstring& form, const std::wstring& status) {
  Table table({target.NameColumn(), kFormColumn, kStatusColumn}, true);
  table.AddRow({target.NameCell(), Text(form), Text(status)});
  return table;
}

Table AddForm(ClsPrint& component, const ParsedArguments& arguments) {
  const FormTarget target = ChosenTarget(arguments, PrinterArgument(arguments, 3));
  const std::wstring formName = After(arguments, 3, 0);
  if (IsBlank(formName)) throw BadArguments(L"the form name is empty");
  const Measures m = ReadMeasures(arguments, arguments.positionals.size() - 2);
  // The checks every form and paper passes, before any printer is asked.
  const rePaPer typed{static_cast<std::uint8_t>(m.inches ? 1 : 0),
                      m.width,
                      m.height,
                      m.left,
                      m.right,
                      m.top,
                      m.bottom};
  if (const auto problem = GeometryProblem(component, typed)) {
    throw BadArguments(L"the form \"" + formName + L"\" is not added: " + *problem);
  }
  const FormInfo form = FormForMeasures(formName, CentimetreMeasures(component, typed));
  TargetForms(component, target);  // a printer or server that does not open is "not found"
  const std::optional<FormInfo> existing = TargetForm(component, target, formName);
  const std::optional<std::wstring> existingName =
      existing ? std::optional<std::wstring>(existing->name) : std::nullopt;
  const std::wstring quoted = L"\"" + existingName.value_or(formName) + L"\"";
  component.ForgetFailures();
  switch (PlaceForm(component, target, form, existingName, arguments.Has(L"replace"))) {
    case Placement::Added:
      return StatusRecord(target, formName, L"added");
    case Placement::Replaced:
      return StatusRecord(target, formName, L"replaced");
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
  const FormTarget target = ChosenTarget(arguments, PrinterArgument(arguments, 1));
  const std::wstring& formName = After(arguments, 1, 0);
  TargetForms(component, target);  // a printer or server that does not open is "not found"
  if (!TargetForm(component, target, formName)) throw NoFormOn(formName, target);
  component.ForgetFailures();
  if (!DeleteTargetForm(component, target, formName)) {
    throw Refused(L"the spooler refused to delete the form \"" + formName + L"\"");
  }
  return StatusRecord(target, formName, L"deleted");
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
  PrinterForms(component, printer);  // a printer that does not open is "not found"
  if (!SpoolerFormName(component, printerName, formName)) {
    throw NoFormOn(formName, FormTarget{false, printerName});
  }
  if (component.FormSelect(formName, 0) != 1) {
    throw Refused(L"the printer driver of " + printerName + L" did not take the form");
  }
  return StatusRecord(FormTarget{false, printerName}, arguments.positionals[0], L"selected");
}

CommandOutcome InstallPapers(ClsPrint& component, const ParsedArguments& arguments) {
  const FormTarget target = ChosenTarget(arguments, PrinterArgument(arguments, 0));
  TargetForms(component, target);  // a printer or server that does not open is "not found"
  const bool replace = arguments.Has(L"replace");

  std::vector<std::wstring> papers;
  component.IniReadValue(0, std::wstring(), &papers);
  Table table({{L"Paper", L"paper"}, kWidthColumn, kHeightColumn, kStatusColumn, ErrorColumn()});
  bool anyRefused = false;
  std::wstring unreadable;
  std::wstring impossible;
  for (const std::wstring& paperName : papers) {
    if (IsBlank(paperName)) continue;  // the empty list reads as one empty name
    const StoredPaper stored = ReadStoredPaper(component, paperName);
    if (stored.problem) {
      unreadable += L"\n  \"" + paperName + L"\": " + *stored.problem;
      table.AddRow({Text(paperName), Text(L""), Text(L""), Text(L"unreadable")});
      continue;
    }
    const rePaPer& paper = stored.paper.paper;
    // The store's unit code 1 means inches; every other code means centimetres.
    const Measures measures = CentimetreMeasures(component, paper);
    if (const auto problem = GeometryProblem(component, paper)) {
      anyRefused = true;
      impossible += L"\n  \"" + paperName + L"\": " + *problem;
      table.AddRow(
          {Text(paperName), Number(measures.width), Number(measures.height), Text(L"refused")});
      continue;
    }
    const std::optional<FormInfo> found = TargetForm(component, target, paperName);
    const std::optional<std::wstring> existing =
        found ? std::optional<std::wstring>(found->name) : std::nullopt;
    component.ForgetFailures();
    const std::wstring status = PlacementStatus(
        PlaceForm(component, target, FormForMeasures(paperName, measures), existing, replace));
    const bool refused = status.starts_with(L"refused");
    anyRefused = anyRefused || refused;
    table.AddRow({Text(paperName), Number(measures.width), Number(measures.height), Text(status),
                  ErrorCell(refused ? LastPlatformError(component) : std::nullopt)});
  }
  CommandOutcome outcome(std::move(table));
  if (anyRefused) {
    outcome.exit = ExitCode::Refused;
    outcome.message = L"the spooler refused some papers (see their errors)";
    if (!impossible.empty()) outcome.message += L"; no form can be these papers:" + impossible;
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
       L"[PRINTER | --server \\\\NAME]",
       L"list the forms of a print server",
       std::wstring(L"Lists the forms of PRINTER's print server (default: the local print server)\n"
                    L"in the spooler's order, with their number (used by form-find) and their\n"
                    L"size in centimetres.\n") +
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
       std::wstring(L"Adds the form FORM of WIDTH by HEIGHT to PRINTER's print server (default:\n"
                    L"the local print server). A form the spooler finds by that name is kept,\n"
                    L"unless --replace deletes it first.\n") +
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
           L"each one: added, exists (a form the spooler finds by that name is kept as it is),\n"
           L"replaced, or refused. A refused replacement puts the old form back.\n"
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
