#pragma once
// The user's trace setting as new objects read it: read from the registry once, then again
// only after the registry reported a change under HKEY_CURRENT_USER\Software, so that creating
// an object costs one event test while nothing changes and still sees a switch at once. Where
// the system gives no change notification, every creation reads the setting.

#include <optional>
#include <string>

namespace sheetlore::com {

std::optional<std::wstring> CurrentTraceFile();

}  // namespace sheetlore::com
