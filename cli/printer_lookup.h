#pragma once
// Finding the printer a command names, and telling "no such printer" apart from a spooler
// that refuses: the component answers both with false, so the printer is opened once first.

#include <optional>
#include <string>
#include <vector>

#include "component/cls_print.h"

namespace sheetlore::cli {

// A printer object for a spooler name, as a host's printer object would be.
PrinterRef PrinterNamed(std::wstring name);

// The default printer's name. Throws CommandError (not found) when there is no printer.
std::wstring DefaultPrinterName(ClsPrint& component);

// The named printer, or the default one when no name is given.
PrinterRef ChosenPrinter(ClsPrint& component, const std::optional<std::wstring>& name);

// The forms of a printer in the spooler's order. Throws CommandError (not found) when the
// printer does not open.
std::vector<FormRow> PrinterForms(ClsPrint& component, PrinterRef& printer);

// The forms of a printer at level 1, whole (kind and printable area too), in the spooler's order.
// Throws CommandError (not found) when the printer does not open.
std::vector<FormInfo> PrinterFormInfos(ClsPrint& component, const std::wstring& printerName);
// The name of the form the spooler finds for formName by its own rule (as GetForm matches
// names), or nothing when it finds none.
std::optional<std::wstring> SpoolerFormName(ClsPrint& component, const std::wstring& printerName,
                                            const std::wstring& formName);

// The form of that exact name, if the printer has one.
const FormRow* FindForm(const std::vector<FormRow>& forms, const std::wstring& name);

}  // namespace sheetlore::cli
