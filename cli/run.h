#pragma once
// One run of sheetlore.exe, apart from the console: the arguments in, the texts for stdout
// and stderr and the exit status out.

#include <string>
#include <vector>

#include "component/cls_print.h"

namespace sheetlore::cli {

struct RunResult {
  int exitCode = 0;
  std::wstring out;  // "\n" line ends
  std::wstring err;
};

// The release this program belongs to, e.g. "1.1.0": --version prints it, doctor shows it.
std::wstring ReleaseVersion();

// arguments: without the program's name.
RunResult Run(const std::vector<std::wstring>& arguments, ClsPrint& component);

}  // namespace sheetlore::cli
