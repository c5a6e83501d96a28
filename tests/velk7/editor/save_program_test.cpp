#include "velk7/editor/src/save_program.h"

#include <gtest/gtest.h>

#include <string>

#include "editor_stick.h"
#include "platform/path_text.h"
#include "platform/src/file_faults.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/temp_tree.h"
#include "velk7/rcode/code_lines.h"

namespace velk7 {
namespace {

namespace fs = std::filesystem;
using testing_support::readTextFile;
using testing_support::snapshotTree;
using testing_support::writeTextFile;
using Texts = std::vector<std::string>;

class SaveProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = editor_testing::writeStick(root_.path(), {{"Tricks", {"PLAY ACTION SIT", "WAIT"}}});
    original_ = readTextFile(path_);
    program_ = editor_testing::loadParsed(path_);
  }
  void addLine() { appendLine(program_.records[0].lines, "WAIT 250"); }
  fs::path backup() const { return backupPath(path_); }
  std::string pathMessage(std::string_view message) const {
    return std::string(message) + platform::pathToText(path_);
  }
  // The file after addLine() and a save.
  const std::string edited_ =
      editor_testing::programText({{"Tricks", {"PLAY ACTION SIT", "WAIT", "WAIT 250"}}});

  testing_support::TempDir root_;
  fs::path path_;
  std::string original_;
  RcodeProgram program_;
  platform::RecordingMessenger messenger_;
};

TEST_F(SaveProgramTest, SaveWritesTheLinesKeepsTheOldFileAsBackupAndTellsByTheChangedFlag) {
  // Whether lines are added, the changed flag, and the message it gives.
  for (const auto& [edit, changed, message] : std::vector<std::tuple<bool, bool, std::string>>{
           {false, false, "File saved (no changes made)"},
           {true, true, "Changes saved!"},
           {false, true, "Changes saved!"}}) {
    SetUp();  // a fresh stick for each row
    writeTextFile(backup(), "an old backup");
    messenger_.clear();
    if (edit) addLine();
    EXPECT_TRUE(saveProgram(program_, path_, changed, messenger_));
    EXPECT_EQ(readTextFile(path_), edit ? edited_ : original_);
    EXPECT_EQ(readTextFile(backup()), original_);
    EXPECT_FALSE(fs::exists(temporaryPath(path_)));
    EXPECT_FALSE(fs::exists(asidePath(path_)));
    EXPECT_EQ(messenger_.texts(), Texts{message});
  }
}

TEST_F(SaveProgramTest, SaveWithoutProgramFileStillWrites) {
  fs::remove(path_);
  EXPECT_TRUE(saveProgram(program_, path_, false, messenger_));
  EXPECT_EQ(readTextFile(path_), original_);
  EXPECT_FALSE(fs::exists(backup()));
}

struct FaultCase {
  const char* name;
  int n;
  platform::FileOp op;
  std::string_view message;
};

class SaveFaultTest : public SaveProgramTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(SaveFaultTest, FailedSaveLeavesProgramAndBackupAsTheyWereAndCanBeRetried) {
  const FaultCase& c = GetParam();
  writeTextFile(backup(), "an old backup");
  const testing_support::TreeSnapshot before = snapshotTree(root_.path());
  addLine();
  {
    platform::ScopedFault fault(c.n, {c.op});
    EXPECT_FALSE(saveProgram(program_, path_, true, messenger_));
    EXPECT_TRUE(platform::FaultInjection::failureReached());
  }
  EXPECT_EQ(snapshotTree(root_.path()), before);
  ASSERT_EQ(messenger_.entries().size(), 1u);
  EXPECT_TRUE(messenger_.entries()[0].isError);
  EXPECT_EQ(messenger_.texts()[0], pathMessage(c.message));
  EXPECT_TRUE(saveProgram(program_, path_, true, messenger_));
  EXPECT_EQ(readTextFile(path_), edited_);
  EXPECT_EQ(readTextFile(backup()), original_);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SaveFaultTest,
    ::testing::Values(
        FaultCase{"Create", 2, platform::FileOp::Create, kCannotCreateMessage},
        FaultCase{"Write", 1, platform::FileOp::Write, kCannotWriteMessage},
        FaultCase{"Close", 1, platform::FileOp::Close, kCannotWriteMessage},
        FaultCase{"FlushNewProgram", 1, platform::FileOp::Flush, kCannotWriteMessage},
        FaultCase{"ProgramCannotBeChecked", 1, platform::FileOp::Check, kCannotWriteMessage},
        FaultCase{"Lock", 1, platform::FileOp::Create, kCannotCreateMessage},
        FaultCase{"BackupCopy", 3, platform::FileOp::Create, kCannotWriteMessage},
        FaultCase{"NewProgramInPlace", 1, platform::FileOp::Rename, kCannotWriteMessage},
        FaultCase{"CopyBecomesBackup", 2, platform::FileOp::Rename, kCannotWriteMessage}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SaveProgramTest, UnwritableLineFailsWithoutTouchingTheStick) {
  appendLine(program_.records[0].lines, "//} not a code line");
  const testing_support::TreeSnapshot before = snapshotTree(root_.path());
  EXPECT_FALSE(saveProgram(program_, path_, true, messenger_));
  EXPECT_EQ(snapshotTree(root_.path()), before);
  EXPECT_EQ(messenger_.texts(), Texts{pathMessage(kCannotWriteMessage)});
}

}  // namespace
}  // namespace velk7
