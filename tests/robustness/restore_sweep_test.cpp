// Putting a backup back under a failing file operation, or killed at one: once the next
// command has recovered, the save's five files are all as they were or all as backed up, and
// R-CODE.R is one or the other.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "platform/backups.h"
#include "tests/robustness/fault_sweep.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/stick_tree.h"
#include "tests/support/temp_tree.h"
#include "velk_mur/stick/save_journal.h"
#include "velk_mur/stick/save_to_stick.h"
#include "velk_mur/stick/stick_backup.h"

namespace fs = std::filesystem;
using testing_support::snapshotTree;
using testing_support::TempDir;
using testing_support::TreeSnapshot;

namespace {

const fs::path kExamples = fs::path(VELK_SOURCE_DIR) / "examples";
const std::string kProgram = "OPEN-R/APP/PC/AMS/R-CODE.R";

// The stick without R-CODE.R, and R-CODE.R alone. The editor's lock and temporary files, which
// a killed program leaves and the editor's next save takes over, are neither.
std::pair<TreeSnapshot, platform::Bytes> split(const TreeSnapshot& tree) {
  std::pair<TreeSnapshot, platform::Bytes> parts;
  for (const auto& [name, bytes] : tree) {
    if (name.ends_with("R-CODE.LCK") || name.ends_with("R-CODE.TMP")) continue;
    if (name == kProgram) {
      parts.second = bytes;
    } else {
      parts.first.emplace_back(name, bytes);
    }
  }
  return parts;
}

TEST(RestoreSweep, AfterAFailedOrKilledOperationAndRecoveryTheStickIsOldOrRestored) {
  // The stick as backed up whole, then changed by a save and by the program editor.
  TempDir templateDir;
  const fs::path original = templateDir / "stick";
  fs::copy(kExamples / "stick", original, fs::copy_options::recursive);
  const platform::FileList files = platform::filesBelow(original, "OPEN-R");
  const platform::BackupResult backup =
      platform::backUpFiles(original, files.files, templateDir / "backups", 0);
  ASSERT_TRUE(backup.folder) << backup.problem;
  const auto [restoredFiles, restoredProgram] = split(snapshotTree(original));
  fs::create_directories(templateDir / "voices" / "GEN");
  testing_support::writeRecording(templateDir / "voices", "hello", 400);
  testing_support::writeReadyCompanions(templateDir / "voices", "hello");
  platform::RecordingMessenger saving;
  ASSERT_TRUE(velk_mur::saveToStick(templateDir / "voices", original, saving));
  testing_support::writeTextFile(original / kProgram, "changed program\r\n");
  const auto [oldFiles, oldProgram] = split(snapshotTree(original));
  ASSERT_NE(oldFiles, restoredFiles);

  std::unique_ptr<TempDir> dir;
  const auto stick = [&] { return dir->path() / "stick"; };
  for (const auto mode : {robustness::SweepMode::OneFailure, robustness::SweepMode::Crash}) {
    int restored = 0;
    const int covered = robustness::sweepFileFailures(
        mode == robustness::SweepMode::Crash ? "restore, killed" : "restore",
        [&] {
          dir = std::make_unique<TempDir>();
          fs::copy(original, stick(), fs::copy_options::recursive);
        },
        [&](platform::Messenger& messenger) {
          return velk_mur::restoreBackup(*backup.folder, stick(), messenger);
        },
        [&](const robustness::SweepRun& run) {
          EXPECT_TRUE(run.succeeded || run.failureReached);
          if (!run.succeeded) {
            ASSERT_FALSE(run.messages.empty());
            EXPECT_TRUE(run.messages.back().isError);
          }
          platform::RecordingMessenger recovery;
          EXPECT_TRUE(velk_mur::recoverInterruptedSave(stick(), recovery));
          const auto [nowFiles, nowProgram] = split(snapshotTree(stick()));
          EXPECT_TRUE(nowFiles == oldFiles || nowFiles == restoredFiles) << "save files mixed";
          EXPECT_TRUE(nowProgram == oldProgram || nowProgram == restoredProgram);
          EXPECT_TRUE(!run.succeeded ||
                      (nowFiles == restoredFiles && nowProgram == restoredProgram));
          restored += nowFiles == restoredFiles && !run.succeeded;
          // The backup is only read.
          EXPECT_EQ(snapshotTree(*backup.folder).size(), files.files.size());
        },
        mode);
    EXPECT_GE(covered, 30);
    // Killed or failing after the journal, the restore is finished by the next command.
    EXPECT_GE(restored, 3);
  }
}

}  // namespace
