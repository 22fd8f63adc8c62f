#pragma once
// Putting a form on a printer or print server, replacing one of the same name on request. A
// replacement deletes the old form first (the spooler refuses to add a name it has); when the
// spooler then refuses the new form, the old one is put back, so a refused replacement loses
// nothing.

#include <optional>
#include <string>

#include "cli/form_target.h"
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

// form: the new form as the spooler is to keep it. existing: the name of the form the spooler
// finds for the new form's name (TargetForm), or nothing; a replacement deletes that form and
// puts it back as it was when the new one is refused.
Placement PlaceForm(ClsPrint& component, const FormTarget& target, const FormInfo& form,
                    const std::optional<std::wstring>& existing, bool replace);

// "added", "replaced", "exists", "refused" or "refused, old form deleted".
std::wstring PlacementStatus(Placement placement);

}  // namespace sheetlore::cli
