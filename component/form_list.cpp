#include "component/form_list.h"

#include "component/opened_printer.h"

namespace sheetlore {
namespace {

// The list may grow between the sizing call and the filling call; a few more tries with the
// newly reported size cover that without looping forever on a spooler that keeps growing.
constexpr int kFillingAttempts = 3;

}  // namespace

std::optional<std::vector<FormInfo>> EnumerateForms(Spooler& spooler, PrinterHandle printer) {
  std::vector<FormInfo> forms;
  std::uint32_t bytesNeeded = 0;
  std::uint32_t returned = 0;
  spooler.EnumForms(printer, 0, forms, bytesNeeded, returned);  // asks for the size only

  for (int attempt = 0; attempt < kFillingAttempts; ++attempt) {
    const std::uint32_t offered = bytesNeeded;
    forms.clear();
    returned = 0;
    if (spooler.EnumForms(printer, offered, forms, bytesNeeded, returned)) {
      if (forms.size() > returned) forms.resize(returned);
      return forms;
    }
    const bool grewMeanwhile =
        spooler.LastError() == kErrorInsufficientBuffer && bytesNeeded > offered;
    if (!grewMeanwhile) break;
  }
  return std::nullopt;
}

std::optional<std::vector<FormInfo>> ReadPrinterForms(Spooler& spooler,
                                                      const std::wstring& printerName) {
  OpenedPrinter printer(spooler, printerName);
  if (!printer) return std::nullopt;
  return EnumerateForms(spooler, printer.handle());
}

std::optional<FormInfo> LookUpForm(Spooler& spooler, PrinterHandle printer,
                                   const std::wstring& formName) {
  FormInfo form;
  std::uint32_t bytesNeeded = 0;
  if (spooler.GetForm(printer, formName, 0, form, bytesNeeded)) return form;
  for (int attempt = 0; attempt < kFillingAttempts; ++attempt) {
    if (spooler.LastError() != kErrorInsufficientBuffer || bytesNeeded == 0) break;
    const std::uint32_t offered = bytesNeeded;
    if (spooler.GetForm(printer, formName, offered, form, bytesNeeded)) return form;
  }
  return std::nullopt;
}

std::optional<FormInfo> LookUpForm(Spooler& spooler, const std::wstring& printerName,
                                   const std::wstring& formName) {
  OpenedPrinter printer(spooler, printerName);
  if (!printer) return std::nullopt;
  return LookUpForm(spooler, printer.handle(), formName);
}

}  // namespace sheetlore
