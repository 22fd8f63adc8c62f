#pragma once
// The unit of a stored paper. The record's published field rePaPer::mMode stays a byte: code 1
// means inches, every other code centimetres.

#include <cstdint>

namespace sheetlore {

enum class PaperUnit : std::uint8_t { Centimetres = 0, Inches = 1 };

constexpr std::uint8_t UnitCode(PaperUnit unit) { return static_cast<std::uint8_t>(unit); }
constexpr std::uint8_t UnitCode(bool inches) {
  return UnitCode(inches ? PaperUnit::Inches : PaperUnit::Centimetres);
}
constexpr bool IsInches(std::uint8_t code) { return code == UnitCode(PaperUnit::Inches); }

constexpr double kCentimetresPerInch = 2.54;

}  // namespace sheetlore
