#include "platform/win32/win32_platform.h"

namespace sheetlore::win32 {

Win32Platform::Win32Platform() : platform_{spooler_, profile_, system_, shell_, host_, &dialogs_} {}

}  // namespace sheetlore::win32
