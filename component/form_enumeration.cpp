// FormCheck lists a printer's forms; gFormID finds a form by the size written in its name
// (inches, "width/height") and adds it when the printer has none of that size.
#include <cstddef>
#include <string_view>

#include "component/cls_print.h"
#include "component/form_list.h"
#include "component/nt_family.h"
#include "component/number_text.h"
#include "component/opened_printer.h"
#include "component/spooler_units.h"

namespace sheetlore {
namespace {

// Splits at every "/"; an empty text has no parts at all.
std::vector<std::wstring_view> SplitAtSlash(std::wstring_view text) {
  std::vector<std::wstring_view> parts;
  if (text.empty()) return parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t slash = text.find(L'/', start);
    parts.push_back(text.substr(start, slash - start));
    if (slash == std::wstring_view::npos) return parts;
    start = slash + 1;
  }
}

// A size as the lookup sees it: written as general number text and read back, the way a
// caller's text array carries it.
double ThroughText(double value) { return ReadNumber(NumberText(value)); }

// The search counter is 16 bits wide: it cannot step past this position.
constexpr std::int32_t kLastCountablePosition = 32767;

}  // namespace

bool ClsPrint::FormCheck(std::optional<std::vector<FormRow>>& mArry, PrinterRef& PrintX) {
  if (!PrintX) PrintX = platform_.host.CurrentPrinter();
  if (GetWindows() != kNtFamily) return false;
  const std::wstring printerName = PrintX->DeviceName();

  Spooler& spooler = platform_.spooler;
  OpenedPrinter printer(spooler, printerName);
  if (!printer) return false;
  const std::optional<std::vector<FormInfo>> forms = EnumerateForms(spooler, printer.handle());
  printer.Close();
  if (!forms) return false;

  std::vector<FormRow> rows;
  rows.reserve(forms->size());
  std::int32_t position = 0;
  for (const FormInfo& form : *forms) {
    rows.push_back(FormRow{form.name, ++position, SpoolerUnitsToCentimetres(form.cx),
                           SpoolerUnitsToCentimetres(form.cy)});
  }
  mArry = std::move(rows);
  return true;
}

std::int32_t ClsPrint::gFormID(const std::wstring& mFormName, PrinterRef mPrintX) {
  const std::vector<std::wstring_view> parts = SplitAtSlash(mFormName);
  if (parts.size() < 2) throw AutomationError::SubscriptOutOfRange();
  const double width = InchToCm(ReadNumber(parts[0]));
  const double height = InchToCm(ReadNumber(parts[1]));

  // FormCheck replaces an empty mPrintX with the current printer; the add below uses it.
  std::optional<std::vector<FormRow>> rows;
  if (!FormCheck(rows, mPrintX)) return 0;

  const std::vector<FormRow>& forms = *rows;
  for (std::size_t i = 0; i < forms.size(); ++i) {
    if (ThroughText(forms[i].width) == width && ThroughText(forms[i].height) == height) {
      return static_cast<std::int32_t>(i) + 1;
    }
    if (static_cast<std::int32_t>(i) == kLastCountablePosition) throw AutomationError::Overflow();
  }

  // No form of that size: add one covering the whole sheet, named as asked. It takes the
  // position after the last form.
  std::wstring printerName = mPrintX->DeviceName();
  std::wstring formName = mFormName;
  double cx = width;
  double cy = height;
  double left = 0;
  double right = 0;
  double top = 0;
  double bottom = 0;
  if (!PrintAddForm(printerName, formName, cx, cy, left, right, top, bottom)) return 0;
  return static_cast<std::int32_t>(forms.size()) + 1;
}

}  // namespace sheetlore
