#pragma once
// Putting a form on a printer or print server, replacing one of the same name on request. A
// replacement deletes the old form first (the spooler refuses to add a name it has); when the
// spooler then refuses the new form, the old one is put back, so a refused replacement loses
// nothing.

#include <optional>
#include <string>
#include <vector>

#include "cli/form_target.h"
#include "component/cls_print.h"
#include "platform/platform.h"

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

// "added", "replaced", "unchanged" (kept as it was) or "failed".
std::wstring PlacementStatus(Placement placement);

// Why a placement failed, or nothing when it did not.
std::wstring PlacementNote(Placement placement);

// The same size and printable area, in the spooler's units.
bool SameSize(const FormInfo& a, const FormInfo& b);

// The spooler's word that it changed a form is not enough: what it keeps is read back. A
// change it accepted without keeping is reported as failed, with this note.
std::wstring NotKeptNote(const std::wstring& reportedStatus);
inline constexpr wchar_t kNotReadBackNote[] = L"the printer's forms could not be read back";

// Whether forms read back (nothing: they could not be read) hold a form of exactly that name
// and size, or, for a deletion (expected null), no form of that name.
bool ShowsChange(const std::optional<std::vector<FormInfo>>& formsAfter, const std::wstring& name,
                 const FormInfo* expected);

}  // namespace sheetlore::cli
