#include "platform/settings.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/src/file_faults.h"
#include "tests/support/temp_tree.h"

namespace fs = std::filesystem;
using platform::ProfileEntry;
using testing_support::readTextFile;
using testing_support::TempDir;
using testing_support::writeTextFile;

namespace {

TEST(ProfileValue, FindsTheKeyOfTheSection) {
  const struct {
    std::string text;
    std::string expected;
  } rows[] = {
      {"[VELK_MUR]\r\nMEMSTICK=E:\\\r\n", "E:\\"},
      {"[velk_mur]\r\nmemStick=F:\\\r\n", "F:\\"},
      {"  [ VELK_MUR ]  \r\n  MEMSTICK =  G:\\x=y  \r\n", "G:\\x=y"},
      {"[VELK_MUR]\r\nMEMSTICK=\"H:\\a b\"\r\n", "H:\\a b"},
      {"[VELK_MUR]\r\nMEMSTICK=\"H:\\\r\n", "\"H:\\"},
      {"[VELK_MUR]\r\nMEMSTICK=\r\nMEMSTICK=2\r\n", ""},
      {"MEMSTICK=0\r\n[OTHER]\r\nMEMSTICK=1\r\n[VELK_MUR]\r\n;MEMSTICK=2\r\n", "fallback"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(platform::profileValue(row.text, "VELK_MUR", "MEMSTICK", "fallback"), row.expected)
        << row.text;
  }
}

const ProfileEntry kStick[] = {{"MEMSTICK", "E:\\"}};

std::string setStick(std::string_view text, std::string_view value) {
  const ProfileEntry entry{"MEMSTICK", value};
  return platform::withProfileValues(text, "VELK_MUR", std::span(&entry, 1)).value_or("<refused>");
}

TEST(WithProfileValues, ChangesOnlyWhatItMust) {
  const struct {
    std::string before;
    std::string after;
  } rows[] = {
      {"", "[VELK_MUR]\r\nMEMSTICK=E:\\\r\n"},
      {"; settings\r\n[A]\r\nx=1\r\n",
       "; settings\r\n[A]\r\nx=1\r\n[VELK_MUR]\r\nMEMSTICK=E:\\\r\n"},
      {"[a]\nk=1\n[velk_mur]\nmemstick = old\nLOCALDATA=d\n[b]\n",
       "[a]\nk=1\n[velk_mur]\nmemstick=E:\\\nLOCALDATA=d\n[b]\n"},
      {"[VELK_MUR]\r\nLOCALDATA=d\r\n\r\n[B]\r\ny=2\r\n",
       "[VELK_MUR]\r\nLOCALDATA=d\r\nMEMSTICK=E:\\\r\n\r\n[B]\r\ny=2\r\n"},
      {"[VELK_MUR]\r", "[VELK_MUR]\r\nMEMSTICK=E:\\\r\n"},
      {"[A]\r", "[A]\r\n[VELK_MUR]\r\nMEMSTICK=E:\\\r\n"},
      {"[VELK_MUR]\r\nMEMSTICK=1\r\n[VELK_MUR]\r\nMEMSTICK=2\r\n",
       "[VELK_MUR]\r\nMEMSTICK=E:\\\r\n[VELK_MUR]\r\nMEMSTICK=2\r\n"},
  };
  for (const auto& row : rows) EXPECT_EQ(setStick(row.before, "E:\\"), row.after) << row.before;
}

TEST(WithProfileValues, RefusesTextsTheFormatCannotHold) {
  EXPECT_EQ(setStick("", "E:\\\r\n[X]"), "<refused>");
  const std::vector<std::pair<std::string, std::string>> badNames = {
      {"VELK_MUR", "A=B"}, {"VELK_MUR", ";A"}, {"V]", "A"}};
  for (const auto& [section, key] : badNames) {
    const ProfileEntry entry{key, "x"};
    EXPECT_FALSE(platform::withProfileValues("", section, std::span(&entry, 1)))
        << section << " " << key;
  }
}

TEST(SettingsFile, FileOfAnotherLetterCaseIsUsedAndKept) {
  TempDir dir;
  if (!testing_support::caseSensitive(dir.path())) {
    GTEST_SKIP() << "needs a folder that tells names apart by letter case";
  }
  writeTextFile(dir / "velk.ini", "[Other]\r\nz=9\r\n");
  ASSERT_TRUE(platform::writeProfileStrings(dir / "VELK.INI", "VELK_MUR", kStick));
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
      EXPECT_FALSE(platform::writeProfileStrings(dir / "VELK.INI", "VELK_MUR", kStick));
    }
    EXPECT_EQ(readTextFile(dir / "VELK.INI"), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1)
        << static_cast<int>(op);
  }
}

}  // namespace
