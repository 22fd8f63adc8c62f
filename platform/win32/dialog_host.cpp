// Shows the maintenance dialog modally for the calling thread.
#include "platform/win32/dialog_host.h"

#include <vector>

#include "platform/automation_error.h"
#include "platform/win32/dialog_control_ids.h"
#include "platform/win32/dialog_window.h"
#include "platform/win32/message_owner.h"

namespace sheetlore::win32 {
namespace {

// The module holding this code: the DLL inside a host, or the program itself.
HINSTANCE ThisModule() {
  static const int anchor = 0;
  HMODULE module = nullptr;
  ::GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&anchor), &module);
  return module;
}

// The dialog's window class, registered for the time the dialog is shown, so that a DLL
// that is unloaded leaves no class behind.
class WindowClassRegistration {
 public:
  WindowClassRegistration(HINSTANCE instance, WNDPROC procedure) : instance_(instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kDialogWindowClass;
    registered_ =
        ::RegisterClassExW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }
  ~WindowClassRegistration() { ::UnregisterClassW(kDialogWindowClass, instance_); }
  WindowClassRegistration(const WindowClassRegistration&) = delete;
  WindowClassRegistration& operator=(const WindowClassRegistration&) = delete;

  explicit operator bool() const { return registered_; }

 private:
  HINSTANCE instance_;
  bool registered_ = false;
};

// The thread's other top-level windows are disabled while the dialog is shown, and enabled
// again afterwards.
class ThreadWindowsDisabled {
 public:
  explicit ThreadWindowsDisabled(HWND dialog) : dialog_(dialog) {
    ::EnumThreadWindows(::GetCurrentThreadId(), &Disable, reinterpret_cast<LPARAM>(this));
  }
  ~ThreadWindowsDisabled() {
    for (HWND window : disabled_) {
      if (::IsWindow(window)) ::EnableWindow(window, TRUE);
    }
  }
  ThreadWindowsDisabled(const ThreadWindowsDisabled&) = delete;
  ThreadWindowsDisabled& operator=(const ThreadWindowsDisabled&) = delete;

 private:
  static BOOL CALLBACK Disable(HWND window, LPARAM context) {
    auto* self = reinterpret_cast<ThreadWindowsDisabled*>(context);
    if (window != self->dialog_ && ::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
      ::EnableWindow(window, FALSE);
      self->disabled_.push_back(window);
    }
    return TRUE;
  }

  HWND dialog_;
  std::vector<HWND> disabled_;
};

AutomationError LastWindowsError(const wchar_t* what) {
  const DWORD error = ::GetLastError();
  return AutomationError(static_cast<std::int32_t>(HRESULT_FROM_WIN32(error ? error : 1)), what);
}

}  // namespace

void Win32DialogHost::ShowModal(DialogEvents& events) {
  const HINSTANCE instance = ThisModule();
  WindowClassRegistration windowClass(instance, DialogWindow::Procedure());
  if (!windowClass) throw LastWindowsError(L"The dialog's window class cannot be registered");

  DialogWindow window(events);
  if (!window.Create(instance)) throw LastWindowsError(L"The dialog window cannot be created");
  MessageOwnerScope messageOwner(window.handle());
  window.Load();
  if (!window.UnloadRequested()) {
    ThreadWindowsDisabled others(window.handle());
    window.RunModal();
  }
  window.Close();
}

}  // namespace sheetlore::win32
