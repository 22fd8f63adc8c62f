// Closes the maintenance dialog of another process as a user would: waits for the dialog's
// window, then clicks its "Esc結束" button. Exits 0 once clicked, 1 when no dialog appeared.
//   dialog_closer.exe [seconds to wait, default 60]
#include <algorithm>
#include <cwchar>
#include <string>

#include "dialog/dialog_layout.h"
#include "platform/win32/windows_api.h"

namespace {

constexpr wchar_t kCloseButton[] = L"Esc結束";

struct ButtonSearch {
  HWND found = nullptr;
};

BOOL CALLBACK FindCloseButton(HWND child, LPARAM context) {
  wchar_t text[64] = {};
  ::GetWindowTextW(child, text, 64);
  if (std::wcscmp(text, kCloseButton) != 0) return TRUE;
  reinterpret_cast<ButtonSearch*>(context)->found = child;
  return FALSE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int seconds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 60;
  const std::wstring caption(sheetlore::layout::kCaption);
  for (int waited = 0; waited < seconds * 10; ++waited) {
    const HWND dialog = ::FindWindowW(nullptr, caption.c_str());
    if (dialog && ::IsWindowVisible(dialog)) {
      ButtonSearch search;
      ::EnumChildWindows(dialog, FindCloseButton, reinterpret_cast<LPARAM>(&search));
      if (search.found && ::IsWindowEnabled(search.found)) {
        ::PostMessageW(search.found, BM_CLICK, 0, 0);
        return 0;
      }
    }
    ::Sleep(100);
  }
  return 1;
}
