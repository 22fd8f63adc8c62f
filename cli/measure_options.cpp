#include "cli/measure_options.h"

#include "cli/command_error.h"
#include "cli/number_arguments.h"

namespace sheetlore::cli {

const wchar_t kMeasureHelp[] =
    L"Lengths are centimetres, or inches with --inches. The printable area is given by the\n"
    L"positions of its edges, all measured from the sheet's left and top edges:\n"
    L"  --left N     left edge of the printable area (default 0)\n"
    L"  --right N    right edge (default 0, which means the sheet's width)\n"
    L"  --top N      top edge (default 0)\n"
    L"  --bottom N   bottom edge (default 0, which means the sheet's height)\n"
    L"  --inches     every length is in inches\n";

std::vector<OptionSpec> MeasureOptions() {
  return {{L"inches", false}, {L"left", true}, {L"right", true}, {L"top", true}, {L"bottom", true}};
}

Measures ReadMeasures(const ParsedArguments& arguments, std::size_t firstIndex) {
  Measures measures;
  measures.inches = arguments.Has(L"inches");
  measures.width = ParseLength(arguments.positionals.at(firstIndex), L"the width");
  measures.height = ParseLength(arguments.positionals.at(firstIndex + 1), L"the height");
  if (measures.width == 0 || measures.height == 0) {
    throw BadArguments(L"the width and the height must be greater than 0");
  }
  const auto edge = [&arguments](const wchar_t* name) {
    const auto text = arguments.Value(name);
    return text ? ParseLength(*text, std::wstring(L"--") + name) : 0.0;
  };
  measures.left = edge(L"left");
  measures.right = edge(L"right");
  measures.top = edge(L"top");
  measures.bottom = edge(L"bottom");
  return measures;
}

}  // namespace sheetlore::cli
