#pragma once
// The Windows headers the Win32 platform needs, with the generic-name macros that clash with
// the platform interface's method names removed. Every file that implements or calls the
// platform interface next to <windows.h> includes this header instead of <windows.h>, so
// that System::MessageBox or Spooler::GetForm keep their names; the code calls the wide (W)
// functions by their explicit names.

#include <windows.h>
#include <winspool.h>

#undef AddForm
#undef DeleteForm
#undef DocumentProperties
#undef EnumForms
#undef FindWindow
#undef GetForm
#undef GetVersionEx
#undef MessageBox
#undef OpenPrinter
#undef ResetDC
