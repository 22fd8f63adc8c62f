// A stand-in for winspool.drv that someone planted in a program's folder: when any process
// loads it, it leaves "winspool.drv.loaded" beside itself (in lower case, whatever the case
// of the name it was loaded by). Its spooler functions only fail, so that
// a binary importing them still starts and the mark is what tells.
#include <windows.h>

namespace {

void LeaveMark(HINSTANCE self) {
  wchar_t path[MAX_PATH + 32] = {};
  const DWORD length = ::GetModuleFileNameW(self, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  wchar_t* name = path + length;
  while (name > path && name[-1] != L'\\' && name[-1] != L'/') --name;
  ::lstrcpyW(name, L"winspool.drv.loaded");
  const HANDLE file = ::CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
}

BOOL Refuse() {
  ::SetLastError(ERROR_ACCESS_DENIED);
  return FALSE;
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) LeaveMark(self);
  return TRUE;
}

BOOL WINAPI OpenPrinterW(void*, void**, void*) { return Refuse(); }
BOOL WINAPI OpenPrinterA(void*, void**, void*) { return Refuse(); }
BOOL WINAPI ClosePrinter(void*) { return Refuse(); }
BOOL WINAPI EnumFormsW(void*, DWORD, void*, DWORD, DWORD*, DWORD*) { return Refuse(); }
BOOL WINAPI EnumFormsA(void*, DWORD, void*, DWORD, DWORD*, DWORD*) { return Refuse(); }
BOOL WINAPI GetFormW(void*, void*, DWORD, void*, DWORD, DWORD*) { return Refuse(); }
BOOL WINAPI GetFormA(void*, void*, DWORD, void*, DWORD, DWORD*) { return Refuse(); }
BOOL WINAPI AddFormW(void*, DWORD, void*) { return Refuse(); }
BOOL WINAPI AddFormA(void*, DWORD, void*) { return Refuse(); }
BOOL WINAPI DeleteFormW(void*, void*) { return Refuse(); }
BOOL WINAPI DeleteFormA(void*, void*) { return Refuse(); }
LONG WINAPI DocumentPropertiesW(HWND, void*, void*, void*, void*, DWORD) { return -1; }
LONG WINAPI DocumentPropertiesA(HWND, void*, void*, void*, void*, DWORD) { return -1; }
BOOL WINAPI EnumPrintersW(DWORD, void*, DWORD, void*, DWORD, DWORD*, DWORD*) { return Refuse(); }
BOOL WINAPI EnumPrintersA(DWORD, void*, DWORD, void*, DWORD, DWORD*, DWORD*) { return Refuse(); }
BOOL WINAPI GetDefaultPrinterW(void*, DWORD*) { return Refuse(); }
BOOL WINAPI GetDefaultPrinterA(void*, DWORD*) { return Refuse(); }

}  // extern "C"
