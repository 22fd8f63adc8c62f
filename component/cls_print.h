#pragma once
// ClsPrint: the component's one public class as plain C++. Methods carry the names of the
// automation interface; by-reference parameters are C++ references, text is UTF-16.
// Ordinary failures are results (false, 0, an untouched array, an all-zero rePaPer);
// run-time failures throw AutomationError.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "component/platform_failures.h"
#include "component/re_paper.h"
#include "platform/platform.h"
#include "platform/product_texts.h"

namespace sheetlore {

// Automation booleans: true is all 16 bits set.
constexpr std::int16_t kVariantTrue = -1;
constexpr std::int16_t kVariantFalse = 0;

// One form of a printer as FormCheck lists it.
struct FormRow {
  std::wstring name;
  std::int32_t position = 0;  // from 1, in the spooler's enumeration order
  double width = 0;           // centimetres
  double height = 0;          // centimetres

  friend bool operator==(const FormRow&, const FormRow&) = default;
};

class ClsPrint {
 public:
  explicit ClsPrint(Platform& platform)
      : recording_(std::make_unique<FailureRecordingPlatform>(platform)),
        platform_(recording_->platform()) {}

  Platform& platform() const { return recording_->platform(); }

  // The platform calls that failed since ForgetFailures, with their error codes: a caller
  // forgets them before a method call and reads them after it to learn why it returned what
  // it did. The methods' own results do not change.
  const std::vector<PlatformFailure>& Failures() const { return recording_->log().failures(); }
  std::optional<PlatformFailure> LastFailure() const { return recording_->log().Last(); }
  void ForgetFailures() { recording_->log().Clear(); }

  // --- Printer form operations (component/form_operations.cpp) ---
  // Sizes in centimetres; the six size arguments come back multiplied by 10000 once the
  // printer opened. Omitted printable-area edges are 0.
  bool PrintAddForm(std::wstring& PrintName, std::wstring& FormName, double& Cx, double& Cy,
                    double& fLeft, double& fRight, double& fTop, double& fBottom);
  bool PrintDelForm(std::wstring& PrintName, std::wstring& FormName);
  rePaPer PrintGetForm(std::wstring& PrintName, std::wstring& FormName);

  // --- Enumeration and lookup (component/form_enumeration.cpp) ---
  // Lists the forms of PrintX (the current printer when PrintX is null, and PrintX is then
  // set to it). On success mArry receives one row per form; on failure it is untouched.
  bool FormCheck(std::optional<std::vector<FormRow>>& mArry, PrinterRef& PrintX);
  std::int32_t gFormID(const std::wstring& mFormName, PrinterRef mPrintX);

  // --- Form selection (component/form_selection.cpp) ---
  std::int16_t FormSelect(std::wstring& FormName, std::int32_t MyhWnd);

  // --- Paper store (component/paper_store.cpp) ---
  bool IniWriteValue(const std::wstring& mFmtName, std::uint8_t mMode, double W, double H, double L,
                     double R, double T, double B);
  // mArry null: omitted.
  rePaPer IniReadValue(std::int16_t mMode, const std::wstring& mFmtName = std::wstring(),
                       std::vector<std::wstring>* mArry = nullptr);
  void IniDelValue(std::wstring& mFmtName);

  // --- Bulk install (component/bulk_install.cpp) ---
  void FormAllAdd(PrinterRef& PrintX);

  // --- Environment utilities (component/environment.cpp) ---
  double InchToCm(double& mValue, std::int16_t& mMode);
  double InchToCm(double mValue, bool toCentimetres = true);
  // A stored paper's measure in centimetres: converted when its unit code means inches.
  double PaperCentimetres(std::uint8_t mMode, double value);
  std::int16_t GetWindows();
  bool PrintCheck(std::int16_t& mMode, std::wstring& CaptionName);
  bool PrintCheck(bool runWizard = false, const std::wstring& caption = kAddPrinterWizardCaption);

  // --- The maintenance dialog (dialog/form_show.cpp) ---
  void FormShow();

 private:
  std::unique_ptr<FailureRecordingPlatform> recording_;
  Platform& platform_;
};

}  // namespace sheetlore
