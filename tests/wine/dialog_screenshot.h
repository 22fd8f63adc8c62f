#pragma once
// A PNG of a window as the X display shows it, taken with xwd and ImageMagick's convert, run
// as Unix programs from inside Wine.

#include <cstdint>
#include <string>

#include "platform/win32/windows_api.h"

namespace sheetlore::wine_test {

// Saves the window's picture at pngPath (a Unix path); true when the file is there afterwards.
inline bool SaveScreenshot(HWND window, const std::string& pngPath) {
  char display[256] = {};
  if (!::GetEnvironmentVariableA("DISPLAY", display, sizeof(display))) return false;
  // Wine keeps the X window of a top-level window in this property; without it, the screen.
  const auto xWindow =
      reinterpret_cast<std::uintptr_t>(::GetPropW(window, L"__wine_x11_whole_window"));
  const std::string source = xWindow ? "-id " + std::to_string(xWindow) : std::string("-root");
  // The Unix file system is drive Z: in Wine.
  std::wstring windowsPath = L"Z:" + std::wstring(pngPath.begin(), pngPath.end());
  for (wchar_t& c : windowsPath) {
    if (c == L'/') c = L'\\';
  }
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
  for (int waited = 0; waited < 600; ++waited) {
    if (::GetFileAttributesW(windowsPath.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    ::Sleep(50);
  }
  return false;
}

}  // namespace sheetlore::wine_test
