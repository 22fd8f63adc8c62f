// PrintAddForm, PrintDelForm and PrintGetForm: one spooler operation on one form of one
// printer, between opening the printer with administer access and closing it again.
#include "component/cls_print.h"
#include "component/nt_family.h"
#include "component/opened_printer.h"
#include "component/spooler_units.h"

namespace sheetlore {
namespace {

// Blank means empty once leading and trailing blanks are removed (tabs are not blanks).
// The spooler still receives the names exactly as given.
bool IsBlank(const std::wstring& text) {
  return text.find_first_not_of(L' ') == std::wstring::npos;
}

}  // namespace

bool ClsPrint::PrintAddForm(std::wstring& PrintName, std::wstring& FormName, double& Cx, double& Cy,
                            double& fLeft, double& fRight, double& fTop, double& fBottom) {
  if (IsBlank(PrintName) || IsBlank(FormName)) return false;
  if (GetWindows() != kNtFamily) return true;

  Spooler& spooler = platform_.spooler;
  OpenedPrinter printer(spooler, PrintName);
  if (!printer) return false;

  // The caller's variables receive the scaled values, as the form record is built from them.
  FormInfo form;
  Cx *= kSpoolerUnitsPerCentimetre;
  Cy *= kSpoolerUnitsPerCentimetre;
  form.cx = RoundToSpoolerUnits(Cx);
  form.cy = RoundToSpoolerUnits(Cy);

  fLeft *= kSpoolerUnitsPerCentimetre;
  fRight *= kSpoolerUnitsPerCentimetre;
  fTop *= kSpoolerUnitsPerCentimetre;
  fBottom *= kSpoolerUnitsPerCentimetre;
  // Right and bottom are edge positions; 0 stands for the sheet's own edge.
  if (fRight == 0) fRight = Cx;
  if (fBottom == 0) fBottom = Cy;
  form.left = RoundToSpoolerUnits(fLeft);
  form.top = RoundToSpoolerUnits(fTop);
  form.right = RoundToSpoolerUnits(fRight);
  form.bottom = RoundToSpoolerUnits(fBottom);

  form.flags = kUserForm;
  form.name = FormName;
  return spooler.AddForm(printer.handle(), form);
}

bool ClsPrint::PrintDelForm(std::wstring& PrintName, std::wstring& FormName) {
  if (IsBlank(PrintName) || IsBlank(FormName)) return false;
  if (GetWindows() != kNtFamily) return true;

  Spooler& spooler = platform_.spooler;
  OpenedPrinter printer(spooler, PrintName);
  if (!printer) return false;
  return spooler.DeleteForm(printer.handle(), FormName);
}

rePaPer ClsPrint::PrintGetForm(std::wstring& PrintName, std::wstring& FormName) {
  rePaPer paper;
  if (IsBlank(PrintName) || IsBlank(FormName)) return paper;
  if (GetWindows() != kNtFamily) return paper;

  Spooler& spooler = platform_.spooler;
  OpenedPrinter printer(spooler, PrintName);
  if (!printer) return paper;

  // Ask for the bytes the form needs first, then read it into a buffer of that size, so a
  // long form name is never mistaken for a missing form.
  FormInfo form;
  std::uint32_t bytesNeeded = 0;
  bool found = spooler.GetForm(printer.handle(), FormName, 0, form, bytesNeeded);
  if (!found && bytesNeeded > 0) {
    found = spooler.GetForm(printer.handle(), FormName, bytesNeeded, form, bytesNeeded);
  }
  printer.Close();
  if (!found) return paper;

  paper.mMode = UnitCode(PaperUnit::Centimetres);
  paper.W = SpoolerUnitsToCentimetres(form.cx);
  paper.H = SpoolerUnitsToCentimetres(form.cy);
  paper.L = SpoolerUnitsToCentimetres(form.left);
  paper.R = SpoolerUnitsToCentimetres(form.right);
  paper.T = SpoolerUnitsToCentimetres(form.top);
  paper.B = SpoolerUnitsToCentimetres(form.bottom);
  return paper;
}

}  // namespace sheetlore
