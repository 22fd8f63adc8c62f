#pragma once
// Putting a form on a printer, replacing one of the same name on request. A replacement
// deletes the old form first (the spooler refuses to add a name it has); when the spooler then
// refuses the new form, the old one is put back, so a refused replacement loses nothing.

#include <string>

#include "cli/measure_options.h"
#include "component/cls_print.h"

namespace sheetlore::cli {

enum class Placement {
  Added,
  Replaced,
  Kept,             // a form of the name exists and no replacement was asked for
  DeleteRefused,    // the old form could not be deleted: nothing changed
  AddRefused,       // the new form was refused; no form of the name existed
  RefusedRestored,  // the new form was refused and the old one put back
  RefusedLost,      // the new form was refused and the old one could not be put back
};

// centimetres: the new form's measures, in centimetres. exists: whether the printer lists a
// form of that name.
Placement PlaceForm(ClsPrint& component, const std::wstring& printerName,
                    const std::wstring& formName, const Measures& centimetres, bool exists,
                    bool replace);

// "added", "replaced", "exists", "refused" or "refused, old form deleted".
std::wstring PlacementStatus(Placement placement);

}  // namespace sheetlore::cli
