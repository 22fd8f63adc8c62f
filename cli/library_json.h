#pragma once
// The paper library file: UTF-8 JSON, one object
//   {"format": "sheetlore-paper-library", "version": 1, "papers": [PAPER, ...]}
// where each PAPER is
//   {"name": "A5X", "unit": "cm", "width": 14.8, "height": 21,
//    "left": 0, "right": 0, "top": 0, "bottom": 0}
// "unit" is "cm" or "in" (or the store's unit code 2 to 255, which counts as centimetres, as a
// number); the six lengths are JSON numbers in that unit, with the store's meaning: left and
// top are the printable area's left and top edges, right and bottom its right and bottom edges
// (0: the sheet's own edge), all measured from the sheet's left and top edges. The four edges
// may be left out (0). Unknown members are refused, so that a misspelt edge is not silently 0.

#include <string>
#include <vector>

#include "cli/paper_library.h"

namespace sheetlore::cli {

constexpr int kLibraryFormatVersion = 1;

// The library as the file's text (UTF-8, "\n" line ends). Numbers are written in their
// shortest form that reads back as the same value.
std::string LibraryToJson(const std::vector<LibraryPaper>& papers);

// What a paper must pass to be read: everything (PaperProblem), or all but the size and
// printable area (GeometryProblem), which apply reports paper by paper instead.
enum class LibraryChecks { All, WithoutGeometry };

// Reads and checks a whole library file (UTF-8, or UTF-16 or UTF-8 with a byte-order mark).
// Throws CommandError (bad arguments) naming every entry that cannot be used and why, so that
// nothing is done with a file that is partly wrong; a file in another encoding (an ANSI code
// page) is named as such, with how to save it as UTF-8.
std::vector<LibraryPaper> LibraryFromJson(ClsPrint& component, const std::string& fileBytes,
                                          LibraryChecks checks = LibraryChecks::All);

}  // namespace sheetlore::cli
