// The dated copy of R-CODE.R that a save makes on the computer before it changes the stick.
#include <gtest/gtest.h>

#include <string>

#include "editor_stick.h"
#include "platform/backups.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/temp_tree.h"
#include "velk7/editor/src/save_program.h"
#include "velk7/rcode/code_lines.h"

namespace velk7 {
namespace {

namespace fs = std::filesystem;
using testing_support::readTextFile;

TEST(ProgramPlace, TheSticksOwnPlaceInAnyCaseElseTheProgramsFolder) {
  const struct {
    const char* path;
    const char* root;
    const char* relative;
  } cases[] = {
      {"/media/AIBO/OPEN-R/APP/PC/AMS/R-CODE.R", "/media/AIBO", "OPEN-R/APP/PC/AMS/R-CODE.R"},
      {"/media/AIBO/open-r/app/pc/ams/r-code.r", "/media/AIBO", "OPEN-R/APP/PC/AMS/R-CODE.R"},
      {"/home/me/copy/R-CODE.R", "/home/me/copy", "R-CODE.R"},
      {"/media/AIBO/OPEN-R/APP/PC/X/R-CODE.R", "/media/AIBO/OPEN-R/APP/PC/X", "R-CODE.R"},
  };
  for (const auto& c : cases) {
    const ProgramPlace place = programPlace(c.path);
    EXPECT_EQ(place.stickRoot, fs::path(c.root)) << c.path;
    EXPECT_EQ(place.relativeName, c.relative) << c.path;
  }
}

TEST(ProgramBackup, ASaveCopiesTheProgramFirstOrChangesNothingWhenItCannot) {
  for (const bool blocked : {false, true}) {
    SCOPED_TRACE(blocked);
    testing_support::TempDir dir;
    const fs::path path = editor_testing::writeStick(dir / "AIBO", {{"T", {"WAIT"}}});
    RcodeProgram program = editor_testing::loadParsed(path);
    appendLine(program.records[0].lines, "WAIT 250");
    const std::string original = readTextFile(path);
    const fs::path backups = dir / "backups";
    if (blocked) testing_support::writeTextFile(backups, "a file where the folder must go");
    platform::RecordingMessenger messenger;
    EXPECT_EQ(saveProgram(program, path, true, messenger, backups), !blocked);
    const platform::BackupList list = platform::listBackups(backups / "AIBO");
    if (blocked) {
      EXPECT_EQ(readTextFile(path), original);
      EXPECT_TRUE(list.backups.empty());
      ASSERT_EQ(messenger.texts().size(), 1u);
      EXPECT_TRUE(messenger.texts()[0].starts_with(kNoBackupMessage));
      continue;
    }
    ASSERT_EQ(list.backups.size(), 1u);
    EXPECT_EQ(readTextFile(list.backups[0].folder / "OPEN-R/APP/PC/AMS/R-CODE.R"), original);
    EXPECT_NE(readTextFile(path), original);
  }
}

}  // namespace
}  // namespace velk7
