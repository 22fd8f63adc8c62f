#include "cli/platform_error.h"

namespace sheetlore::cli {

std::optional<PlatformError> LastPlatformError(ClsPrint& component) {
  const std::optional<PlatformFailure> failure = component.LastFailure();
  if (!failure) return std::nullopt;
  return PlatformError{failure->operation, failure->error,
                       component.platform().system.ErrorText(failure->error)};
}

std::wstring Describe(const PlatformError& error) {
  std::wstring text = error.operation + L" failed with error " + std::to_wstring(error.code);
  if (!error.text.empty()) text += L": " + error.text;
  if (error.code == kErrorAccessDenied) {
    if (error.operation == L"AddForm" || error.operation == L"DeleteForm" ||
        error.operation == L"OpenPrinter") {
      text += L" (changing forms needs administrator rights on the print server)";
    } else if (error.operation.starts_with(L"WritePrivateProfile")) {
      text += L" (the paper store's file must be writable by this user)";
    }
  }
  return text;
}

}  // namespace sheetlore::cli
