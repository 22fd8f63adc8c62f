#pragma once
// A printer's forms at level 1, whole: name, kind (user, built-in, printer), size and printable
// area in the spooler's units. FormCheck shows callers only names and sizes; the tools that
// compare or copy forms need the rest.

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace sheetlore {

// The forms of an open printer in enumeration order, or nothing when the list could not be read.
std::optional<std::vector<FormInfo>> EnumerateForms(Spooler& spooler, PrinterHandle printer);

// Opens the printer by name (administer access), lists its forms and closes it again. Nothing
// when the printer does not open or the list could not be read.
std::optional<std::vector<FormInfo>> ReadPrinterForms(Spooler& spooler,
                                                      const std::wstring& printerName);

// The form the spooler finds for a name by its own rule (GetForm at level 1): the record as the
// spooler keeps it, with the form's own name, which may differ from the name asked for where the
// spooler matches names in any letter case. Nothing when it finds none or cannot be asked.
std::optional<FormInfo> LookUpForm(Spooler& spooler, PrinterHandle printer,
                                   const std::wstring& formName);

// The same on a printer (or print server) opened by name for this one question.
std::optional<FormInfo> LookUpForm(Spooler& spooler, const std::wstring& printerName,
                                   const std::wstring& formName);

}  // namespace sheetlore
