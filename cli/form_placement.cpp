#include "cli/form_placement.h"

#include <algorithm>

#include "component/form_list.h"
#include "component/spooler_units.h"

namespace sheetlore::cli {
namespace {

// PrintAddForm and PrintDelForm take their arguments by reference and may change them:
// every call gets copies.
bool Add(ClsPrint& component, std::wstring printerName, std::wstring formName, double width,
         double height, double left, double right, double top, double bottom) {
  return component.PrintAddForm(printerName, formName, width, height, left, right, top, bottom);
}

bool Delete(ClsPrint& component, std::wstring printerName, std::wstring formName) {
  return component.PrintDelForm(printerName, formName);
}

}  // namespace

Placement PlaceForm(ClsPrint& component, const std::wstring& printerName,
                    const std::wstring& formName, const Measures& cm, bool exists, bool replace) {
  if (exists && !replace) return Placement::Kept;
  rePaPer old;
  if (exists) {
    std::wstring printer = printerName, form = formName;
    old = component.PrintGetForm(printer, form);
    if (!Delete(component, printerName, formName)) return Placement::DeleteRefused;
  }
  if (Add(component, printerName, formName, cm.width, cm.height, cm.left, cm.right, cm.top,
          cm.bottom)) {
    return exists ? Placement::Replaced : Placement::Added;
  }
  if (!exists) return Placement::AddRefused;
  const bool restored = old != rePaPer{} && Add(component, printerName, formName, old.W, old.H,
                                                old.L, old.R, old.T, old.B);
  return restored ? Placement::RefusedRestored : Placement::RefusedLost;
}

FormInfo ExpectedForm(const std::wstring& name, const Measures& cm) {
  const double cx = cm.width * kSpoolerUnitsPerCentimetre;
  const double cy = cm.height * kSpoolerUnitsPerCentimetre;
  const double right = cm.right * kSpoolerUnitsPerCentimetre;
  const double bottom = cm.bottom * kSpoolerUnitsPerCentimetre;
  FormInfo form;
  form.flags = kUserForm;
  form.name = name;
  form.cx = RoundToSpoolerUnits(cx);
  form.cy = RoundToSpoolerUnits(cy);
  form.left = RoundToSpoolerUnits(cm.left * kSpoolerUnitsPerCentimetre);
  form.top = RoundToSpoolerUnits(cm.top * kSpoolerUnitsPerCentimetre);
  // Right and bottom 0 stand for the sheet's own edges, decided before rounding.
  form.right = RoundToSpoolerUnits(right == 0 ? cx : right);
  form.bottom = RoundToSpoolerUnits(bottom == 0 ? cy : bottom);
  return form;
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
