#pragma once
// The columns the commands print, defined once: each JSON member name (which the CSV header
// repeats) with its text title. README's output table lists these members; a command that
// prints one of these things takes its column from here.

#include <cstdint>
#include <string>
#include <vector>

#include "cli/table.h"
#include "component/spooler_units.h"
#include "platform/platform.h"

namespace sheetlore::cli::columns {

// What a row names.
inline const Column kPrinter{L"Printer", L"printer"};
inline const Column kForm{L"Form", L"form"};
inline const Column kPaper{L"Paper", L"paper"};
inline const Column kDefault{L"Default", L"default"};

// A form: its number in the spooler's order, its kind, its size and printable area in
// centimetres (edge positions from the sheet's left and top edges).
inline const Column kNumber{L"No.", L"number", true};
inline const Column kKind{L"Kind", L"kind"};
inline const Column kWidthCm{L"Width (cm)", L"width_cm", true};
inline const Column kHeightCm{L"Height (cm)", L"height_cm", true};
inline const Column kLeftCm{L"Left (cm)", L"left_cm", true};
inline const Column kTopCm{L"Top (cm)", L"top_cm", true};
inline const Column kRightCm{L"Right (cm)", L"right_cm", true};
inline const Column kBottomCm{L"Bottom (cm)", L"bottom_cm", true};

// A paper: its unit and its values in that unit.
inline const Column kUnit{L"Unit", L"unit"};
inline const Column kWidth{L"Width", L"width", true};
inline const Column kHeight{L"Height", L"height", true};
inline const Column kLeft{L"Left", L"left", true};
inline const Column kTop{L"Top", L"top", true};
inline const Column kRight{L"Right", L"right", true};
inline const Column kBottom{L"Bottom", L"bottom", true};

// What a command did to one thing, and why.
inline const Column kStatus{L"Status", L"status"};
inline const Column kNote{L"Note", L"note"};

// The statuses: what a command did to one thing.
inline constexpr wchar_t kAdded[] = L"added";
inline constexpr wchar_t kReplaced[] = L"replaced";
inline constexpr wchar_t kDeleted[] = L"deleted";
inline constexpr wchar_t kUnchanged[] = L"unchanged";
inline constexpr wchar_t kFailed[] = L"failed";

// The notes of an unchanged thing: whether what is there differs from what was asked for.
inline constexpr wchar_t kSameNote[] = L"the same";
inline constexpr wchar_t kDiffersNote[] = L"differs; --replace replaces it";

// A form's kind, from the spooler's flags.
inline std::wstring FormKind(std::uint32_t flags) {
  switch (flags) {
    case 0:
      return L"user";
    case 1:
      return L"builtin";
    case 2:
      return L"printer";
    default:
      return std::to_wstring(flags);
  }
}

// A form's kind, size and printable area: the columns, and one form's cells for them.
inline std::vector<Column> FormColumns() {
  return {kKind, kWidthCm, kHeightCm, kLeftCm, kTopCm, kRightCm, kBottomCm};
}
inline std::vector<Cell> FormCells(const FormInfo& form) {
  const auto cm = [](std::int32_t units) { return Number(SpoolerUnitsToCentimetres(units)); };
  return {Text(FormKind(form.flags)),
          cm(form.cx),
          cm(form.cy),
          cm(form.left),
          cm(form.top),
          cm(form.right),
          cm(form.bottom)};
}

}  // namespace sheetlore::cli::columns
