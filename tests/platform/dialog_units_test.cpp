#include "platform/qt/dialog_units.h"

#include <QComboBox>
#include <QWidget>

#include <gtest/gtest.h>

#include "platform/qt/control_table.h"

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

// A drop-down box is as high as its style makes it, and a dialog 20 x 40 pixels larger than
// its template shares the growth out by halves.
TEST(ControlTable, PlacesByCornersOrSizesAndSharesTheGrowth) {
  constexpr ControlRow kRows[] = {
      {"edit", ControlKind::LineEdit, "", {7, 18, 107, 172}, "", "", "", {1, 0, 2, 0}},
      {"box", ControlKind::ComboBox, "", {3, 5, 50, 90}, "", "", "", {0, 2, 0, 1}}};
  QWidget dialog;
  dialog.setFont(dialogFont());
  buildControls(dialog, kRows);
  const DialogBaseUnits base = baseUnitsOf(dialog.font());
  auto* box = control<QComboBox>(dialog, "box");
  ASSERT_NE(box, nullptr);
  const int boxHeight = box->sizeHint().height();
  for (const Rounding rounding : {Rounding::Corners, Rounding::Sizes}) {
    const auto pixels = [&](const UnitRect& units) {
      return rounding == Rounding::Corners ? cornerPixels(units, base) : sizePixels(units, base);
    };
    placeControls(dialog, kRows, rounding, {20, 40});
    EXPECT_EQ(control(dialog, "edit")->geometry(),
              pixels(kRows[0].rect).translated(10, 0).adjusted(0, 0, 20, 0));
    QRect boxPlace = pixels(kRows[1].rect).translated(0, 40);
    boxPlace.setHeight(boxHeight + 20);
    EXPECT_EQ(box->geometry(), boxPlace);
  }
}

}  // namespace
}  // namespace platform
