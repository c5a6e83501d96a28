#include "velk7/editor/dialog_units.h"

namespace velk7 {

namespace {
constexpr int kAlphabetLetters = 52;
constexpr int kHorizontalDivisor = 4;
constexpr int kVerticalDivisor = 8;

// value x numerator / denominator, rounded half away from zero.
int scaleRounded(int value, int numerator, int denominator) {
  const long long product = static_cast<long long>(value) * numerator;
  const long long half = denominator / 2;
  const long long rounded =
      product >= 0 ? (product + half) / denominator : -((-product + half) / denominator);
  return static_cast<int>(rounded);
}
}  // namespace

int averageCharWidth(int widthOfAlphabet) {
  return scaleRounded(widthOfAlphabet, 1, kAlphabetLetters);
}

int horizontalPixels(int units, const DialogBaseUnits& base) {
  return scaleRounded(units, base.averageCharWidth, kHorizontalDivisor);
}

int verticalPixels(int units, const DialogBaseUnits& base) {
  return scaleRounded(units, base.charHeight, kVerticalDivisor);
}

UnitRect toPixels(const UnitRect& units, const DialogBaseUnits& base) {
  // Corners are converted, not sizes, so neighbouring controls keep their gaps exactly.
  const int left = horizontalPixels(units.x, base);
  const int top = verticalPixels(units.y, base);
  const int right = horizontalPixels(units.x + units.width, base);
  const int bottom = verticalPixels(units.y + units.height, base);
  return {left, top, right - left, bottom - top};
}

}  // namespace velk7
