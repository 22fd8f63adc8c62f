// The user of another program's windows, for the script and packaging tests: closes the
// maintenance dialog, or confirms the component's message boxes, of whichever process shows them.
//   window_closer.exe dialog [PNG path (Unix)]  waits for the dialog, saves its picture when
//                                               asked, clicks "Esc結束" and waits for it to go
//   window_closer.exe messages COUNT            confirms COUNT "系統提示" boxes, printing each text
// Exits 0 once all is done, 1 when a window did not come or did not go.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/win32/dialog_control_ids.h"
#include "tests/support/own_windows.h"

namespace sheetlore::wine_test {
namespace {

// Saves a PNG of the window as the X display shows it at pngPath (a Unix path), taken with xwd and
// ImageMagick's convert run as Unix programs from inside Wine; true when the file is there.
bool SaveScreenshot(HWND window, const std::string& pngPath) {
  char display[256] = {};
  if (!::GetEnvironmentVariableA("DISPLAY", display, sizeof(display))) return false;
  // Wine keeps the X window of a top-level window in this property; without it, the screen.
  const auto xWindow =
      reinterpret_cast<std::uintptr_t>(::GetPropW(window, L"__wine_x11_whole_window"));
  const std::string source = xWindow ? "-id " + std::to_string(xWindow) : std::string("-root");
  // The Unix file system is drive Z: in Wine, whose file calls take slashes as well.
  const std::wstring windowsPath = L"Z:" + std::wstring(pngPath.begin(), pngPath.end());
  ::DeleteFileW(windowsPath.c_str());

  // Written under another name and renamed, so the file appears only once complete.
  const std::string directory = pngPath.substr(0, pngPath.find_last_of('/'));
  const std::string partial = pngPath + ".partial.png";
  const std::string command = "/bin/sh -c \"mkdir -p '" + directory + "' && xwd -silent -display " +
                              display + " " + source + " | convert xwd:- '" + partial +
                              "' && mv '" + partial + "' '" + pngPath + "'\"";
  std::wstring wide(command.begin(), command.end());
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    return false;
  }
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  // Wine does not wait for a Unix program to end: wait for its file instead.
  return WaitFor(
      [&] { return ::GetFileAttributesW(windowsPath.c_str()) != INVALID_FILE_ATTRIBUTES; },
      std::chrono::seconds(30));
}

std::string Utf8(const std::wstring& text) {
  std::string bytes(text.size() * 4, '\0');
  const int written =
      ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(),
                            static_cast<int>(bytes.size()), nullptr, nullptr);
  bytes.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return bytes;
}

int CloseDialog(const char* screenshot) {
  HWND dialog = nullptr;
  WaitFor([&] { return (dialog = FindOwnWindow(kDialogCaption, win32::kDialogWindowClass, true)); },
          std::chrono::seconds(120));
  if (!dialog) {
    std::puts("FAIL: no dialog appeared");
    return 1;
  }
  ::SendMessageW(dialog, WM_NULL, 0, 0);  // back in its message loop after start-up
  if (screenshot) {
    const bool saved = SaveScreenshot(dialog, screenshot);
    std::printf("%s: %s\n", saved ? "screenshot" : "FAIL: no screenshot", screenshot);
  }
  ::PostMessageW(::GetDlgItem(dialog, win32::DialogControlId({Control::Cmd1, 4})), BM_CLICK, 0, 0);
  if (!WaitFor([&] { return !::IsWindow(dialog); })) {
    std::puts("FAIL: the dialog stayed open");
    return 1;
  }
  std::puts("ok: the dialog closed");
  return 0;
}

int ConfirmMessages(int count) {
  for (int confirmed = 1; confirmed <= count; ++confirmed) {
    const HWND box = WaitForMessageBox(std::chrono::seconds(300), true);
    if (!box) {
      std::printf("FAIL: message box %d did not appear\n", confirmed);
      return 1;
    }
    std::printf("confirmed: %s\n", Utf8(ConfirmMessageBox(box)).c_str());
  }
  return 0;
}

}  // namespace
}  // namespace sheetlore::wine_test

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "dialog") return sheetlore::wine_test::CloseDialog(argc > 2 ? argv[2] : nullptr);
  if (mode == "messages" && argc > 2) {
    return sheetlore::wine_test::ConfirmMessages(std::atoi(argv[2]));
  }
  std::puts("FAIL: usage: window_closer dialog [PNG] | messages COUNT");
  return 1;
}
