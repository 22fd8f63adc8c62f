#pragma once
// Twips (1/1440 inch) to pixels at the display's resolution.

#include <cmath>

namespace sheetlore::win32 {

constexpr int kTwipsPerInch = 1440;

inline int TwipsToPixels(int twips, int dotsPerInch) {
  return static_cast<int>(std::lround(static_cast<double>(twips) * dotsPerInch / kTwipsPerInch));
}

// A font's height in pixels for its size in points (72 to the inch).
inline int PointsToPixels(double points, int dotsPerInch) {
  return static_cast<int>(std::lround(points * dotsPerInch / 72.0));
}

}  // namespace sheetlore::win32
