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

}  // namespace sheetlore
