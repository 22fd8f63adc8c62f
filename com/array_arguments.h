#pragma once
// The arrays FormCheck and IniReadValue hand back through their by-reference VARIANT.
//
// The target is the caller's VARIANT (or the one it refers to through VT_BYREF|VT_VARIANT).
// A typed dynamic array by reference (VT_ARRAY|VT_BSTR|VT_BYREF, or VT_VARIANT elements) is
// re-dimensioned in place, the way a ReDim of the caller's own array would be; anything else
// is replaced by a new array. The new array is complete before the caller's VARIANT is
// touched, so a failure leaves it as it was.

#include "platform/win32/windows_api.h"

#include <oaidl.h>

#include <string>
#include <vector>

#include "component/cls_print.h"

namespace sheetlore::com {

// Whether the caller left an optional VARIANT out: a null pointer or the "missing" marker
// (VT_ERROR with DISP_E_PARAMNOTFOUND), directly or through a reference.
bool IsMissing(const VARIANT* argument) noexcept;

// A 4 x n array (0..3, 0..n-1): per form its name, its position from 1, its width and its
// height in centimetres. A text array receives the numbers as general number text; a new
// array holds VT_BSTR, VT_I4, VT_R8, VT_R8 elements.
void StoreFormRows(VARIANT& target, const std::vector<FormRow>& rows);

// A one-dimensional text array from 0.
void StoreNames(VARIANT& target, const std::vector<std::wstring>& names);

}  // namespace sheetlore::com
