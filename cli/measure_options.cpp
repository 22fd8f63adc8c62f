#include "cli/measure_options.h"

#include <vector>

#include "cli/command_error.h"
#include "cli/number_arguments.h"

namespace sheetlore::cli {
namespace {

struct Margins {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;
};

// "L,T,R,B": four lengths separated by commas, in the forms dialog's order.
Margins ParseMargins(const std::wstring& text) {
  std::vector<std::wstring> parts(1);
  for (const wchar_t c : text) {
    if (c == L',') {
      parts.emplace_back();
    } else {
      parts.back().push_back(c);
    }
  }
  if (parts.size() != 4) {
    throw BadArguments(
        L"--margins takes four lengths LEFT,TOP,RIGHT,BOTTOM, for example "
        L"0.5,0.5,0.5,0.5: \"" +
        text + L"\"");
  }
  return {ParseLength(parts[0], L"the left margin"), ParseLength(parts[1], L"the top margin"),
          ParseLength(parts[2], L"the right margin"), ParseLength(parts[3], L"the bottom margin")};
}

}  // namespace

const wchar_t kMeasureHelp[] =
    L"Lengths are centimetres, or inches with --inches. The printable area is given by the\n"
    L"positions of its edges, all measured from the sheet's left and top edges:\n"
    L"  --left N     left edge of the printable area (default 0)\n"
    L"  --right N    right edge (default 0, which means the sheet's width)\n"
    L"  --top N      top edge (default 0)\n"
    L"  --bottom N   bottom edge (default 0, which means the sheet's height)\n"
    L"  --margins L,T,R,B\n"
    L"               the printable area as margins from the sheet's left, top, right and\n"
    L"               bottom edges, as the print server's forms dialog asks for them (instead\n"
    L"               of the four edge options)\n"
    L"  --inches     every length is in inches\n";

std::vector<OptionSpec> MeasureOptions() {
  return {{L"inches", false}, {L"left", true},   {L"right", true},
          {L"top", true},     {L"bottom", true}, {L"margins", true}};
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
  if (const auto margins = arguments.Value(L"margins")) {
    for (const wchar_t* name : {L"left", L"right", L"top", L"bottom"}) {
      if (arguments.Value(name)) {
        throw BadArguments(std::wstring(L"--margins and --") + name +
                           L" cannot be used together: give the margins or the edges");
      }
    }
    const Margins given = ParseMargins(*margins);
    // A margin that leaves nothing would read as 0, the sheet's own edge: refused here.
    if (given.left + given.right >= measures.width || given.top + given.bottom >= measures.height) {
      throw BadArguments(std::wstring(kPrintableAreaRule) + L" (here the margins leave nothing)");
    }
    measures.left = given.left;
    measures.top = given.top;
    measures.right = measures.width - given.right;
    measures.bottom = measures.height - given.bottom;
    return measures;
  }
  measures.left = edge(L"left");
  measures.right = edge(L"right");
  measures.top = edge(L"top");
  measures.bottom = edge(L"bottom");
  return measures;
}

}  // namespace sheetlore::cli
