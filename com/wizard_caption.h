#pragma once
// PrintCheck's CaptionName when the caller leaves it out.
//
// The type library stores a string default in an ANSI code page (the Traditional Chinese one,
// where the wizard's title is written), and every tool that reads it back decodes those
// bytes in its own ANSI code page: outside a Traditional Chinese system a caller that
// substitutes the stored default passes mojibake instead of the title. The method therefore
// supplies the exact Unicode title itself: for an omitted argument, and for the text that
// this system's code page makes of the stored default.

#include "platform/win32/windows_api.h"

#include <oaidl.h>

#include <string>

namespace sheetlore::com {

// The caption to use for the caller's CaptionName (null: omitted).
std::wstring WizardCaptionFromCaller(const BSTR* captionName);

// The stored default as this process's ANSI code page decodes it.
std::wstring WizardCaptionAsDecodedHere();

}  // namespace sheetlore::com
