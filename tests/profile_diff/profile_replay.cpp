// Replays a profile script (stdin) on the profile contract's file and prints the transcript:
// natively on the simulated profile files, under Wine on a real file through the Windows
// platform's.
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include <cstdio>
#include <iostream>

#include "tests/profile_diff/replay_script.h"

int main() {
#ifdef _WIN32
  // The transcript is compared byte for byte with the native one: no CR LF translation.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  const auto backend = sheetlore::contract::MakeProfileBackend();
  return sheetlore::profile_diff::Replay(std::cin, *backend, std::cout) ? 0 : 1;
}
