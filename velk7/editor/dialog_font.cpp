#include "velk7/editor/dialog_font.h"

#include <QFontMetrics>

namespace velk7 {

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
  return {averageCharWidth(alphabet), metrics.height()};
}

QRect pixelRect(const UnitRect& units, const DialogBaseUnits& base) {
  const UnitRect pixels = toPixels(units, base);
  return {pixels.x, pixels.y, pixels.width, pixels.height};
}

}  // namespace velk7
