#pragma once
// The size and printable area typed for form-add and paper-store: WIDTH HEIGHT and the
// optional --left, --right, --top and --bottom edges, in centimetres or, with --inches, in
// inches.

#include <string>
#include <vector>

#include "cli/command_line.h"

namespace sheetlore::cli {

struct Measures {
  bool inches = false;
  double width = 0;
  double height = 0;
  double left = 0;
  double right = 0;  // 0: the printable area reaches the right edge
  double top = 0;
  double bottom = 0;  // 0: the printable area reaches the bottom edge
};

// The options these commands accept: --inches and the four edges.
std::vector<OptionSpec> MeasureOptions();

// Reads WIDTH and HEIGHT from the positionals at firstIndex and the edges from the options.
// Throws CommandError (bad arguments) for a text that is not a length, and for a zero width
// or height.
Measures ReadMeasures(const ParsedArguments& arguments, std::size_t firstIndex);

// The rule every printable area keeps, as one sentence for messages.
inline constexpr wchar_t kPrintableAreaRule[] =
    L"the printable area must lie inside the sheet and be more than 0 wide and high: "
    L"left < right <= width and top < bottom <= height, where right and bottom are the positions "
    L"of its right and bottom edges measured from the sheet's left and top edges (0: the sheet's "
    L"own edge), not margins";

// The help lines describing the options above.
extern const wchar_t kMeasureHelp[];

}  // namespace sheetlore::cli
