#include "platform/settings.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/file_faults.h"
#include "tests/support/temp_tree.h"

namespace fs = std::filesystem;
using platform::ProfileEntry;
using testing_support::readTextFile;
using testing_support::TempDir;
using testing_support::writeTextFile;

namespace {

TEST(ProfileValue, FindsTheKeyOfTheSection) {
  const std::pair<std::string, std::string> rows[] = {
      // text, value
      {"[velk_mur]\r\nmemStick=F:\\\r\n", "F:\\"},
      {"  [ VELK_MUR ]  \r\n  MEMSTICK =  G:\\x=y  \r\n", "G:\\x=y"},
      {"[VELK_MUR]\r\nMEMSTICK=\"H:\\a b\"\r\n", "H:\\a b"},
      {"[VELK_MUR]\r\nMEMSTICK=\"H:\\\r\n", "\"H:\\"},
      {"[VELK_MUR]\r\nMEMSTICK=F:\\\r", "F:\\"},  // a lone CR ends the last line
      {"[VELK_MUR]\r\nMEMSTICK=\r\nMEMSTICK=2\r\n", ""},
      {"MEMSTICK=0\r\n[OTHER]\r\nMEMSTICK=1\r\n[VELK_MUR]\r\n;MEMSTICK=2\r\n", "fallback"},
  };
  for (const auto& [text, value] : rows) {
    EXPECT_EQ(platform::profileValue(text, "VELK_MUR", "MEMSTICK", "fallback"), value) << text;
  }
}

// The text with the key set, or "<refused>".
std::string withValue(std::string_view text, std::string_view value,
                      std::string_view key = "MEMSTICK", std::string_view section = "VELK_MUR") {
  const ProfileEntry entry{key, value};
  return platform::withProfileValues(text, section, std::span(&entry, 1)).value_or("<refused>");
}

TEST(WithProfileValues, ChangesOnlyWhatItMustAndRefusesWhatTheFormatCannotHold) {
  const std::pair<std::string, std::string> rows[] = {
      // before, after
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
  for (const auto& [before, after] : rows) EXPECT_EQ(withValue(before, "E:\\"), after) << before;
  EXPECT_EQ(withValue("", "E:\\\r\n[X]"), "<refused>");
  EXPECT_EQ(withValue("", "x", "A=B"), "<refused>");
  EXPECT_EQ(withValue("", "x", ";A"), "<refused>");
  EXPECT_EQ(withValue("", "x", "A", "V]"), "<refused>");
}

// A file of another letter case is the one written; a failed write leaves it whole, alone.
TEST(SettingsFile, WriteKeepsTheFileOfAnotherCaseAndAFailedWriteLeavesItWhole) {
  using platform::FileOp;
  const std::string old = "[Other]\r\nz=9\r\n";
  const ProfileEntry stick{"MEMSTICK", "E:\\"};
  for (const FileOp op :
       {FileOp::Check, FileOp::Create, FileOp::Write, FileOp::Close, FileOp::Rename}) {
    const bool fails = op != FileOp::Check;  // the check row runs without a fault
    TempDir dir;
    writeTextFile(dir / "velk.ini", old);
    {
      platform::ScopedFault fault(fails ? 1 : 0, {op});
      EXPECT_EQ(platform::writeProfileStrings(dir / "VELK.INI", "VELK_MUR", {&stick, 1}), !fails);
    }
    EXPECT_EQ(readTextFile(dir / "velk.ini"), fails ? old : withValue(old, "E:\\"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1)
        << static_cast<int>(op);
  }
}

}  // namespace
