#include "velk7/editor/dialog_units.h"

#include <gtest/gtest.h>

namespace velk7 {
namespace {

TEST(DialogUnits, AverageWidthIsTheAlphabetOverFiftyTwoRounded) {
  EXPECT_EQ(averageCharWidth(312), 6);  // exactly 6
  EXPECT_EQ(averageCharWidth(337), 6);  // 6.48
  EXPECT_EQ(averageCharWidth(338), 7);  // 6.5 rounds up
  EXPECT_EQ(averageCharWidth(0), 0);
}

struct UnitCase {
  int units;
  int base;
  int horizontal;  // units x base / 4
  int vertical;    // units x base / 8
};

class DialogUnitScaling : public ::testing::TestWithParam<UnitCase> {};

TEST_P(DialogUnitScaling, ScalesAndRounds) {
  const UnitCase& c = GetParam();
  const DialogBaseUnits base{c.base, c.base};
  EXPECT_EQ(horizontalPixels(c.units, base), c.horizontal);
  EXPECT_EQ(verticalPixels(c.units, base), c.vertical);
}

INSTANTIATE_TEST_SUITE_P(Values, DialogUnitScaling,
                         ::testing::Values(UnitCase{0, 6, 0, 0}, UnitCase{4, 6, 6, 3},
                                           UnitCase{392, 6, 588, 294},
                                           UnitCase{7, 6, 11, 5},         // 10.5 and 5.25
                                           UnitCase{355, 13, 1154, 577},  // 1153.75, 576.875
                                           UnitCase{1, 5, 1, 1}));        // 1.25 and 0.625

TEST(DialogUnits, RectangleConvertsItsCorners) {
  const DialogBaseUnits base{6, 13};
  // Left 7 -> 10.5 -> 11, right 114 -> 171; top 18 -> 29.25 -> 29, bottom 190 -> 308.75 -> 309.
  EXPECT_EQ(toPixels(UnitRect{7, 18, 107, 172}, base), (UnitRect{11, 29, 160, 280}));
}

TEST(DialogUnits, AdjacentRectanglesKeepTheirGap) {
  const DialogBaseUnits base{7, 15};
  const UnitRect left = toPixels(UnitRect{3, 0, 5, 5}, base);
  const UnitRect right = toPixels(UnitRect{8, 0, 5, 5}, base);
  EXPECT_EQ(left.x + left.width, right.x);
}

}  // namespace
}  // namespace velk7
