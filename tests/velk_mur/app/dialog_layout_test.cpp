#include "velk_mur/app/dialog_layout.h"

#include <set>
#include <string>

#include <gtest/gtest.h>

namespace {

TEST(ScaleRounded, RoundsHalfAwayFromZero) {
  struct Case {
    int value, numerator, denominator, expected;
  };
  for (const Case& c :
       {Case{77, 6, 4, 116}, Case{79, 7, 4, 138}, Case{1, 6, 4, 2}, Case{1, 5, 4, 1},
        Case{-1, 6, 4, -2}, Case{14, 13, 8, 23}, Case{9, 13, 8, 15}, Case{5, 3, 0, 0}}) {
    EXPECT_EQ(velk_mur::scaleRounded(c.value, c.numerator, c.denominator), c.expected)
        << c.value << "*" << c.numerator << "/" << c.denominator;
  }
}

TEST(ToPixels, UsesQuarterCharWidthAndEighthCharHeight) {
  const velk_mur::DialogUnitsRect pixels = velk_mur::toPixels({77, 6, 79, 14}, {6, 13});
  EXPECT_EQ(pixels.x, 116);  // 77 * 6 / 4 = 115.5
  EXPECT_EQ(pixels.y, 10);   // 6 * 13 / 8 = 9.75
  EXPECT_EQ(pixels.width, 119);
  EXPECT_EQ(pixels.height, 23);
}

TEST(GeneratorTemplate, ControlsFitTheDialogAndIdsAreUnique) {
  std::set<std::string> ids;
  for (const velk_mur::ControlTemplate& control : velk_mur::kGeneratorControls) {
    EXPECT_LE(control.rect.x + control.rect.width, velk_mur::kDialogWidthUnits) << control.text;
    EXPECT_LE(control.rect.y + control.rect.height, velk_mur::kDialogHeightUnits) << control.text;
    if (!control.id.empty()) {
      EXPECT_TRUE(ids.insert(std::string(control.id)).second);
    }
  }
  EXPECT_EQ(ids.size(), 10u);
}

}  // namespace
