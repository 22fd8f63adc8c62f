// The printer checks of sheetlore doctor, and the write test that shows whether the spooler
// really keeps a form it accepts.
#include <optional>
#include <string>
#include <vector>

#include "cli/doctor.h"
#include "cli/printer_lookup.h"

namespace sheetlore::cli {
namespace {

constexpr wchar_t kWriteTest[] = L"write test";
constexpr wchar_t kFormPrefix[] = L"Sheetlore doctor ";

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
  findings.push_back({L"printers", L"installed", count > 0,
                      count == 0 ? L"none" : std::to_wstring(count) + L": " + names});
  std::wstring defaultName;
  try {
    defaultName = host.CurrentPrinter()->DeviceName();
  } catch (const AutomationError&) {
    // Reported just below.
  }
  findings.push_back(
      {L"printers", L"default", !defaultName.empty(), defaultName.empty() ? L"none" : defaultName});
  return findings;
}

Findings WriteTestFindings(ClsPrint& component, const std::wstring& printerName) {
  Findings findings;
  component.ForgetFailures();
  const std::optional<std::vector<FormRow>> before = FormsOf(component, printerName);
  if (!before) {
    findings.push_back({kWriteTest, L"open " + printerName, false,
                        L"the printer does not open or lists no forms",
                        LastPlatformError(component)});
    return findings;
  }
  const std::wstring formName = UnusedFormName(*before);
  std::wstring printer = printerName;
  std::wstring form = formName;
  double cx = 12.34, cy = 5.67, left = 0, right = 0, top = 0, bottom = 0;
  component.ForgetFailures();
  const bool added = component.PrintAddForm(printer, form, cx, cy, left, right, top, bottom);
  findings.push_back({kWriteTest, L"add the form \"" + formName + L"\" to " + printerName, added,
                      added ? L"accepted" : L"refused",
                      added ? std::nullopt : LastPlatformError(component)});
  if (added) {
    const bool keptAfterAdding = Listed(FormsOf(component, printerName), formName);
    findings.push_back(
        {kWriteTest, L"the form is listed after adding", keptAfterAdding,
         keptAfterAdding ? L"yes" : L"the spooler accepted the form without keeping it"});
    // Deleted even when it is not listed, in case only the list was wrong.
    printer = printerName;
    form = formName;
    component.ForgetFailures();
    const bool deleted = component.PrintDelForm(printer, form);
    if (keptAfterAdding) {
      findings.push_back({kWriteTest, L"delete the form", deleted, deleted ? L"done" : L"refused",
                          deleted ? std::nullopt : LastPlatformError(component)});
    }
    const bool goneAfterDeleting = !Listed(FormsOf(component, printerName), formName);
    findings.push_back({kWriteTest, L"the form is gone after deleting", goneAfterDeleting,
                        goneAfterDeleting ? L"yes" : L"still listed: delete it by hand"});
  }
  const bool unchanged = FormsOf(component, printerName) == before;
  findings.push_back({kWriteTest, L"the printer's forms are as before", unchanged,
                      unchanged ? L"yes" : L"they differ"});
  return findings;
}

}  // namespace sheetlore::cli
