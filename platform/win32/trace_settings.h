#pragma once
// Whether the current user has switched the call trace on, and into which file: the value
// TraceFile under HKEY_CURRENT_USER\Software\Sheetlore. Present and not empty means on. Each
// new component object reads it once, so a change reaches the next object a host creates.

#include <optional>
#include <string>

namespace sheetlore::win32 {

// The trace file while the trace is on; none while it is off (or the value cannot be read).
std::optional<std::wstring> TraceFileSetting();

// Switches the trace on into file (a full path), or off. The Windows error code on failure,
// 0 on success.
unsigned long SwitchTraceOn(const std::wstring& file);
unsigned long SwitchTraceOff();

// %LOCALAPPDATA%\Sheetlore\trace.log, or empty when the folder is unknown.
std::wstring DefaultTraceFile();

}  // namespace sheetlore::win32
