#include "velk_mur/app/dialog_layout.h"

#include <cstdint>

namespace velk_mur {

namespace {
constexpr int kHorizontalUnitsPerChar = 4;
constexpr int kVerticalUnitsPerChar = 8;
}  // namespace

int scaleRounded(int value, int numerator, int denominator) {
  if (denominator == 0) return 0;
  const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
  const std::int64_t half = denominator / 2;
  const bool negative = (product < 0) != (denominator < 0);
  const std::int64_t magnitude = product < 0 ? -product : product;
  const std::int64_t divisor = denominator < 0 ? -denominator : denominator;
  const std::int64_t rounded = (magnitude + (half < 0 ? -half : half)) / divisor;
  return static_cast<int>(negative ? -rounded : rounded);
}

DialogUnitsRect toPixels(const DialogUnitsRect& units, const DialogBaseUnits& base) {
  return {scaleRounded(units.x, base.averageCharWidth, kHorizontalUnitsPerChar),
          scaleRounded(units.y, base.charHeight, kVerticalUnitsPerChar),
          scaleRounded(units.width, base.averageCharWidth, kHorizontalUnitsPerChar),
          scaleRounded(units.height, base.charHeight, kVerticalUnitsPerChar)};
}

}  // namespace velk_mur
