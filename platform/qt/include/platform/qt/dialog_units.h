#pragma once
// Dialog units, the layout measure of the dialog templates, turned into pixels from the
// dialog font's measurements. Both programs lay out their dialogs with it.
#include <QFont>
#include <QRect>

namespace platform {

// The size of the dialog font in the terms dialog units use, in pixels.
struct DialogBaseUnits {
  int averageCharWidth = 0;
  int charHeight = 0;
};

// A rectangle in dialog units.
struct UnitRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const UnitRect&) const = default;
};

// 8-point "MS Sans Serif", or the system's stand-in for it.
QFont dialogFont();

// The average character width is the width of the 52 letters "A".."Z" and "a".."z" over 52,
// rounded; the height is the font's line height.
DialogBaseUnits baseUnitsOf(const QFont& font);

// A horizontal distance: units x averageCharWidth / 4; a vertical one: units x charHeight / 8;
// both rounded half away from zero.
int horizontalPixels(int units, const DialogBaseUnits& base);
int verticalPixels(int units, const DialogBaseUnits& base);

// A rectangle whose corners are converted, so neighbouring controls keep their gaps exactly.
QRect cornerPixels(const UnitRect& units, const DialogBaseUnits& base);
// A rectangle whose position and size are converted each on its own.
QRect sizePixels(const UnitRect& units, const DialogBaseUnits& base);

}  // namespace platform
