// Runs a program that opens the maintenance dialog and closes that program's dialog as a user
// would: waits for the dialog's window in the started process (other processes may show their
// own on the same display), clicks its "Esc結束" button and waits for the program to end.
//   dialog_closer.exe <program> [arguments...]
// Exits with the program's exit status; 101 when it could not be started, 102 when no dialog
// of it appeared within two minutes, 103 when it did not end within a minute of the click.
#include <string>

#include "dialog/dialog_layout.h"
#include "platform/win32/unique_handles.h"
#include "platform/win32/windows_api.h"

namespace {

constexpr wchar_t kCloseButton[] = L"Esc結束";
constexpr DWORD kDialogWaitMilliseconds = 120000;
constexpr DWORD kExitWaitMilliseconds = 60000;

// One argument quoted for CreateProcess's command line.
std::wstring Quoted(const std::wstring& argument) {
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

struct Search {
  DWORD processId = 0;
  HWND found = nullptr;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  wchar_t caption[64] = {};
  ::GetWindowTextW(window, caption, 64);
  if (owner != search->processId || !::IsWindowVisible(window) ||
      std::wstring(caption) != sheetlore::layout::kCaption) {
    return TRUE;
  }
  search->found = window;
  return FALSE;
}

BOOL CALLBACK FindCloseButton(HWND child, LPARAM context) {
  wchar_t text[64] = {};
  ::GetWindowTextW(child, text, 64);
  if (std::wstring(text) != kCloseButton) return TRUE;
  reinterpret_cast<Search*>(context)->found = child;
  return FALSE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 101;
  std::wstring commandLine;
  for (int i = 1; i < argc; ++i) commandLine += (i > 1 ? L" " : L"") + Quoted(argv[i]);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
    return 101;
  }
  const sheetlore::win32::unique_handle<HANDLE, &::CloseHandle> process(started.hProcess);
  const sheetlore::win32::unique_handle<HANDLE, &::CloseHandle> thread(started.hThread);

  for (DWORD waited = 0;; waited += 100) {
    Search dialog{started.dwProcessId};
    ::EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&dialog));
    Search button;
    if (dialog.found)
      ::EnumChildWindows(dialog.found, FindCloseButton, reinterpret_cast<LPARAM>(&button));
    if (button.found && ::IsWindowEnabled(button.found)) {
      ::PostMessageW(button.found, BM_CLICK, 0, 0);
      break;
    }
    if (waited >= kDialogWaitMilliseconds ||
        ::WaitForSingleObject(process.get(), 100) == WAIT_OBJECT_0) {
      ::TerminateProcess(process.get(), 1);
      return 102;
    }
  }
  if (::WaitForSingleObject(process.get(), kExitWaitMilliseconds) != WAIT_OBJECT_0) {
    ::TerminateProcess(process.get(), 1);
    return 103;
  }
  DWORD status = 0;
  ::GetExitCodeProcess(process.get(), &status);
  return static_cast<int>(status);
}
