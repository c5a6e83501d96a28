#include "platform/qt/dialog_units.h"

#include <QFontMetrics>
#include <QString>
#include <cstdint>

namespace platform {

namespace {
constexpr int kAlphabetLetters = 52;
constexpr int kHorizontalUnitsPerChar = 4;
constexpr int kVerticalUnitsPerChar = 8;

// value x numerator / denominator (denominator > 0), rounded half away from zero.
int scaleRounded(int value, int numerator, int denominator) {
  const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
  const std::int64_t half = denominator / 2;
  const std::int64_t rounded =
      product >= 0 ? (product + half) / denominator : -((-product + half) / denominator);
  return static_cast<int>(rounded);
}
}  // namespace

QFont dialogFont() {
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(8);
  return font;
}

DialogBaseUnits baseUnitsOf(const QFont& font) {
  const QFontMetrics metrics(font);
  const int alphabet = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return {scaleRounded(alphabet, 1, kAlphabetLetters), metrics.height()};
}

int horizontalPixels(int units, const DialogBaseUnits& base) {
  return scaleRounded(units, base.averageCharWidth, kHorizontalUnitsPerChar);
}

int verticalPixels(int units, const DialogBaseUnits& base) {
  return scaleRounded(units, base.charHeight, kVerticalUnitsPerChar);
}

QRect cornerPixels(const UnitRect& units, const DialogBaseUnits& base) {
  const int left = horizontalPixels(units.x, base);
  const int top = verticalPixels(units.y, base);
  const int right = horizontalPixels(units.x + units.width, base);
  const int bottom = verticalPixels(units.y + units.height, base);
  return {left, top, right - left, bottom - top};
}

QRect sizePixels(const UnitRect& units, const DialogBaseUnits& base) {
  return {horizontalPixels(units.x, base), verticalPixels(units.y, base),
          horizontalPixels(units.width, base), verticalPixels(units.height, base)};
}

}  // namespace platform
