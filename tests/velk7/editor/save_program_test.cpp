// Saving R-CODE.R. A failing file operation at any point is swept in
// tests/robustness/save_program_sweep_test.cpp.
#include "velk7/editor/src/save_program.h"

#include <gtest/gtest.h>

#include <string>

#include "editor_stick.h"
#include "platform/path_text.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/temp_tree.h"
#include "velk7/rcode/code_lines.h"

namespace velk7 {
namespace {

namespace fs = std::filesystem;
using testing_support::readTextFile;
using Texts = std::vector<std::string>;

class SaveProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = editor_testing::writeStick(root_.path(), {{"Tricks", {"PLAY ACTION SIT", "WAIT"}}});
    original_ = readTextFile(path_);
    program_ = editor_testing::loadParsed(path_);
    messenger_.clear();
  }

  testing_support::TempDir root_;
  fs::path path_;
  std::string original_;
  RcodeProgram program_;
  platform::RecordingMessenger messenger_;
};

TEST_F(SaveProgramTest, SaveWritesTheLinesKeepsTheOldFileAsBackupAndTellsByTheChangedFlag) {
  struct Case {
    bool edit;     // a line is added
    bool changed;  // the flag passed
    bool present;  // R-CODE.R is there before the save
    std::string message;
  };
  for (const Case& c :
       {Case{false, false, true, "File saved (no changes made)"},
        Case{true, true, true, "Changes saved!"}, Case{false, true, true, "Changes saved!"},
        Case{false, false, false, "File saved (no changes made)"}}) {
    SetUp();  // a fresh stick for each row
    testing_support::writeTextFile(backupPath(path_), "an old backup");
    if (!c.present) fs::remove(path_);
    if (c.edit) appendLine(program_.records[0].lines, "WAIT 250");
    EXPECT_TRUE(saveProgram(program_, path_, c.changed, messenger_));
    EXPECT_EQ(
        readTextFile(path_),
        c.edit ? editor_testing::programText({{"Tricks", {"PLAY ACTION SIT", "WAIT", "WAIT 250"}}})
               : original_);
    EXPECT_EQ(readTextFile(backupPath(path_)), c.present ? original_ : "an old backup");
    EXPECT_FALSE(fs::exists(temporaryPath(path_)) || fs::exists(asidePath(path_)));
    EXPECT_EQ(messenger_.texts(), Texts{c.message});
  }
}

TEST_F(SaveProgramTest, UnwritableLineFailsWithoutTouchingTheStick) {
  appendLine(program_.records[0].lines, "//} not a code line");
  const testing_support::TreeSnapshot before = testing_support::snapshotTree(root_.path());
  EXPECT_FALSE(saveProgram(program_, path_, true, messenger_));
  EXPECT_EQ(testing_support::snapshotTree(root_.path()), before);
  EXPECT_EQ(messenger_.texts(),
            Texts{"ERROR: Can't write new R-CODE.R file\n" + platform::pathToText(path_)});
}

}  // namespace
}  // namespace velk7
