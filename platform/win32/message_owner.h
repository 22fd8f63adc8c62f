#pragma once
// The window that owns the message boxes shown on this thread. While the maintenance dialog is
// open its window owns every message, whichever window is active, so that a message keeps the
// dialog disabled under it even when the user has switched to another program meanwhile.

#include "platform/win32/windows_api.h"

namespace sheetlore::win32 {

// The owner for a message box of this thread: the window of the open scope, else the
// thread's active window (null when it has none).
HWND MessageOwner();

// Makes window the owner of this thread's message boxes for the scope's lifetime.
class MessageOwnerScope {
 public:
  explicit MessageOwnerScope(HWND window);
  ~MessageOwnerScope();
  MessageOwnerScope(const MessageOwnerScope&) = delete;
  MessageOwnerScope& operator=(const MessageOwnerScope&) = delete;

 private:
  HWND previous_;
};

}  // namespace sheetlore::win32
