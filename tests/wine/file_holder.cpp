// Plays another program that holds a file open and shares nothing with anyone, as an editor or
// a backup tool may: opens the file, writes the marker file once it holds it, and keeps it
// until the release file appears (at most five minutes).
//   file_holder.exe <file> <marker> <release>
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return 2;
  HANDLE held = ::CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (held == INVALID_HANDLE_VALUE) return 1;
  HANDLE marker = ::CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  if (marker != INVALID_HANDLE_VALUE) ::CloseHandle(marker);
  const ULONGLONG giveUp = ::GetTickCount64() + 300000;
  while (::GetFileAttributesW(argv[3]) == INVALID_FILE_ATTRIBUTES && ::GetTickCount64() < giveUp) {
    ::Sleep(20);
  }
  ::CloseHandle(held);
  return 0;
}
