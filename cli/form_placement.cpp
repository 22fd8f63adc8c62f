#include "cli/form_placement.h"

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
