#include "platform/win32/win32_shell.h"

#include <string>

#include "platform/win32/com_ptr.h"
#include "platform/win32/unique_handles.h"
#include "platform/win32/windows_api.h"

#include <objbase.h>
#include <shldisp.h>

namespace sheetlore::win32 {
namespace {

// Shell.Application.
constexpr CLSID kShellApplication = {
    0x13709620, 0xc279, 0x11ce, {0xa4, 0x9e, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// The shell's number of the special folder of printers (ssfPRINTERS).
constexpr LONG kPrintersFolder = 4;

[[noreturn]] void ThrowShellFailure(HRESULT hr, const wchar_t* step) {
  throw AutomationError(static_cast<std::int32_t>(hr),
                        std::wstring(L"Add-printer wizard: ") + step + L" failed");
}

// The HRESULT of the thread's last Windows error (E_FAIL when none was set).
HRESULT LastErrorResult() {
  const DWORD error = ::GetLastError();
  return error == 0 ? E_FAIL : HRESULT_FROM_WIN32(error);
}

void Check(HRESULT hr, const wchar_t* step) {
  if (FAILED(hr)) ThrowShellFailure(hr, step);
}

}  // namespace

void Win32Shell::StartAddPrinterWizard() {
  if (!InvokePrintersFolderEntry()) StartPrinterInstallCommand();
}

bool Win32Shell::InvokePrintersFolderEntry() {
  const com_apartment apartment;  // the host may not have initialised COM on this thread
  com_ptr<IShellDispatch> shell;
  Check(::CoCreateInstance(kShellApplication, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                           __uuidof(IShellDispatch), shell.put_void()),
        L"creating the shell object");

  com_ptr<Folder> printers;
  unique_variant folderNumber = unique_variant::from_i4(kPrintersFolder);
  Check(shell->NameSpace(*folderNumber, printers.put()), L"opening the printers folder");
  if (!printers) return false;

  // A shell that cannot list the folder's entries (Wine's answers E_NOTIMPL) has no
  // add-printer entry to offer either.
  com_ptr<FolderItems> items;
  const HRESULT itemsResult = printers->Items(items.put());
  if (itemsResult == E_NOTIMPL || (SUCCEEDED(itemsResult) && !items)) return false;
  Check(itemsResult, L"listing the printers folder");

  // Since Windows 8 the folder lists only printers, so with none installed there is no
  // entry 0; older systems list the add-printer entry first.
  com_ptr<FolderItem> entry;
  unique_variant entryNumber = unique_variant::from_i2(0);
  const HRESULT entryResult = items->Item(*entryNumber, entry.put());
  if (entryResult == E_INVALIDARG || (SUCCEEDED(entryResult) && !entry)) return false;
  Check(entryResult, L"reading the printers folder's first entry");

  com_ptr<FolderItemVerbs> verbs;
  Check(entry->Verbs(verbs.put()), L"listing the entry's verbs");
  if (!verbs) return false;

  com_ptr<FolderItemVerb> verb;
  unique_variant verbNumber = unique_variant::from_i2(0);
  const HRESULT verbResult = verbs->Item(*verbNumber, verb.put());
  if (verbResult == E_INVALIDARG || (SUCCEEDED(verbResult) && !verb)) return false;
  Check(verbResult, L"reading the entry's first verb");

  Check(verb->DoIt(), L"starting the wizard");
  return true;
}

void Win32Shell::StartPrinterInstallCommand() {
  wchar_t systemDirectory[MAX_PATH];
  const UINT length = ::GetSystemDirectoryW(systemDirectory, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    ThrowShellFailure(LastErrorResult(), L"finding the system directory");
  }
  // The full path keeps the search path out of it; CreateProcessW may write into the
  // command line, so it gets its own buffer.
  const std::wstring program = std::wstring(systemDirectory, length) + L"\\rundll32.exe";
  std::wstring commandLine = L"\"" + program + L"\" printui.dll,PrintUIEntry /il";

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
    ThrowShellFailure(LastErrorResult(), L"starting the printer set-up");
  }
  unique_kernel_handle processHandle(process.hProcess);
  unique_kernel_handle threadHandle(process.hThread);
}

}  // namespace sheetlore::win32
