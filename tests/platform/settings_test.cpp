#include "platform/settings.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/file_faults.h"
#include "tests/support/temp_tree.h"

namespace fs = std::filesystem;
using platform::ProfileEntry;
using testing_support::readTextFile;
using testing_support::TempDir;
using testing_support::writeTextFile;

namespace {

struct ReadCase {
  const char* name;
  std::string text;
  std::string expected;
};

class ProfileValueReading : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileValueReading, FindsTheKeyOfTheSection) {
  const ReadCase& c = GetParam();
  EXPECT_EQ(platform::profileValue(c.text, "VELK_MUR", "MEMSTICK", "fallback"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileValueReading,
    ::testing::Values(
        ReadCase{"Plain", "[VELK_MUR]\r\nMEMSTICK=E:\\\r\n", "E:\\"},
        ReadCase{"LineFeedsOnly", "[VELK_MUR]\nMEMSTICK=E:\\\n", "E:\\"},
        ReadCase{"NoFinalLineEnd", "[VELK_MUR]\r\nMEMSTICK=E:\\", "E:\\"},
        ReadCase{"NamesWithoutRegardToCase", "[velk_mur]\r\nmemStick=F:\\\r\n", "F:\\"},
        ReadCase{"BlanksAroundEverything", "  [ VELK_MUR ]  \r\n  MEMSTICK =  G:\\x  \r\n",
                 "G:\\x"},
        ReadCase{"QuotesRemoved", "[VELK_MUR]\r\nMEMSTICK=\"H:\\a b\"\r\n", "H:\\a b"},
        ReadCase{"UnmatchedQuoteKept", "[VELK_MUR]\r\nMEMSTICK=\"H:\\\r\n", "\"H:\\"},
        ReadCase{"EmptyValueIsAValue", "[VELK_MUR]\r\nMEMSTICK=\r\n", ""},
        ReadCase{"FirstOccurrenceWins", "[VELK_MUR]\r\nMEMSTICK=1\r\nMEMSTICK=2\r\n", "1"},
        ReadCase{"OtherSectionIgnored", "[OTHER]\r\nMEMSTICK=1\r\n[VELK_MUR]\r\nX=2\r\n",
                 "fallback"},
        ReadCase{"KeyBeforeAnySectionIgnored", "MEMSTICK=1\r\n[VELK_MUR]\r\n", "fallback"},
        ReadCase{"CommentedKeyIgnored", "[VELK_MUR]\r\n;MEMSTICK=1\r\n", "fallback"},
        ReadCase{"MissingSection", "[OTHER]\r\nA=1\r\n", "fallback"},
        ReadCase{"EmptyFile", "", "fallback"},
        ReadCase{"EqualsInValueKept", "[VELK_MUR]\r\nMEMSTICK=a=b\r\n", "a=b"}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

std::string setStick(std::string_view text, std::string_view value) {
  const ProfileEntry entry{"MEMSTICK", value};
  return platform::withProfileValues(text, "VELK_MUR", std::span(&entry, 1)).value_or("<refused>");
}

struct WriteCase {
  const char* name;
  std::string before;
  std::string after;
};

class ProfileValueWriting : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ProfileValueWriting, ChangesOnlyWhatItMust) {
  const WriteCase& c = GetParam();
  EXPECT_EQ(setStick(c.before, "E:\\"), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileValueWriting,
    ::testing::Values(WriteCase{"NewFile", "", "[VELK_MUR]\r\nMEMSTICK=E:\\\r\n"},
                      WriteCase{"SectionAppendedAfterOthers", "; settings\r\n[A]\r\nx=1\r\n",
                                "; settings\r\n[A]\r\nx=1\r\n[VELK_MUR]\r\nMEMSTICK=E:\\\r\n"},
                      WriteCase{"LineEndAddedBeforeNewSection", "[A]\nx=1",
                                "[A]\nx=1\r\n[VELK_MUR]\r\nMEMSTICK=E:\\\r\n"},
                      WriteCase{"ValueReplacedInPlaceKeepingSpellingAndLineEnd",
                                "[a]\nk=1\n[velk_mur]\nmemstick = old\nLOCALDATA=d\n[b]\n",
                                "[a]\nk=1\n[velk_mur]\nmemstick=E:\\\nLOCALDATA=d\n[b]\n"},
                      WriteCase{"KeyAddedAtEndOfSectionBeforeBlankLines",
                                "[VELK_MUR]\r\nLOCALDATA=d\r\n\r\n[B]\r\ny=2\r\n",
                                "[VELK_MUR]\r\nLOCALDATA=d\r\nMEMSTICK=E:\\\r\n\r\n[B]\r\ny=2\r\n"},
                      WriteCase{"KeyAddedToEmptySectionAtEndOfFile", "[VELK_MUR]",
                                "[VELK_MUR]\r\nMEMSTICK=E:\\\r\n"},
                      WriteCase{"LoneCarriageReturnGetsItsLineFeed", "[VELK_MUR]\r",
                                "[VELK_MUR]\r\nMEMSTICK=E:\\\r\n"},
                      WriteCase{"LoneCarriageReturnBeforeNewSection", "[A]\r",
                                "[A]\r\n[VELK_MUR]\r\nMEMSTICK=E:\\\r\n"},
                      WriteCase{"CommentsKept",
                                "[VELK_MUR]\r\n; where the stick is\r\nMEMSTICK=F:\\\r\n",
                                "[VELK_MUR]\r\n; where the stick is\r\nMEMSTICK=E:\\\r\n"},
                      WriteCase{"OnlyFirstOfDuplicateSectionsChanged",
                                "[VELK_MUR]\r\nMEMSTICK=1\r\n[VELK_MUR]\r\nMEMSTICK=2\r\n",
                                "[VELK_MUR]\r\nMEMSTICK=E:\\\r\n[VELK_MUR]\r\nMEMSTICK=2\r\n"}),
    [](const ::testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });

TEST(ProfileValueWriting, RefusesTextsTheFormatCannotHold) {
  EXPECT_EQ(setStick("", "E:\\\r\n[X]"), "<refused>");
  const std::vector<std::pair<std::string, std::string>> badNames = {
      {"VELK_MUR", ""}, {"VELK_MUR", "A=B"}, {"VELK_MUR", ";A"}, {"V]", "A"}, {"V\n", "A"}};
  for (const auto& [section, key] : badNames) {
    const ProfileEntry entry{key, "x"};
    EXPECT_FALSE(platform::withProfileValues("", section, std::span(&entry, 1)))
        << section << " " << key;
  }
}

TEST(ProfileValueWriting, WrittenValueReadsBack) {
  const ProfileEntry entries[] = {{"MEMSTICK", "E:\\copy"}, {"LOCALDATA", "c:\\aibo\\mydata"}};
  const std::string text =
      platform::withProfileValues("[X]\r\na=1\r\n", "VELK_MUR", entries).value();
  EXPECT_EQ(platform::profileValue(text, "VELK_MUR", "MEMSTICK", ""), "E:\\copy");
  EXPECT_EQ(platform::profileValue(text, "velk_mur", "localdata", ""), "c:\\aibo\\mydata");
  EXPECT_EQ(platform::profileValue(text, "X", "a", ""), "1");
}

TEST(SettingsFile, MissingFileGivesTheDefaultAndWritingCreatesIt) {
  TempDir dir;
  EXPECT_EQ(platform::readProfileString(dir / "VELK.INI", "VELK_MUR", "MEMSTICK", "C:\\"), "C:\\");
  ASSERT_TRUE(platform::writeProfileString(dir / "VELK.INI", "VELK_MUR", "MEMSTICK", "E:\\"));
  EXPECT_EQ(readTextFile(dir / "VELK.INI"), "[VELK_MUR]\r\nMEMSTICK=E:\\\r\n");
  EXPECT_EQ(platform::readProfileString(dir / "VELK.INI", "VELK_MUR", "MEMSTICK", ""), "E:\\");
  EXPECT_FALSE(fs::exists(dir / "VELK.INI.tmp"));
}

TEST(SettingsFile, FileOfAnotherLetterCaseIsUsedAndKept) {
  TempDir dir;
  writeTextFile(dir / "velk.ini", "[Other]\r\nz=9\r\n");
  ASSERT_TRUE(platform::writeProfileString(dir / "VELK.INI", "VELK_MUR", "MEMSTICK", "E:\\"));
  EXPECT_FALSE(fs::exists(dir / "VELK.INI"));
  EXPECT_EQ(readTextFile(dir / "velk.ini"), "[Other]\r\nz=9\r\n[VELK_MUR]\r\nMEMSTICK=E:\\\r\n");
  EXPECT_EQ(platform::readProfileString(dir / "VELK.INI", "VELK_MUR", "MEMSTICK", ""), "E:\\");
}

TEST(SettingsFile, FailedWriteLeavesTheOldFileWhole) {
  const std::string old = "[VELK_MUR]\r\nMEMSTICK=F:\\\r\n; keep me\r\n";
  for (platform::FileOp op : {platform::FileOp::Create, platform::FileOp::Write,
                              platform::FileOp::Close, platform::FileOp::Rename}) {
    TempDir dir;
    writeTextFile(dir / "VELK.INI", old);
    {
      platform::ScopedFault fault(1, {op});
      EXPECT_FALSE(platform::writeProfileString(dir / "VELK.INI", "VELK_MUR", "MEMSTICK", "E:\\"));
    }
    EXPECT_EQ(readTextFile(dir / "VELK.INI"), old);
    EXPECT_FALSE(fs::exists(dir / "VELK.INI.tmp")) << static_cast<int>(op);
  }
}

TEST(SettingsFile, UnreadableSettingsPathIsNotReplaced) {
  TempDir dir;
  fs::create_directory(dir / "VELK.INI");
  EXPECT_FALSE(platform::writeProfileString(dir / "VELK.INI", "VELK_MUR", "MEMSTICK", "E:\\"));
  EXPECT_TRUE(fs::is_directory(dir / "VELK.INI"));
}

}  // namespace
