#include "platform/qt/dialog_units.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(DialogUnits, SizesAndCornersScaleAndRoundHalfAwayFromZero) {
  // With a 6 x 13 font: left 7 -> 10.5 -> 11, right 114 -> 171; top 18 -> 29.25 -> 29,
  // bottom 190 -> 308.75 -> 309. Sizes alone: 107 -> 160.5 -> 161, 172 -> 279.5 -> 280.
  const DialogBaseUnits base{6, 13};
  EXPECT_EQ(cornerPixels({7, 18, 107, 172}, base), QRect(11, 29, 160, 280));
  EXPECT_EQ(sizePixels({7, 18, 107, 172}, base), QRect(11, 29, 161, 280));
  EXPECT_EQ(sizePixels({-7, 0, 0, -1}, base), QRect(-11, 0, 0, -2));
  // Corners keep neighbours touching where sizes would open a gap.
  EXPECT_EQ(cornerPixels({3, 0, 5, 5}, {7, 15}).right() + 1,
            cornerPixels({8, 0, 5, 5}, {7, 15}).x());
}

}  // namespace
}  // namespace platform
