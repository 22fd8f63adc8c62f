#pragma once
// The spooler keeps form sizes in thousandths of a millimetre as 32-bit signed integers;
// the component speaks centimetres. One centimetre is 10000 spooler units.

#include <cmath>
#include <cstdint>

#include "platform/automation_error.h"

namespace sheetlore {

constexpr double kSpoolerUnitsPerCentimetre = 10000.0;

// Rounds an already scaled value to the spooler's integer: nearest integer, exact halves to
// the even neighbour (std::nearbyint under the default rounding mode). A result outside the
// 32-bit signed range, and NaN, raise the overflow error.
inline std::int32_t RoundToSpoolerUnits(double scaled) {
  if (std::isnan(scaled)) throw AutomationError::Overflow();
  const double rounded = std::nearbyint(scaled);
  if (rounded < -2147483648.0 || rounded > 2147483647.0) throw AutomationError::Overflow();
  return static_cast<std::int32_t>(rounded);
}

// A spooler size in centimetres (215900 gives 21.59).
inline double SpoolerUnitsToCentimetres(std::int32_t units) {
  return static_cast<double>(units) / kSpoolerUnitsPerCentimetre;
}

}  // namespace sheetlore
