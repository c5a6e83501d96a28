#include "velk7/editor/dialog_units.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace velk7 {
namespace {

TEST(DialogUnits, AverageWidthIsTheAlphabetOverFiftyTwoRounded) {
  // 312 is exactly 6, 337 is 6.48 and 338 is 6.5, which rounds up.
  for (const auto& [alphabet, width] :
       std::vector<std::pair<int, int>>{{312, 6}, {337, 6}, {338, 7}, {0, 0}}) {
    EXPECT_EQ(averageCharWidth(alphabet), width) << alphabet;
  }
}

TEST(DialogUnits, DistancesScaleAndRound) {
  // Units, base, then units x base / 4 and units x base / 8 rounded.
  const std::vector<std::tuple<int, int, int, int>> cases = {{0, 6, 0, 0},         {4, 6, 6, 3},
                                                             {392, 6, 588, 294},   {7, 6, 11, 5},
                                                             {355, 13, 1154, 577}, {1, 5, 1, 1}};
  for (const auto& [units, base, horizontal, vertical] : cases) {
    EXPECT_EQ(horizontalPixels(units, DialogBaseUnits{base, base}), horizontal) << units;
    EXPECT_EQ(verticalPixels(units, DialogBaseUnits{base, base}), vertical) << units;
  }
}

TEST(DialogUnits, RectangleConvertsItsCornersSoNeighboursKeepTheirGap) {
  // Left 7 -> 10.5 -> 11, right 114 -> 171; top 18 -> 29.25 -> 29, bottom 190 -> 308.75 -> 309.
  EXPECT_EQ(toPixels(UnitRect{7, 18, 107, 172}, {6, 13}), (UnitRect{11, 29, 160, 280}));
  const UnitRect left = toPixels(UnitRect{3, 0, 5, 5}, {7, 15});
  EXPECT_EQ(left.x + left.width, toPixels(UnitRect{8, 0, 5, 5}, {7, 15}).x);
}

}  // namespace
}  // namespace velk7
