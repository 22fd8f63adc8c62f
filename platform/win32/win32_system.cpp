#include "platform/win32/win32_system.h"

#include "platform/win32/kept_error.h"
#include "platform/win32/message_owner.h"
#include "platform/win32/system_message.h"
#include "platform/win32/windows_api.h"

namespace sheetlore::win32 {
namespace {

struct SystemErrorTag;
using SystemError = KeptError<SystemErrorTag>;

}  // namespace

bool Win32System::GetVersionEx(std::uint32_t& platformId) {
  // The wide record is larger than the 148-byte ANSI one; the call checks the size field.
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!SystemError::Unless(::GetVersionExW(&info) != FALSE)) return false;
  platformId = info.dwPlatformId;
  return true;
}

WindowHandle Win32System::FindWindow(const std::wstring& caption) {
  return reinterpret_cast<WindowHandle>(::FindWindowW(nullptr, caption.c_str()));
}

void Win32System::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

void Win32System::PumpMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // The host's own message loop must still see the request to quit.
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

std::uint64_t Win32System::Milliseconds() { return ::GetTickCount64(); }

void Win32System::MessageBox(const std::wstring& text, const std::wstring& title,
                             std::uint32_t style) {
  // Owned by the open dialog, or else the thread's active window, so the box is modal to it.
  ::MessageBoxW(MessageOwner(), text.c_str(), title.c_str(), style);
}

std::uint32_t Win32System::LastError() const { return SystemError::Value(); }

std::wstring Win32System::ErrorText(std::uint32_t code) { return SystemMessage(code); }

}  // namespace sheetlore::win32
