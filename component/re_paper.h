#pragma once
// rePaPer: one paper definition. L and T are the left and top edges of the printable area,
// R and B its right and bottom edges, all measured from the sheet's left and top edges.

#include <cstdint>

#include "component/paper_unit.h"

namespace sheetlore {

// NOLINTNEXTLINE(readability-identifier-naming): the record's published name.
struct rePaPer {
  std::uint8_t mMode = UnitCode(PaperUnit::Centimetres);  // a unit code (paper_unit.h)
  double W = 0;
  double H = 0;
  double L = 0;
  double R = 0;
  double T = 0;
  double B = 0;

  friend bool operator==(const rePaPer&, const rePaPer&) = default;
};

}  // namespace sheetlore
