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

TEST(SaveProgram, SaveWritesTheLinesKeepsTheOldFileAsBackupOrFailsWithoutTouchingTheStick) {
  // A line added to the record (or none), the changed flag passed, whether R-CODE.R is there
  // before the save, and the message ("" when the save must fail).
  using Case = std::tuple<std::string, bool, bool, std::string>;
  for (const auto& [added, changed, present, message] :
       {Case{"", false, true, "File saved (no changes made)"},
        Case{"WAIT 250", true, true, "Changes saved!"}, Case{"", true, true, "Changes saved!"},
        Case{"", false, false, "File saved (no changes made)"},
        Case{"//} not a code line", true, true, ""}}) {
    SCOPED_TRACE(::testing::Message() << added << " " << changed << present);
    testing_support::TempDir root;
    const fs::path path = editor_testing::writeStick(root.path(), {{"T", {"WAIT"}}});
    RcodeProgram program = editor_testing::loadParsed(path);
    testing_support::writeTextFile(backupPath(path), "an old backup");
    const std::string original = readTextFile(path);
    const testing_support::TreeSnapshot before = testing_support::snapshotTree(root.path());
    if (!present) fs::remove(path);
    if (!added.empty()) appendLine(program.records[0].lines, added);
    platform::RecordingMessenger messenger;
    if (message.empty()) {  // a line the reader would not take back is not written
      EXPECT_FALSE(saveProgram(program, path, changed, messenger));
      EXPECT_EQ(testing_support::snapshotTree(root.path()), before);
      EXPECT_EQ(messenger.texts(),
                Texts{"ERROR: Can't write new R-CODE.R file\n" + platform::pathToText(path)});
      continue;
    }
    EXPECT_TRUE(saveProgram(program, path, changed, messenger));
    EXPECT_EQ(readTextFile(path), added.empty()
                                      ? original
                                      : editor_testing::programText({{"T", {"WAIT", "WAIT 250"}}}));
    EXPECT_EQ(readTextFile(backupPath(path)), present ? original : "an old backup");
    EXPECT_FALSE(fs::exists(temporaryPath(path)) || fs::exists(asidePath(path)));
    EXPECT_EQ(messenger.texts(), Texts{message});
  }
}

}  // namespace
}  // namespace velk7
