#include "cli/form_placement.h"

#include <algorithm>

#include "component/form_list.h"
#include "component/spooler_units.h"

namespace sheetlore::cli {

Placement PlaceForm(ClsPrint& component, const FormTarget& target, const FormInfo& form,
                    const std::optional<std::wstring>& existing, bool replace) {
  const bool exists = existing.has_value();
  if (exists && !replace) return Placement::Kept;
  std::optional<FormInfo> old;
  if (exists) {
    old = TargetForm(component, target, *existing);
    if (!DeleteTargetForm(component, target, *existing)) return Placement::DeleteRefused;
  }
  if (AddTargetForm(component, target, form))
    return exists ? Placement::Replaced : Placement::Added;
  if (!exists) return Placement::AddRefused;
  const bool restored = old && AddTargetForm(component, target, *old);
  return restored ? Placement::RefusedRestored : Placement::RefusedLost;
}

bool SameSize(const FormInfo& a, const FormInfo& b) {
  return a.cx == b.cx && a.cy == b.cy && a.left == b.left && a.top == b.top && a.right == b.right &&
         a.bottom == b.bottom;
}

std::wstring NotKeptNote(const std::wstring& reportedStatus) {
  return L"the spooler reported " + reportedStatus + L", but the printer's forms do not show it";
}

bool ShowsChange(const std::optional<std::vector<FormInfo>>& formsAfter, const std::wstring& name,
                 const FormInfo* expected) {
  if (!formsAfter) return false;
  const bool present =
      std::any_of(formsAfter->begin(), formsAfter->end(), [&](const FormInfo& form) {
        return form.name == name && (expected == nullptr || SameSize(form, *expected));
      });
  return expected ? present : !present;
}

std::wstring PlacementStatus(Placement placement) {
  switch (placement) {
    case Placement::Added:
      return L"added";
    case Placement::Replaced:
      return L"replaced";
    case Placement::Kept:
      return L"unchanged";
    case Placement::DeleteRefused:
    case Placement::AddRefused:
    case Placement::RefusedRestored:
    case Placement::RefusedLost:
      break;
  }
  return L"failed";
}

std::wstring PlacementNote(Placement placement) {
  switch (placement) {
    case Placement::DeleteRefused:
      return L"the spooler refused to delete the old form";
    case Placement::AddRefused:
      return L"the spooler refused to add the form";
    case Placement::RefusedRestored:
      return L"the spooler refused the new size; the old form is back";
    case Placement::RefusedLost:
      return L"the spooler refused the new size, and the old form could not be put back";
    case Placement::Added:
    case Placement::Replaced:
    case Placement::Kept:
      break;
  }
  return std::wstring();
}

}  // namespace sheetlore::cli
