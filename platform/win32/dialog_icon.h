#pragma once
// The dialog's own 32 x 32 icon in 16 colours, drawn at run time.

#include "platform/win32/unique_handles.h"

namespace sheetlore::win32 {

inline BOOL DestroyIconHandle(HICON icon) { return ::DestroyIcon(icon); }
using unique_icon = unique_handle<HICON, &DestroyIconHandle>;

unique_icon MakeDialogIcon();

}  // namespace sheetlore::win32
