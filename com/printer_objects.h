#pragma once
// Printers crossing the interface in both directions.
// - A caller's printer object arrives as an IDispatch; the core sees it as a PrinterObject
//   whose DeviceName (and hDC) are read late-bound, by name, at the moment the core asks.
// - A printer of the platform leaves as a small automation object with the read-only
//   properties DeviceName and hDC.

#include "platform/win32/windows_api.h"

#include <oaidl.h>

#include "platform/platform.h"
#include "platform/win32/com_ptr.h"

namespace sheetlore::com {

// Null for a null IDispatch (Nothing).
PrinterRef PrinterFromCaller(IDispatch* printer);

// The automation object for printer: the caller's own object again when printer came from a
// caller, otherwise a new automation object over it. Null for a null printer.
win32::com_ptr<IDispatch> PrinterForCaller(const PrinterRef& printer);

// Reads a property by name through IDispatch (GetIDsOfNames, then Invoke with
// DISPATCH_PROPERTYGET). Throws AutomationError with the failure's HRESULT and description.
win32::unique_variant ReadProperty(IDispatch* object, const wchar_t* name);

}  // namespace sheetlore::com
