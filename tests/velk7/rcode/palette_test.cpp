#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stick_fixture.h"
#include "velk7/rcode/palette.h"

namespace velk7 {
namespace {

using testing::labelsOf;
using testing::StickFixture;
using Labels = std::vector<std::string>;
using Entries = std::vector<PaletteEntry>;

TEST(Palette, FiltersSplitSystemActionsByPrefix) {
  // The system category row that takes the name (-1: only "(other)"), and the label.
  const std::vector<std::tuple<std::string, int, std::string>> cases = {
      {"L_PALONE.DANCE1", 2, "DANCE1"},
      {"E_NEWSTG_X", 10, "_X"},
      {"MY_ACT", -1, "MY_ACT"},
      {"L_POBJ.", 7, ""},
      {"l_edsp.x", -1, "l_edsp.x"}};
  for (const auto& [name, takingRow, label] : cases) {
    SCOPED_TRACE(name);
    const auto labelIf = [&](bool taken) {
      return taken ? std::optional<std::string>(label) : std::nullopt;
    };
    for (int row = 0; row < static_cast<int>(systemCategories.size()); ++row) {
      EXPECT_EQ(categoryFilter(systemCategories[static_cast<std::size_t>(row)], name),
                labelIf(row == takingRow))
          << row;
    }
    EXPECT_EQ(otherFilter(name), labelIf(takingRow == -1));
  }
}

TEST(Palette, SystemCategoriesReadActionExtEachTime) {
  StickFixture stick;
  stick.write("ACTION.EXT", "ERS-7\nL_PALONE.DANCE1 1 0\nMY_ACT 2 0 ; mine\nL_PALONE.DANCE2 3 0\n");
  platform::RecordingMessenger messenger;
  const auto entries = [&](int category) {
    return paletteEntries(category, RcodeProgram{}, stick.program(), messenger);
  };
  const Entries dances = entries(kFirstSystemCategory + 2);
  EXPECT_EQ(labelsOf(dances), (Labels{"DANCE1", "DANCE2"}));
  EXPECT_EQ(dances.at(0).part, "PLAY ACTION L_PALONE.DANCE1\377WAIT");
  EXPECT_EQ(entries(kOtherCategory),
            (Entries{{"MY_ACT", LineKind::Sys, "PLAY ACTION MY_ACT // mine\377WAIT"}}));
  EXPECT_TRUE(entries(kFirstSystemCategory).empty());
  stick.write("ACTION.EXT", "ERS-7\nL_EDSP.JOY 1 0\n");
  EXPECT_EQ(labelsOf(entries(kFirstSystemCategory)), Labels{"JOY"});
  EXPECT_TRUE(messenger.entries().empty());
}

TEST(Palette, UserActionsWithoutCatalogueShowTheMessageEachTime) {
  StickFixture stick;
  platform::RecordingMessenger messenger;
  const auto entries = [&] {
    return paletteEntries(kUserCategory, RcodeProgram{}, stick.program(), messenger);
  };
  EXPECT_TRUE(entries().empty());
  EXPECT_TRUE(entries().empty());
  const std::string message = "This RCODE stick does not contain any USER actions";
  EXPECT_EQ(messenger.texts(), (Labels{message, message}));
  stick.write("ACTION.CFG", "HELLO\t24001\t0\tHELLO.WAV\r\n");
  messenger.clear();
  EXPECT_EQ(labelsOf(entries()), Labels{"HELLO"});
  EXPECT_TRUE(messenger.entries().empty());
}

TEST(Palette, SubroutineLabels) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"CALL Wag // Wag the tail", "Wag the tail"},
      {"CALL Wag //", "CALL Wag //"},
      {" CALL Wag", "CALL Wag"},
      {"a/b/  c d", "c d"},
      {"x/   ", "   "},
      {"x/ \tc", "\tc"}};
  for (const auto& [text, label] : cases) EXPECT_EQ(subroutineLabel(text), label) << text;
}

TEST(Palette, SubroutineEntriesComeFromTheProgramButNoMarkerLines) {
  RcodeProgram program;
  program.subroutineLines = {"CALL Wag // Wag the tail", " CALL Wag", "//} oops", "SET x 1"};
  StickFixture stick;
  platform::RecordingMessenger messenger;
  EXPECT_EQ(paletteEntries(kSubroutineCategory, program, stick.program(), messenger),
            (Entries{{"Wag the tail", LineKind::Call, "CALL Wag // Wag the tail"},
                     {"CALL Wag", LineKind::Other, " CALL Wag"},
                     {"SET x 1", LineKind::Led, "SET x 1"}}));
  for (const int category : {-1, kCategoryCount}) {
    EXPECT_TRUE(paletteEntries(category, program, stick.program(), messenger).empty());
  }
  EXPECT_TRUE(messenger.entries().empty());
}

}  // namespace
}  // namespace velk7
