#pragma once
// Dialog units, the layout measure of the dialog templates, turned into pixels from the
// dialog font's measurements.
namespace velk7 {

struct DialogBaseUnits {
  int averageCharWidth = 0;  // pixels
  int charHeight = 0;        // pixels
};

struct UnitRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const UnitRect&) const = default;
};

// The average character width from the width of the 52 letters "A".."Z" and "a".."z".
int averageCharWidth(int widthOfAlphabet);

// A horizontal distance: units x averageCharWidth / 4, rounded.
int horizontalPixels(int units, const DialogBaseUnits& base);
// A vertical distance: units x charHeight / 8, rounded.
int verticalPixels(int units, const DialogBaseUnits& base);

// A rectangle in pixels; its corners are converted, so its size follows from them.
UnitRect toPixels(const UnitRect& units, const DialogBaseUnits& base);

}  // namespace velk7
