#pragma once
// Dialog units and their conversion to pixels from the dialog font's average character size.

namespace velk_mur {

struct DialogUnitsRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// The size of the dialog font in the terms dialog units use.
struct DialogBaseUnits {
  int averageCharWidth = 0;
  int charHeight = 0;
};

// value × numerator ÷ denominator, rounded half away from zero.
int scaleRounded(int value, int numerator, int denominator);

// A horizontal unit is a quarter of the average character width, a vertical one an eighth of
// the character height.
DialogUnitsRect toPixels(const DialogUnitsRect& units, const DialogBaseUnits& base);

}  // namespace velk_mur
