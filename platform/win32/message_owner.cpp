#include "platform/win32/message_owner.h"

namespace sheetlore::win32 {
namespace {

HWND& ThreadOwner() {
  thread_local HWND owner = nullptr;
  return owner;
}

}  // namespace

HWND MessageOwner() {
  const HWND owner = ThreadOwner();
  return owner && ::IsWindow(owner) ? owner : ::GetActiveWindow();
}

MessageOwnerScope::MessageOwnerScope(HWND window) : previous_(ThreadOwner()) {
  ThreadOwner() = window;
}

MessageOwnerScope::~MessageOwnerScope() { ThreadOwner() = previous_; }

}  // namespace sheetlore::win32
