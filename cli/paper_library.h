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

// The names the paper store holds, as one clause for messages ("it must not ...").
inline constexpr wchar_t kStorableNameRule[] =
    L"it must not be empty, start or end with a blank, start with ;, be enclosed in matching "
    L"quotes, be PrintMain, or hold line breaks or other control characters, [, ] or =";

// Why the paper cannot be stored and installed as it is, or nothing when it can: a name the
// store cannot hold, a negative or non-finite value, or what GeometryProblem names.
std::optional<std::wstring> PaperProblem(ClsPrint& component, const LibraryPaper& paper);

// A negative or non-finite value: not a length at all.
std::optional<std::wstring> ValueProblem(const rePaPer& paper);

// Why no form can have this size and printable area, or nothing when one can: a width or
// height that is not above 0, a value beyond the spooler's range, a printable area that does
// not lie inside the sheet or has no width or height. Judged in the spooler's own units, as the
// form would be kept. Every command that makes a form or a paper uses this one check.
std::optional<std::wstring> GeometryProblem(ClsPrint& component, const rePaPer& paper);

// The form a paper becomes, as PrintAddForm builds it (right and bottom 0 are the sheet's own
// edges). Throws AutomationError (overflow) for a value beyond the spooler's range.
FormInfo FormForMeasures(const std::wstring& name, const Measures& centimetres);

// The paper's six values in centimetres, as install and apply hand them to PrintAddForm.
Measures CentimetreMeasures(ClsPrint& component, const rePaPer& paper);

// A listed paper read from the store, or why its values cannot be read (a hand-edited value
// the store's reads refuse, such as a unit code above 255 or a number beyond a double's range).
// A store that cannot be read at all still raises the component's error.
struct StoredPaper {
  LibraryPaper paper;
  std::optional<std::wstring> problem;
};
StoredPaper ReadStoredPaper(ClsPrint& component, const std::wstring& listedName);

// The listed name (as listed, blanks and all) of the stored paper that name stands for, or
// nothing. A name matches its own spelling; any other spelling matches only as the platform's
// profile service matches keys of the list, which is asked (its letter-case rule is its own).
std::optional<std::wstring> ListedNameFor(ClsPrint& component, const std::wstring& name,
                                          const std::vector<std::wstring>& listed);

// Every listed paper in the store's order (an empty store: none), read under one lock.
std::vector<StoredPaper> ReadListedPapers(ClsPrint& component);

// The stored papers in the store's order, and the listed papers that cannot be read.
struct StoredPaperList {
  std::vector<LibraryPaper> papers;
  std::vector<StoredPaper> unreadable;

  // "some stored papers cannot be read:" and a line for each, or nothing when all can.
  std::wstring UnreadableReport() const;
};
StoredPaperList StoredPapers(ClsPrint& component);

// What became of one paper written to the store: "added", "replaced", "unchanged" (a paper of
// that name is stored and no replacement was asked for; the note says whether it differs) or
// "failed" (the store was not written).
struct StoreResult {
  std::wstring name;
  std::wstring status;
  std::wstring note;
};

// What AddToStore does with a paper whose name the store takes for one stored before it from
// the same list: a library file that names a paper twice is refused whole (BadArguments,
// nothing stored); a printer's forms keep the first one ("unchanged").
enum class RepeatedName { RefuseAll, KeepFirst };

// Writes each paper to the store in order, as one change. Names match stored ones as the
// profile service matches them (which letters it takes for one is its own affair).
std::vector<StoreResult> AddToStore(ClsPrint& component, const std::vector<LibraryPaper>& papers,
                                    bool replace, RepeatedName repeated);

}  // namespace sheetlore::cli
