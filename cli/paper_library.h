#pragma once
// A paper library: named papers as the paper store keeps them (a unit code and six values in
// that unit), moved between the store, library files and printers. The same rules decide
// whether a paper can travel, whichever way it goes.

#include <optional>
#include <string>
#include <vector>

#include "cli/measure_options.h"
#include "component/cls_print.h"

namespace sheetlore::cli {

struct LibraryPaper {
  std::wstring name;
  rePaPer paper;  // mMode: the store's unit code, 1 inches, every other code centimetres

  friend bool operator==(const LibraryPaper&, const LibraryPaper&) = default;
};

// Why the paper cannot be stored and installed as it is, or nothing when it can: a name the
// store cannot hold, a width or height that is not above 0, a negative or non-finite value, or a
// size beyond the spooler's range.
std::optional<std::wstring> PaperProblem(ClsPrint& component, const LibraryPaper& paper);

// The paper's six values in centimetres, as install and apply hand them to PrintAddForm.
Measures CentimetreMeasures(ClsPrint& component, const rePaPer& paper);

// The stored papers in the store's order.
std::vector<LibraryPaper> StoredPapers(ClsPrint& component);

// What became of one paper written to the store: "added", "replaced", "kept" (a paper of that
// name is stored and no replacement was asked for) or "refused" (the store was not written).
struct StoreResult {
  std::wstring name;
  std::wstring status;
  std::wstring note;
};

// Writes each paper to the store in order. Names match stored ones as the store matches them
// (letter case does not count).
std::vector<StoreResult> AddToStore(ClsPrint& component, const std::vector<LibraryPaper>& papers,
                                    bool replace);

}  // namespace sheetlore::cli
