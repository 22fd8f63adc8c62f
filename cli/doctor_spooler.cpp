// The printer checks of sheetlore doctor, and the write test that shows whether the spooler
// really keeps a form it accepts.
#include <optional>
#include <string>
#include <vector>

#include "cli/doctor.h"
#include "cli/printer_lookup.h"

namespace sheetlore::cli {
namespace {

constexpr wchar_t kFormPrefix[] = L"Sheetlore doctor ";
constexpr wchar_t kAdministratorRemedy[] =
    L"run as an administrator of the print server (forms belong to the server)";

std::optional<std::vector<FormRow>> FormsOf(ClsPrint& component, const std::wstring& printer) {
  PrinterRef object = PrinterNamed(printer);
  std::optional<std::vector<FormRow>> forms;
  if (!component.FormCheck(forms, object)) return std::nullopt;
  return forms;
}

bool Listed(const std::optional<std::vector<FormRow>>& forms, const std::wstring& name) {
  return forms && FindForm(*forms, name) != nullptr;
}

// A form name the printer does not have yet.
std::wstring UnusedFormName(const std::vector<FormRow>& forms) {
  for (int number = 1;; ++number) {
    std::wstring name = kFormPrefix + std::to_wstring(number);
    if (!FindForm(forms, name)) return name;
  }
}

}  // namespace

Findings PrinterFindings(ClsPrint& component) {
  Host& host = component.platform().host;
  std::wstring names;
  std::size_t count = 0;
  for (const PrinterRef& printer : host.Printers()) {
    names += (count++ == 0 ? L"" : L", ") + printer->DeviceName();
  }
  Findings findings;
  findings.push_back(
      {L"printers.installed", count > 0,
       count == 0 ? L"none" : std::to_wstring(count) + L": " + names,
       count > 0
           ? std::nullopt
           : std::optional<std::wstring>(
                 L"add a printer (Settings > Printers & scanners): forms belong to printers")});
  std::wstring defaultName;
  try {
    defaultName = host.CurrentPrinter()->DeviceName();
  } catch (const AutomationError&) {
    // Reported just below.
  }
  findings.push_back(
      {L"printers.default", !defaultName.empty(), defaultName.empty() ? L"none" : defaultName,
       defaultName.empty() ? std::optional<std::wstring>(
                                 L"choose a default printer, or name the printer in each command")
                           : std::nullopt});
  return findings;
}

Finding PrinterOpenFinding(ClsPrint& component, const std::wstring& printerName) {
  component.ForgetFailures();
  const std::optional<std::vector<FormRow>> forms = FormsOf(component, printerName);
  if (forms)
    return {L"printer.opens", true, std::to_wstring(forms->size()) + L" forms", std::nullopt,
            printerName};
  Finding finding{L"printer.opens",
                  false,
                  L"no such printer, or it does not open",
                  L"check the name with \"sheetlore printers\"",
                  printerName,
                  LastPlatformError(component)};
  finding.notFound = true;
  return finding;
}

Findings WriteTestFindings(ClsPrint& component, const std::wstring& printerName) {
  Findings findings;
  component.ForgetFailures();
  const std::optional<std::vector<FormRow>> before = FormsOf(component, printerName);
  if (!before) {
    findings.push_back({L"write_test.opens", false, L"the printer does not open or lists no forms",
                        L"check the name with \"sheetlore printers\"", printerName,
                        LastPlatformError(component)});
    return findings;
  }
  const std::wstring formName = UnusedFormName(*before);
  std::wstring printer = printerName;
  std::wstring form = formName;
  double cx = 12.34, cy = 5.67, left = 0, right = 0, top = 0, bottom = 0;
  component.ForgetFailures();
  const bool added = component.PrintAddForm(printer, form, cx, cy, left, right, top, bottom);
  findings.push_back({L"write_test.add", added,
                      (added ? L"accepted the form \"" : L"refused the form \"") + formName + L"\"",
                      added ? std::nullopt : std::optional<std::wstring>(kAdministratorRemedy),
                      printerName, added ? std::nullopt : LastPlatformError(component)});
  if (added) {
    const bool keptAfterAdding = Listed(FormsOf(component, printerName), formName);
    findings.push_back(
        {L"write_test.listed_after_adding", keptAfterAdding,
         keptAfterAdding ? L"yes" : L"the spooler accepted the form without keeping it",
         keptAfterAdding ? std::nullopt
                         : std::optional<std::wstring>(
                               L"check the print server's forms by hand; its spooler does not "
                               L"keep the forms it accepts"),
         printerName});
    // Deleted even when it is not listed, in case only the list was wrong.
    printer = printerName;
    form = formName;
    component.ForgetFailures();
    const bool deleted = component.PrintDelForm(printer, form);
    if (keptAfterAdding) {
      findings.push_back(
          {L"write_test.delete", deleted, deleted ? L"done" : L"refused",
           deleted ? std::nullopt : std::optional<std::wstring>(kAdministratorRemedy), printerName,
           deleted ? std::nullopt : LastPlatformError(component)});
    }
    const bool goneAfterDeleting = !Listed(FormsOf(component, printerName), formName);
    findings.push_back({L"write_test.gone_after_deleting", goneAfterDeleting,
                        goneAfterDeleting ? L"yes" : L"still listed",
                        goneAfterDeleting
                            ? std::nullopt
                            : std::optional<std::wstring>(L"delete the form \"" + formName +
                                                          L"\" by hand (sheetlore form-delete)"),
                        printerName});
  }
  const bool unchanged = FormsOf(component, printerName) == before;
  findings.push_back(
      {L"write_test.forms_as_before", unchanged, unchanged ? L"yes" : L"they differ",
       unchanged ? std::nullopt
                 : std::optional<std::wstring>(L"compare the printer's forms (sheetlore forms)"),
       printerName});
  return findings;
}

}  // namespace sheetlore::cli
