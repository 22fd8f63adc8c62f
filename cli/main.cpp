// sheetlore.exe: printer forms and the paper store from the command line, over the same core
// and Windows platform as Sheetlore.dll, with the same paper store.
#include <string>
#include <vector>

#include "cli/console_output.h"
#include "cli/run.h"
#include "component/cls_print.h"
#include "platform/win32/unique_handles.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"

#include <objbase.h>

namespace {

// Whatever this process loads after its start (the spooler's library, and what system code
// loads on its behalf) comes from the system directory only, never from the program's folder,
// which may be writable by others. Systems without the call (Windows 7 before its loader
// update) keep their search order; the component loads its own libraries from the system
// directory either way.
void LoadLibrariesFromSystemDirectoryOnly() {
  using SetDirectories = BOOL(WINAPI*)(DWORD);
  const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  const auto setDirectories = reinterpret_cast<SetDirectories>(
      reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (setDirectories) setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  LoadLibrariesFromSystemDirectoryOnly();
  const sheetlore::win32::com_apartment apartment;  // the wizard and the dialog are COM clients
  std::vector<std::wstring> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  int exitCode = 1;
  {
    sheetlore::win32::Win32Platform platform;
    sheetlore::ClsPrint component(platform.platform());
    const sheetlore::cli::RunResult result = sheetlore::cli::Run(arguments, component);
    sheetlore::cli::WriteText(STD_OUTPUT_HANDLE, result.out);
    sheetlore::cli::WriteText(STD_ERROR_HANDLE, result.err);
    exitCode = result.exitCode;
  }
  return exitCode;
}
