#pragma once
// What Windows said when a platform call of the component failed: the call, its error code and
// the system's own text for it, for every refusal the tool reports.

#include <cstdint>
#include <optional>
#include <string>

#include "component/cls_print.h"

namespace sheetlore::cli {

struct PlatformError {
  std::wstring operation;
  std::uint32_t code = 0;
  std::wstring text;  // the system's text, in the user's language; may be empty

  friend bool operator==(const PlatformError&, const PlatformError&) = default;
};

// The component's last platform failure since it last forgot them, with the system's text.
std::optional<PlatformError> LastPlatformError(ClsPrint& component);

// "AddForm failed with error 5: Access is denied." A hint follows only where the error is
// the one it explains: access denied, on a call that changes forms.
std::wstring Describe(const PlatformError& error);

}  // namespace sheetlore::cli
