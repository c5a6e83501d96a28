#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stick_fixture.h"
#include "velk7/rcode/palette.h"

namespace velk7 {
namespace {

using testing::StickFixture;

std::vector<std::string> labelsOf(const std::vector<PaletteEntry>& entries) {
  std::vector<std::string> labels;
  for (const PaletteEntry& entry : entries) labels.push_back(entry.label);
  return labels;
}

TEST(Palette, CategoryBoxHasNineteenEntriesInOrder) {
  const std::vector<std::string> names = categoryNames();
  ASSERT_EQ(names.size(), static_cast<std::size_t>(kCategoryCount));
  EXPECT_EQ(names[0], "Standard");
  EXPECT_EQ(names[1], "User Actions");
  EXPECT_EQ(names[2], "System: Moods (EDSP)");
  EXPECT_EQ(names[12], "System: Clinic, NewStage, Regist");
  EXPECT_EQ(names[16], "System: LED Only");
  EXPECT_EQ(names[17], "System: (other)");
  EXPECT_EQ(names[18], "Subroutines");
}

TEST(Palette, StandardPartsWithKindsAndDescriptions) {
  StickFixture stick;
  platform::RecordingMessenger messenger;
  const std::vector<PaletteEntry> entries =
      paletteEntries(kStandardCategory, RcodeProgram{}, stick.program(), messenger);
  ASSERT_EQ(entries.size(), 17u);
  struct Expected {
    const char* label;
    LineKind kind;
    const char* description;
  };
  const std::vector<Expected> expected = {
      {"Sit Down", LineKind::Sys, "PLAY ACTION SIT"},
      {"Stand Up", LineKind::Sys, "PLAY ACTION STAND"},
      {"Lie Down", LineKind::Sys, "PLAY ACTION LIE"},
      {"Turn Left", LineKind::Move, " Turn Left"},
      {"Turn Right", LineKind::Move, " Turn Right"},
      {"Turn Around", LineKind::Move, " Turn Around"},
      {"Kick Left", LineKind::Move, " Kick Left"},
      {"Kick Right", LineKind::Move, " Kick Right"},
      {"Walk .1 metre", LineKind::Move, "PLAY ACTION WALK 0 100"},
      {"Walk .5 metre", LineKind::Move, "PLAY ACTION WALK 0 500"},
      {"Walk 1 inches", LineKind::Move, "PLAY ACTION WALK 0 1000"},
      {"Wait 1/4 sec", LineKind::Wait, " Wait 1/4 second"},
      {"Wait 1/2 sec", LineKind::Wait, " Wait 1/2 second"},
      {"Wait 1 sec", LineKind::Wait, " Wait 1 second"},
      {"Wait 2 sec", LineKind::Wait, " Wait 2 seconds"},
      {"WAIT to finish", LineKind::Wait, "WAIT"},
      {"Stop playing", LineKind::Sys, " Stop playing"},
  };
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i].label);
    EXPECT_EQ(entries[i].label, expected[i].label);
    EXPECT_EQ(entries[i].kind, expected[i].kind);
    EXPECT_EQ(partDescription(entries[i].part), expected[i].description);
  }
  LineList lines;
  addPart(lines, entries[0].part);
  EXPECT_EQ(lines, (LineList{"PLAY ACTION SIT", "WAIT"}));
  EXPECT_EQ(entries[16].part, "PLAY ACTION STOP  // Stop playing");
  EXPECT_TRUE(messenger.entries().empty());
}

TEST(Palette, FiltersSplitSystemActionsByPrefix) {
  struct Case {
    const char* name;
    int row;  // -1: only under "(other)"
    const char* label;
  };
  const std::vector<Case> cases = {
      {"L_PALONE.DANCE1", 2, "DANCE1"}, {"E_NEWSTG_X", 10, "_X"},
      {"MY_ACT", -1, "MY_ACT"},         {"L_POBJ.", 7, ""},
      {"l_edsp.x", -1, "l_edsp.x"},     {"E_MOVEPOS.SIT", 5, "SIT"},
      {"L_FDOWN.A", 11, "A"},           {"E_REGIST", 10, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (int row = 0; row < static_cast<int>(systemCategories.size()); ++row) {
      const std::optional<std::string> label =
          categoryFilter(systemCategories[static_cast<std::size_t>(row)], c.name);
      EXPECT_EQ(label.has_value(), row == c.row) << row;
      if (label) {
        EXPECT_EQ(*label, c.label);
      }
    }
    const std::optional<std::string> other = otherFilter(c.name);
    EXPECT_EQ(other.has_value(), c.row == -1);
    if (other) {
      EXPECT_EQ(*other, c.label);
    }
  }
}

TEST(Palette, SystemCategoriesReadActionExtEachTime) {
  StickFixture stick;
  stick.writeComplete();
  stick.writeExt("ERS-7\nL_PALONE.DANCE1 1 0\nMY_ACT 2 0 ; mine\nL_PALONE.DANCE2 3 0\n");
  platform::RecordingMessenger messenger;
  const RcodeProgram program;
  const std::vector<PaletteEntry> dances =
      paletteEntries(kFirstSystemCategory + 2, program, stick.program(), messenger);
  EXPECT_EQ(labelsOf(dances), (std::vector<std::string>{"DANCE1", "DANCE2"}));
  EXPECT_EQ(dances[0].part,
            "PLAY ACTION L_PALONE.DANCE1\xFF"
            "WAIT");
  const std::vector<PaletteEntry> other =
      paletteEntries(kOtherCategory, program, stick.program(), messenger);
  ASSERT_EQ(labelsOf(other), std::vector<std::string>{"MY_ACT"});
  EXPECT_EQ(other[0].part,
            "PLAY ACTION MY_ACT // mine\xFF"
            "WAIT");
  EXPECT_TRUE(paletteEntries(kFirstSystemCategory, program, stick.program(), messenger).empty());
  stick.writeExt("ERS-7\nL_EDSP.JOY 1 0\n");
  EXPECT_EQ(labelsOf(paletteEntries(kFirstSystemCategory, program, stick.program(), messenger)),
            std::vector<std::string>{"JOY"});
  EXPECT_TRUE(messenger.entries().empty());
}

TEST(Palette, UserActionsWithoutCatalogueShowTheMessageEachTime) {
  StickFixture stick;
  platform::RecordingMessenger messenger;
  const RcodeProgram program;
  EXPECT_TRUE(paletteEntries(kUserCategory, program, stick.program(), messenger).empty());
  EXPECT_TRUE(paletteEntries(kUserCategory, program, stick.program(), messenger).empty());
  EXPECT_EQ(messenger.texts(), (std::vector<std::string>{std::string(kNoUserActionsMessage),
                                                         std::string(kNoUserActionsMessage)}));
  stick.writeCfg("HELLO\t24001\t0\tHELLO.WAV\r\n");
  messenger.clear();
  EXPECT_EQ(labelsOf(paletteEntries(kUserCategory, program, stick.program(), messenger)),
            std::vector<std::string>{"HELLO"});
  EXPECT_TRUE(messenger.entries().empty());
}

TEST(Palette, SubroutineLabels) {
  struct Case {
    const char* text;
    const char* label;
  };
  const std::vector<Case> cases = {
      {"CALL Wag // Wag the tail", "Wag the tail"},
      {"CALL Wag", "CALL Wag"},
      {"CALL Wag //", "CALL Wag //"},
      {" CALL Wag", "CALL Wag"},
      {"a/b/  c d", "c d"},
      {"x/   ", "   "},
      {"x/\tc", "\tc"},
      {"x/ \tc", "\tc"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(subroutineLabel(c.text), c.label) << c.text;
}

TEST(Palette, SubroutineEntriesComeFromTheProgram) {
  RcodeProgram program;
  program.subroutineLines = {"CALL Wag // Wag the tail", " CALL Wag", "//} oops", "SET x 1"};
  StickFixture stick;
  platform::RecordingMessenger messenger;
  const std::vector<PaletteEntry> entries =
      paletteEntries(kSubroutineCategory, program, stick.program(), messenger);
  // A text that would be read back as a marker line is not offered.
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0], (PaletteEntry{"Wag the tail", LineKind::Call, "CALL Wag // Wag the tail"}));
  EXPECT_EQ(entries[1], (PaletteEntry{"CALL Wag", LineKind::Other, " CALL Wag"}));
  EXPECT_EQ(entries[2].kind, LineKind::Led);
}

TEST(Palette, UnknownCategoryGivesNothing) {
  StickFixture stick;
  platform::RecordingMessenger messenger;
  EXPECT_TRUE(paletteEntries(-1, RcodeProgram{}, stick.program(), messenger).empty());
  EXPECT_TRUE(paletteEntries(kCategoryCount, RcodeProgram{}, stick.program(), messenger).empty());
  EXPECT_TRUE(messenger.entries().empty());
}

}  // namespace
}  // namespace velk7
