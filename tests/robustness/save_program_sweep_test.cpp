// Saving R-CODE.R under a failing file operation, or killed at one: the program and its backup
// are never lost, whichever operation fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/byte_sink.h"
#include "platform/file_lock.h"
#include "tests/robustness/fault_sweep.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/temp_tree.h"
#include "velk7/editor/src/save_program.h"
#include "velk7/rcode/program.h"
#include "velk7/rcode/program_writer.h"

namespace fs = std::filesystem;
using platform::Bytes;
using testing_support::readFile;
using testing_support::snapshotTree;
using testing_support::TempDir;
using testing_support::TreeSnapshot;

namespace {

const fs::path kExampleStick = fs::path(VELK_SOURCE_DIR) / "examples" / "stick";
const fs::path kProgram = fs::path("OPEN-R") / "APP" / "PC" / "AMS" / "R-CODE.R";

}  // namespace

TEST(SaveProgramSweep, FailedKilledOrConcurrentSaveKeepsTheProgramWithOrWithoutAnOldBackup) {
  // The example program with one line added to its first record, as an edit leaves it.
  velk7::RcodeProgram program;
  ASSERT_TRUE(velk7::loadProgram(program, kExampleStick / kProgram) &&
              velk7::parseRecords(program) && !program.records.empty());
  program.records.front().lines.push_back("WAIT");
  platform::MemorySink written;
  ASSERT_TRUE(velk7::writeProgram(program, written));
  const Bytes& expected = written.bytes();
  for (const bool withOldBackup : {false, true}) {
    std::unique_ptr<TempDir> dir;
    fs::path folder;
    const auto prepare = [&] {
      dir = std::make_unique<TempDir>();
      folder = dir->path() / kProgram.parent_path();
      fs::copy(kExampleStick, dir->path(), fs::copy_options::recursive);
      if (withOldBackup)
        testing_support::writeTextFile(folder / "R-CODE.BAK", "//{ \"old backup\"\r\n//}\r\n");
    };
    const auto save = [&](platform::Messenger& messenger) {
      return velk7::saveProgram(program, dir->path() / kProgram, true, messenger);
    };
    prepare();
    const TreeSnapshot before = snapshotTree(dir->path());
    const Bytes oldProgram = readFile(folder / "R-CODE.R");
    const Bytes oldBackup = readFile(folder / "R-CODE.BAK");
    {
      // A second save while one runs is refused and changes nothing.
      std::optional<platform::FileLock> lock;
      ASSERT_EQ(platform::FileLock::acquire(velk7::lockPath(dir->path() / kProgram), lock),
                platform::LockOutcome::Acquired);
      platform::RecordingMessenger messenger;
      EXPECT_FALSE(save(messenger));
      EXPECT_EQ(messenger.texts(),
                std::vector<std::string>{std::string(velk7::kSaveRunningMessage)});
      lock.reset();
      EXPECT_EQ(snapshotTree(dir->path()), before);
    }
    const int total = robustness::countFileOperations(save);

    for (const auto mode : {robustness::SweepMode::OneFailure, robustness::SweepMode::Crash}) {
      const bool killed = mode == robustness::SweepMode::Crash;
      const std::string sweep = std::string("save of R-CODE.R") +
                                (withOldBackup ? " over a backup" : "") +
                                (killed ? ", killed" : "");
      const auto check = [&](const robustness::SweepRun& run) {
        const Bytes now = readFile(folder / "R-CODE.R");
        const Bytes backup = readFile(folder / "R-CODE.BAK");
        if (killed) {
          // R-CODE.R is there, old or new; the backup is the old backup or the old program. A
          // lock file left behind is taken over by the next save.
          EXPECT_TRUE(now == oldProgram || now == expected);
          EXPECT_TRUE(backup == oldBackup || backup == oldProgram);
          if (withOldBackup) return;  // the backup plays no part in taking the lock over
          platform::RecordingMessenger again;
          EXPECT_TRUE(save(again));
          EXPECT_EQ(again.texts(),
                    std::vector<std::string>{std::string(velk7::kChangesSavedMessage)});
          EXPECT_EQ(readFile(folder / "R-CODE.R"), expected);
          return;
        }
        if (run.failurePoint >= total - 1) {
          // The last two operations flush the folder after the renames, then remove the lock
          // file. A failed flush is reported, since the save may not have reached the device.
          EXPECT_EQ(run.succeeded, run.failurePoint != total - 1);
          EXPECT_EQ(now, expected);
          EXPECT_EQ(backup, oldProgram);
          return;
        }
        EXPECT_FALSE(run.succeeded);
        ASSERT_EQ(run.messages.size(), 1u);
        EXPECT_TRUE(run.messages[0].isError);
        const std::string path = (dir->path() / kProgram).string();
        EXPECT_TRUE(robustness::isOneOf(run.messages[0].text,
                                        {"ERROR: Can't create new R-CODE.R file\n" + path,
                                         "ERROR: Can't write new R-CODE.R file\n" + path}))
            << run.messages[0].text;
        // No temporary file is left; R-CODE.R and R-CODE.BAK are as they were.
        EXPECT_EQ(snapshotTree(dir->path()), before);
      };
      const int covered = robustness::sweepFileFailures(sweep, prepare, save, check, mode);
      EXPECT_EQ(covered, total);
    }
  }
}
