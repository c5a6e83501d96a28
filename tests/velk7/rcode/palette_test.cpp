#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stick_fixture.h"
#include "velk7/rcode/palette.h"

namespace velk7 {
namespace {

using testing::StickFixture;
using Labels = std::vector<std::string>;
using Entries = std::vector<PaletteEntry>;

Labels labelsOf(const Entries& entries) {
  Labels labels;
  for (const PaletteEntry& entry : entries) labels.push_back(entry.label);
  return labels;
}

// Each system category takes the names of ACTION.EXT that begin with one of its prefixes,
// labelled by the rest; "(other)" takes the names no prefix begins. User actions come from
// ACTION.CFG, subroutines from the program. The files are read anew each time.
TEST(Palette, CategoriesSplitTheCataloguesByPrefixAndOfferSubroutinesButNoMarkerLines) {
  StickFixture stick;
  RcodeProgram program;
  program.subroutineLines = {"CALL Wag // Wag the tail", " CALL Wag", "//} oops", "CALL Wag //",
                             "x/ \tc"};
  platform::RecordingMessenger messenger;
  const auto entries = [&](int category) {
    return paletteEntries(category, program, stick.program(), messenger);
  };
  EXPECT_TRUE(entries(kUserCategory).empty());
  EXPECT_TRUE(entries(kUserCategory).empty());
  const std::string message = "This RCODE stick does not contain any USER actions";
  EXPECT_EQ(messenger.texts(), (Labels{message, message}));
  messenger.clear();

  stick.write("ACTION.CFG", "HELLO\t24001\t0\tHELLO.WAV\r\n");
  stick.write("ACTION.EXT",
              "ERS-7\nL_PALONE.DANCE1 1 0\nMY_ACT 2 0 ; mine\nE_NEWSTG_X 3 0\nl_edsp.x 4 0\n");
  EXPECT_EQ(labelsOf(entries(kUserCategory)), Labels{"HELLO"});
  EXPECT_EQ(labelsOf(entries(kFirstSystemCategory + 10)), Labels{"_X"});
  EXPECT_TRUE(entries(kFirstSystemCategory).empty());
  EXPECT_EQ(entries(kOtherCategory),
            (Entries{{"MY_ACT", LineKind::Sys, "PLAY ACTION MY_ACT // mine\377WAIT"},
                     {"l_edsp.x", LineKind::Sys, "PLAY ACTION l_edsp.x\377WAIT"}}));
  stick.write("ACTION.EXT", "ERS-7\nL_EDSP.JOY 1 0\n");
  EXPECT_EQ(labelsOf(entries(kFirstSystemCategory)), Labels{"JOY"});

  // A subroutine is labelled by its text after the last "/" without leading blanks.
  EXPECT_EQ(labelsOf(entries(kSubroutineCategory)),
            (Labels{"Wag the tail", "CALL Wag", "CALL Wag //", "\tc"}));
  for (const int outside : {-1, kCategoryCount}) EXPECT_TRUE(entries(outside).empty());
  EXPECT_TRUE(messenger.entries().empty());
}

}  // namespace
}  // namespace velk7
