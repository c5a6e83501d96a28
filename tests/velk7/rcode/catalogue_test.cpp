#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stick_fixture.h"
#include "velk7/rcode/catalogue.h"

namespace velk7 {
namespace {

using testing::StickFixture;

TEST(CheckInstallation, CompleteStickPasses) {
  StickFixture stick;
  stick.writeComplete();
  platform::RecordingMessenger messenger;
  EXPECT_TRUE(checkInstallation(stick.program(), messenger));
  EXPECT_TRUE(messenger.entries().empty());
}

TEST(CheckInstallation, EachFailingFileGivesItsMessage) {
  const std::string extTail = "\n";
  struct Case {
    const char* what;
    std::optional<std::string> ext;
    bool mwc;
    std::string message;  // "%s" stands for the ACTION.EXT path
  };
  const std::vector<Case> cases = {
      {"no ACTION.EXT", std::nullopt, true, "ERROR: Missing ACTION.EXT - please reinstall\n%s"},
      {"empty first line", "\r\nERS-7\r\n", true,
       "ERROR: Invalid ACTION.EXT (no ERS-??? tag) - please reinstall\n%s"},
      {"empty file", "", true, "ERROR: Invalid ACTION.EXT (no ERS-??? tag) - please reinstall\n%s"},
      {"lower-case tag", "ers-7\n", true,
       "ERROR: Invalid ACTION.EXT (no ERS-??? tag) - please reinstall\n%s"},
      {"tag after 255 characters", std::string(255, ' ') + "ERS-7\n", true,
       "ERROR: Invalid ACTION.EXT (no ERS-??? tag) - please reinstall\n%s"},
      {"first tag counts", "ERS-2 ERS-7\n", true,
       "ERROR: Invalid ACTION.EXT (not for ERS-7) - please reinstall\n%s"},
      {"ERS-70", "ERS-70\n", true,
       "ERROR: Invalid ACTION.EXT (not for ERS-7) - please reinstall\n%s"},
      {"ERS-x", "ERS-x\n", true,
       "ERROR: Invalid ACTION.EXT (not for ERS-7) - please reinstall\n%s"},
      {"no MWC", "ERS-7\n", false,
       "ERROR: Invalid ACTION.EXT (does not match MW model number) - please reinstall"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StickFixture stick;
    stick.writeProgram(testing::kSmallProgram);
    if (c.ext) stick.writeExt(*c.ext);
    if (c.mwc) stick.writeMwc();
    platform::RecordingMessenger messenger;
    EXPECT_FALSE(checkInstallation(stick.program(), messenger));
    std::string expected = c.message;
    const std::size_t slot = expected.find("%s");
    if (slot != std::string::npos) {
      expected.replace(slot, 2, companionPath(stick.program(), "ACTION.EXT").string());
    }
    EXPECT_EQ(messenger.texts(), std::vector<std::string>{expected});
  }
}

TEST(CheckInstallation, TagVariantsForTheErs7Pass) {
  for (const char* line : {"ERS-7", "ERS-07", "x ERS-7x", "ERS-+7\r", "ERS- 7"}) {
    StickFixture stick;
    stick.writeComplete();
    stick.writeExt(std::string(line) + "\nmore\n");
    platform::RecordingMessenger messenger;
    EXPECT_TRUE(checkInstallation(stick.program(), messenger)) << line;
  }
}

TEST(CheckInstallation, FilesAreFoundWithoutRegardToCase) {
  StickFixture stick;
  stick.writeProgram(testing::kSmallProgram);
  testing_support::writeTextFile(stick.ams() / "action.ext", "ERS-7\n");
  testing_support::writeTextFile(stick.root / "OPEN-R" / "mw" / "conf" / "ers-7.mwc", "M");
  platform::RecordingMessenger messenger;
  EXPECT_TRUE(checkInstallation(stick.program(), messenger));
}

TEST(NextField, SplitsAtBlanksAndTabs) {
  std::string_view cursor = "  NAME \t 12\t0  rest of  line ";
  EXPECT_EQ(nextField(cursor), "NAME");
  EXPECT_EQ(nextField(cursor), "12");
  EXPECT_EQ(nextField(cursor), "0");
  EXPECT_EQ(cursor, "rest of  line ");
  EXPECT_EQ(nextField(cursor), "rest");
  EXPECT_EQ(nextField(cursor), "of");
  EXPECT_EQ(nextField(cursor), "line");
  EXPECT_EQ(nextField(cursor), std::nullopt);
  EXPECT_TRUE(cursor.empty());
  std::string_view blanks = " \t ";
  EXPECT_EQ(nextField(blanks), std::nullopt);
}

std::string padded(const std::string& name) {
  return name + std::string(16 - name.size(), ' ');
}

TEST(ReadCatalogue, UserActionLineWrittenByTheGeneratorGivesPlayAndWait) {
  StickFixture stick;
  stick.writeCfg(padded("HELLO") + "\t24001\t0\tHELLO.WAV + motion + leds\r\n" + padded("BYE") +
                 "\t24002\t0\tBYE.WAV + motion + leds\r\n");
  std::vector<PaletteEntry> palette;
  ASSERT_TRUE(readCatalogue(palette, stick.program(), "ACTION.CFG", "ACTION+"));
  ASSERT_EQ(palette.size(), 2u);
  EXPECT_EQ(palette[0], (PaletteEntry{"HELLO", LineKind::User,
                                      "PLAY ACTION+ HELLO // HELLO.WAV + motion + leds\xFF"
                                      "WAIT"}));
  EXPECT_EQ(palette[1].label, "BYE");
  LineList lines;
  addPart(lines, palette[0].part);
  EXPECT_EQ(lines, (LineList{"PLAY ACTION+ HELLO // HELLO.WAV + motion + leds", "WAIT"}));
}

TEST(ReadCatalogue, LinesBreakingTheFieldRulesAreSkipped) {
  StickFixture stick;
  stick.writeExt(
      "// ERS-7 actions\n"
      "-HIDDEN 1 0\n"
      "TWO 1\n"
      "ZERO 0 0\n"
      "NEGATIVE -3 0\n"
      "WORD abc 0\n"
      "ONE 1 1\n"
      "OK_WORD 5 none\n"
      "SIT 2 0 ; sit down\n"
      "KICK_NOWAIT 3 -0\n"
      "\n"
      "   \t\n"
      "CR_ONLY 4 0 x\ry\n");
  std::vector<PaletteEntry> palette;
  ASSERT_TRUE(readCatalogue(palette, stick.program(), "ACTION.EXT", "ACTION"));
  std::vector<std::string> labels;
  for (const PaletteEntry& entry : palette) labels.push_back(entry.label);
  EXPECT_EQ(labels, (std::vector<std::string>{"OK_WORD", "SIT", "KICK_NOWAIT", "CR_ONLY"}));
  EXPECT_EQ(palette[1].part,
            "PLAY ACTION SIT // sit down\xFF"
            "WAIT");
  EXPECT_EQ(palette[1].kind, LineKind::Sys);
  EXPECT_EQ(palette[2].part, "PLAY ACTION KICK_NOWAIT");
  EXPECT_EQ(palette[2].kind, LineKind::Move);
  EXPECT_EQ(palette[3].part,
            "PLAY ACTION CR_ONLY // x\ry\xFF"
            "WAIT");
}

TEST(ReadCatalogue, FilterGivesTheLabelOrRefuses) {
  StickFixture stick;
  stick.writeExt("L_X.ONE 1 0\nOTHER 1 0\n");
  std::vector<PaletteEntry> palette;
  const CatalogueFilter filter = [](std::string_view name) -> std::optional<std::string> {
    if (name.substr(0, 4) != "L_X.") return std::nullopt;
    return std::string(name.substr(4));
  };
  ASSERT_TRUE(readCatalogue(palette, stick.program(), "ACTION.EXT", "ACTION", filter));
  ASSERT_EQ(palette.size(), 1u);
  EXPECT_EQ(palette[0].label, "ONE");
  EXPECT_EQ(palette[0].part,
            "PLAY ACTION L_X.ONE\xFF"
            "WAIT");
}

TEST(ReadCatalogue, EntriesAreAppendedAfterExistingOnes) {
  StickFixture stick;
  stick.writeCfg("A 1 0\n");
  std::vector<PaletteEntry> palette{{"old", LineKind::Wait, "WAIT"}};
  ASSERT_TRUE(readCatalogue(palette, stick.program(), "ACTION.CFG", "ACTION+"));
  ASSERT_EQ(palette.size(), 2u);
  EXPECT_EQ(palette[0].label, "old");
  EXPECT_EQ(palette[1].label, "A");
}

TEST(ReadCatalogue, MissingOrUselessFileAppendsNothing) {
  StickFixture stick;
  std::vector<PaletteEntry> palette;
  EXPECT_FALSE(readCatalogue(palette, stick.program(), "ACTION.CFG", "ACTION+"));
  stick.writeCfg("-A 1 0\nB 0 0\n");
  EXPECT_FALSE(readCatalogue(palette, stick.program(), "ACTION.CFG", "ACTION+"));
  EXPECT_TRUE(palette.empty());
}

TEST(ReadCatalogue, LongLineIsReadAsPiecesOf255) {
  StickFixture stick;
  const std::string first = "FIRST 1 0 " + std::string(245, 'c');  // exactly 255
  stick.writeCfg(first + "SECOND 2 0 tail\r\nLAST 3 0\r\n");
  std::vector<PaletteEntry> palette;
  ASSERT_TRUE(readCatalogue(palette, stick.program(), "ACTION.CFG", "ACTION+"));
  std::vector<std::string> labels;
  for (const PaletteEntry& entry : palette) labels.push_back(entry.label);
  // FIRST's part is too long to be a part, so only the second piece and LAST remain.
  EXPECT_EQ(labels, (std::vector<std::string>{"SECOND", "LAST"}));
  EXPECT_EQ(palette[0].part,
            "PLAY ACTION+ SECOND // tail\xFF"
            "WAIT");
}

TEST(ReadCatalogue, LongNameIsCutInTheLabelButPlayedWhole) {
  StickFixture stick;
  const std::string name(100, 'N');
  stick.writeCfg(name + " 1 0\n");
  std::vector<PaletteEntry> palette;
  ASSERT_TRUE(readCatalogue(palette, stick.program(), "ACTION.CFG", "ACTION+"));
  EXPECT_EQ(palette[0].label, std::string(63, 'N'));
  EXPECT_EQ(palette[0].part, "PLAY ACTION+ " + name +
                                 "\xFF"
                                 "WAIT");
}

TEST(ReadCatalogue, FileChangesAreSeenAtTheNextRead) {
  StickFixture stick;
  stick.writeCfg("A 1 0\n");
  std::vector<PaletteEntry> palette;
  ASSERT_TRUE(readCatalogue(palette, stick.program(), "ACTION.CFG", "ACTION+"));
  stick.writeCfg("B 1 0\n");
  palette.clear();
  ASSERT_TRUE(readCatalogue(palette, stick.program(), "ACTION.CFG", "ACTION+"));
  EXPECT_EQ(palette[0].label, "B");
}

}  // namespace
}  // namespace velk7
