#include "velk_mur/stick/stick_backup.h"

#include <gtest/gtest.h>

#include "platform/backups.h"
#include "tests/support/file_faults.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/stick_tree.h"
#include "tests/support/temp_tree.h"
#include "velk_mur/stick/save_to_stick.h"

namespace fs = std::filesystem;
using platform::Bytes;
using testing_support::fileBytes;
using testing_support::readFile;
using testing_support::snapshotTree;
using testing_support::TempDir;
using testing_support::TreeSnapshot;
using testing_support::writeFile;

namespace {

const fs::path kExamples = fs::path(VELK_SOURCE_DIR) / "examples";

// The example stick, an audio folder with one recording ready to save, and a backups folder.
struct BackupSetup {
  BackupSetup() {
    fs::copy(kExamples / "stick", stick, fs::copy_options::recursive);
    fs::create_directories(audio / "GEN");
    testing_support::writeRecording(audio, "hello", 400);
    testing_support::writeReadyCompanions(audio, "hello");
  }

  bool save(platform::Messenger& messenger) {
    return velk_mur::saveToStick(audio, stick, messenger, backups);
  }

  std::vector<platform::BackupEntry> list() const {
    return platform::listBackups(
               platform::stickBackupsFolder(backups, platform::stickVolume(stick)))
        .backups;
  }

  TempDir dir;
  fs::path stick = dir / "AIBO";
  fs::path audio = dir / "voices";
  fs::path backups = dir / "backups";
};

TEST(StickBackup, ASaveBacksUpWhatItReplacesAndARestoreBringsItBackByteForByte) {
  BackupSetup setup;
  const TreeSnapshot before = snapshotTree(setup.stick);
  platform::RecordingMessenger messenger;
  ASSERT_TRUE(setup.save(messenger));
  ASSERT_NE(snapshotTree(setup.stick), before);
  const std::vector<platform::BackupEntry> made = setup.list();
  ASSERT_EQ(made.size(), 1u);
  // The backup holds exactly the five files the save replaced, as they were.
  TreeSnapshot expected;
  for (const auto& [name, bytes] : before) {
    if (!name.ends_with("ACTION.EXT") && !name.ends_with("R-CODE.R"))
      expected.emplace_back(name, bytes);
  }
  EXPECT_EQ(snapshotTree(made[0].folder), expected);

  ASSERT_TRUE(velk_mur::restoreBackup(made[0].folder, setup.stick, messenger));
  EXPECT_EQ(snapshotTree(setup.stick), before);
  // Saving again afterwards backs up the restored stick, newest first.
  ASSERT_TRUE(setup.save(messenger));
  const std::vector<platform::BackupEntry> twice = setup.list();
  ASSERT_EQ(twice.size(), 2u);
  EXPECT_EQ(twice[1], made[0]);
  EXPECT_EQ(snapshotTree(twice[0].folder), expected);
}

// What a restore puts back: the files the backup has; a save file it lacks stays as it is.
TEST(StickBackup, ARestorePutsBackWhatTheBackupHoldsAndKeepsTheRest) {
  const struct {
    const char* name;
    std::vector<std::string> kept;
  } cases[] = {
      {"the program alone", {"OPEN-R/APP/PC/AMS/R-CODE.R"}},
      {"the configuration alone", {"OPEN-R/MW/CONF/ERS-7.MWC"}},
      {"all six",
       {"OPEN-R/MW/CONF/ERS-7.MWC", "OPEN-R/APP/PC/AMS/ACTION.CFG", "OPEN-R/MW/DATA/P/AUDIO.ODA",
        "OPEN-R/MW/DATA/P/MOTION.ODA", "OPEN-R/MW/DATA/P/LED.ODA", "OPEN-R/APP/PC/AMS/R-CODE.R"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BackupSetup setup;
    const platform::BackupResult backup = platform::backUpFiles(setup.stick, c.kept, setup.backups);
    ASSERT_TRUE(backup.folder) << backup.problem;
    TreeSnapshot expected = snapshotTree(setup.stick);
    // Every file changes; the restore must bring back those kept and no other.
    for (auto& [name, bytes] : expected) {
      const Bytes changed = fileBytes("changed " + name, 77);
      writeFile(setup.stick / name, changed);
      if (std::find(c.kept.begin(), c.kept.end(), name) == c.kept.end()) bytes = changed;
    }
    platform::RecordingMessenger messenger;
    ASSERT_TRUE(velk_mur::restoreBackup(*backup.folder, setup.stick, messenger));
    EXPECT_EQ(snapshotTree(setup.stick), expected);
  }
}

TEST(StickBackup, TheNewestTenAreKeptAndUnfinishedCopiesAreNotListed) {
  BackupSetup setup;
  const fs::path folder = setup.backups / "AIBO";
  fs::create_directories(folder / "2001-01-01_00-00-00.partial");
  std::vector<fs::path> made;
  for (int i = 0; i < 12; ++i) {
    const platform::BackupResult result =
        platform::backUpFiles(setup.stick, velk_mur::savedFileNames(), folder);
    ASSERT_TRUE(result.folder) << result.problem;
    made.push_back(*result.folder);
  }
  const std::vector<platform::BackupEntry> listed = platform::listBackups(folder).backups;
  ASSERT_EQ(listed.size(), platform::kBackupsKept);
  for (std::size_t i = 0; i < listed.size(); ++i) EXPECT_EQ(listed[i].folder, made[11 - i]);
  EXPECT_FALSE(fs::exists(made[0]));
  EXPECT_FALSE(fs::exists(folder / "2001-01-01_00-00-00.partial"));
}

// A backup that cannot be made stops the save before anything on the stick changes.
TEST(StickBackup, ABackupFolderThatCannotBeWrittenRefusesTheSaveFirst) {
  const struct {
    const char* name;
    bool blockFolder;  // the backups folder's place is taken by a file
    int failingOperation;
    std::initializer_list<platform::FileOp> kinds;
  } cases[] = {
      {"folder cannot be made", true, 0, {}},
      // The lock file is the save's first file created; the backup's copies come next.
      {"first copy cannot be created", false, 2, {platform::FileOp::Create}},
      {"a copy's write fails", false, 3, {platform::FileOp::Write}},
      {"a copy cannot be flushed", false, 5, {platform::FileOp::Flush}},
      {"the backup cannot be flushed", false, 6, {platform::FileOp::Flush}},
      {"the backup cannot be named", false, 1, {platform::FileOp::Rename}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BackupSetup setup;
    if (c.blockFolder) writeFile(setup.backups, fileBytes("x", 1));
    const TreeSnapshot before = snapshotTree(setup.stick);
    platform::RecordingMessenger messenger;
    if (c.failingOperation != 0) platform::FaultInjection::failAt(c.failingOperation, c.kinds);
    EXPECT_FALSE(setup.save(messenger));
    platform::FaultInjection::reset();
    ASSERT_EQ(messenger.texts().size(), 1u);
    EXPECT_TRUE(messenger.texts()[0].starts_with("No backup of the memory stick could be made"))
        << messenger.texts()[0];
    EXPECT_EQ(snapshotTree(setup.stick), before);
    EXPECT_TRUE(setup.list().empty());
    // Nor is a part of a backup left behind.
    if (!c.blockFolder) {
      std::error_code error;
      EXPECT_TRUE(fs::is_empty(setup.backups / "AIBO", error));
      EXPECT_FALSE(error);
    }
  }
}

}  // namespace
