// The user who confirms the component's message boxes for a script in another process:
// waits for each of COUNT boxes titled "系統提示", prints its text and clicks OK. Exits 0
// once all were confirmed, 1 when one did not come.
//   message_box_closer.exe COUNT
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/wine/dialog_window_driver.h"

namespace {

std::string Utf8(const std::wstring& text) {
  std::string bytes(text.size() * 4, '\0');
  const int written =
      ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(),
                            static_cast<int>(bytes.size()), nullptr, nullptr);
  bytes.resize(written > 0 ? written : 0);
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  using sheetlore::wine_test::ClassOf;
  using sheetlore::wine_test::TextOf;
  using sheetlore::wine_test::WaitFor;
  const int count = argc > 1 ? std::atoi(argv[1]) : 1;
  for (int confirmed = 0; confirmed < count; ++confirmed) {
    HWND box = nullptr;
    WaitFor(
        [&] {
          box = ::FindWindowW(L"#32770", sheetlore::wine_test::kNoticeTitle);
          return box && ::IsWindowVisible(box);
        },
        std::chrono::seconds(300));
    if (!box) {
      std::printf("FAIL: message box %d did not appear\n", confirmed + 1);
      return 1;
    }
    std::wstring text;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
      if (ClassOf(child) == L"Static" && !TextOf(child).empty()) text = TextOf(child);
    }
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    WaitFor([&] { return !::IsWindow(box); });
    std::printf("confirmed: %s\n", Utf8(text).c_str());
  }
  return 0;
}
