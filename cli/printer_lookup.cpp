#include "cli/printer_lookup.h"

#include <algorithm>

#include "cli/command_error.h"
#include "component/form_list.h"

namespace sheetlore::cli {
namespace {

class NamedPrinter final : public PrinterObject {
 public:
  explicit NamedPrinter(std::wstring name) : name_(std::move(name)) {}
  std::wstring DeviceName() override { return name_; }
  // The commands never draw on a named printer; only the current printer has a context.
  DeviceContext hDC() override { throw AutomationError::NoPrinter(); }

 private:
  std::wstring name_;
};

}  // namespace

PrinterRef PrinterNamed(std::wstring name) {
  return std::make_shared<NamedPrinter>(std::move(name));
}

std::wstring DefaultPrinterName(ClsPrint& component) {
  try {
    return component.platform().host.CurrentPrinter()->DeviceName();
  } catch (const AutomationError&) {
    throw NotFound(L"no printer is installed");
  }
}

PrinterRef ChosenPrinter(ClsPrint& component, const std::optional<std::wstring>& name) {
  return PrinterNamed(name ? *name : DefaultPrinterName(component));
}

std::vector<FormRow> PrinterForms(ClsPrint& component, PrinterRef& printer) {
  std::optional<std::vector<FormRow>> forms;
  if (!component.FormCheck(forms, printer) || !forms) {
    throw NotFound(L"printer not found or cannot be opened: " + printer->DeviceName());
  }
  return *forms;
}

std::vector<FormInfo> PrinterFormInfos(ClsPrint& component, const std::wstring& printerName) {
  auto forms = ReadPrinterForms(component.platform().spooler, printerName);
  if (!forms) throw NotFound(L"printer not found or cannot be opened: " + printerName);
  return std::move(*forms);
}

std::optional<std::wstring> SpoolerFormName(ClsPrint& component, const std::wstring& printerName,
                                            const std::wstring& formName) {
  const auto form = LookUpForm(component.platform().spooler, printerName, formName);
  if (!form) return std::nullopt;
  return form->name;
}

const FormRow* FindForm(const std::vector<FormRow>& forms, const std::wstring& name) {
  const auto found = std::find_if(forms.begin(), forms.end(),
                                  [&name](const FormRow& form) { return form.name == name; });
  return found == forms.end() ? nullptr : &*found;
}

}  // namespace sheetlore::cli
