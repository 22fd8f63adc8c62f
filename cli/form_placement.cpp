#include "cli/form_placement.h"

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

std::wstring PlacementStatus(Placement placement) {
  switch (placement) {
    case Placement::Added:
      return L"added";
    case Placement::Replaced:
      return L"replaced";
    case Placement::Kept:
      return L"exists";
    case Placement::DeleteRefused:
    case Placement::AddRefused:
    case Placement::RefusedRestored:
    case Placement::RefusedLost:
      break;
  }
  return L"refused";
}

}  // namespace sheetlore::cli
