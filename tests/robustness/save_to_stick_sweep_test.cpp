// Saving to the stick under a failing file operation, or killed at one: once the next command
// has recovered, the stick is either entirely as it was or entirely new.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ascii_text.h"
#include "platform/case_path.h"
#include "platform/file_lock.h"
#include "platform/folder_listing.h"
#include "platform/src/file_faults.h"
#include "tests/robustness/fault_sweep.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/stick_tree.h"
#include "tests/support/temp_tree.h"
#include "velk_mur/generate/folder_passes.h"
#include "velk_mur/generate/naming.h"
#include "velk_mur/stick/save_journal.h"
#include "velk_mur/stick/save_to_stick.h"
#include "velk_mur/stick/src/save_plan.h"

namespace fs = std::filesystem;
using testing_support::snapshotTree;
using testing_support::TempDir;
using testing_support::TreeSnapshot;

namespace {

const fs::path kExamples = fs::path(VELK_SOURCE_DIR) / "examples";

// The stick as copied to a case-sensitive file system: every name in lower case.
void copyInLowerCase(const fs::path& from, const fs::path& to) {
  fs::create_directories(to);
  for (const fs::directory_entry& entry : fs::directory_iterator(from)) {
    const fs::path target = to / platform::toLowerAscii(entry.path().filename().string());
    if (entry.is_directory()) {
      copyInLowerCase(entry.path(), target);
    } else {
      fs::copy_file(entry.path(), target);
    }
  }
}

std::vector<std::string> namesOf(const TreeSnapshot& tree) {
  std::vector<std::string> names;
  for (const auto& [name, bytes] : tree) names.push_back(name);
  return names;
}

// The example stick in lower case and an audio folder of two example recordings with a full-body
// motion, their generated files made once.
class SaveSweep : public ::testing::Test {
 protected:
  void SetUp() override {
    copyInLowerCase(kExamples / "stick", templateDir / "stick");
    const fs::path audio = templateDir / "voices";
    fs::create_directories(audio / "GEN");
    fs::copy_file(kExamples / "voices" / "hello.wav", audio / "hello.wav");
    fs::copy_file(kExamples / "voices" / "bark_snd.wav", audio / "bark_snd.wav");
    fs::copy_file(kExamples / "voices" / "bye.wav", audio / "bye.wav");
    platform::RecordingMessenger messenger;
    ASSERT_TRUE(velk_mur::generateMissingFiles(audio, messenger).ok);
    // A full-body motion beside a recording replaces its head and mouth motions.
    fs::copy_file(audio / "GEN" / "hello_h7.mtn", audio / "bye.mtn");
  }

  void freshCopy() {
    dir = std::make_unique<TempDir>();
    // Folder by folder: copying a folder over an existing one fails on Windows.
    for (const char* folder : {"stick", "voices"}) {
      fs::copy(templateDir / folder, *dir / folder, fs::copy_options::recursive);
    }
  }

  fs::path stick() const { return dir->path() / "stick"; }

  bool save(platform::Messenger& messenger) {
    return velk_mur::saveToStick(dir->path() / "voices", stick(), messenger);
  }

  // The stick before and after a save without faults.
  void takeReferences() {
    freshCopy();
    before = snapshotTree(stick());
    platform::RecordingMessenger messenger;
    ASSERT_TRUE(save(messenger));
    after = snapshotTree(stick());
    ASSERT_NE(before, after);
    // Each file is replaced under its own spelling: no twin in another letter case.
    ASSERT_EQ(namesOf(after), namesOf(before));
  }

  // What the next command finds: after recovery, the stick is one of the two, never a mix.
  void expectOldOrNewAfterRecovery() {
    platform::RecordingMessenger messenger;
    EXPECT_TRUE(velk_mur::recoverInterruptedSave(stick(), messenger));
    EXPECT_LE(messenger.entries().size(), 1u);
    const TreeSnapshot now = snapshotTree(stick());
    EXPECT_TRUE(now == before || now == after) << "a stick neither old nor new";
  }

  TempDir templateDir;
  std::unique_ptr<TempDir> dir;
  TreeSnapshot before;
  TreeSnapshot after;
};

// Each failure names what failed: the file kind and the step, or the configuration.
bool isSaveMessage(const std::string& text) {
  return robustness::isOneOf(text, {},
                             {"Failed to create ", "Failed to open old ERS-*.MWC files\n",
                              "Error: problem saving", "ERROR: problem "});
}

}  // namespace

TEST_F(SaveSweep, AfterAFailedOperationAndRecoveryTheStickIsOldOrNew) {
  takeReferences();
  const int covered = robustness::sweepFileFailures(
      [&] { freshCopy(); }, [&](platform::Messenger& messenger) { return save(messenger); },
      [&](const robustness::SweepRun& run) {
        if (!run.failureReached || run.succeeded) {
          // Only the journal's removal may fail in a save that succeeds: it is finished anew.
          EXPECT_TRUE(run.succeeded);
          expectOldOrNewAfterRecovery();
          EXPECT_EQ(snapshotTree(stick()), after);
          return;
        }
        ASSERT_EQ(run.messages.size(), 1u);
        EXPECT_TRUE(run.messages[0].isError);
        EXPECT_TRUE(isSaveMessage(run.messages[0].text)) << run.messages[0].text;
        expectOldOrNewAfterRecovery();
        // The audio folder is only read.
        EXPECT_EQ(snapshotTree(dir->path() / "voices"),
                  snapshotTree(templateDir.path() / "voices"));
      });
  robustness::recordFailurePoints("save to stick", covered);
  EXPECT_GE(covered, 60);
}

TEST_F(SaveSweep, KilledAtAnyFileOperationTheNextCommandLeavesTheStickOldOrNew) {
  takeReferences();
  int rolledForward = 0;
  const int covered = robustness::sweepFileFailures(
      [&] { freshCopy(); }, [&](platform::Messenger& messenger) { return save(messenger); },
      [&](const robustness::SweepRun& run) {
        if (!run.failureReached) return;
        expectOldOrNewAfterRecovery();
        if (snapshotTree(stick()) == after) ++rolledForward;
        // And the stick takes the next save as if nothing had happened.
        platform::RecordingMessenger again;
        EXPECT_TRUE(save(again));
        EXPECT_EQ(snapshotTree(stick()), after);
      },
      robustness::SweepMode::Crash);
  robustness::recordFailurePoints("save to stick, killed", covered);
  EXPECT_GE(covered, 60);
  // Killed after its journal, a save is finished by the next command: at least at each rename.
  EXPECT_GE(rolledForward, 5);
}

TEST_F(SaveSweep, StickLockTable) {
  takeReferences();
  const fs::path lockFile = [&] {
    freshCopy();
    return stick() / "open-r/mw/conf/save.lck";
  }();
  struct Case {
    const char* what;
    bool holdLock;       // another save holds the stick
    bool staleLockFile;  // a killed save left its lock file
    bool saved;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {"free stick", false, false, true, {}},
      {"lock file of a killed save", false, true, true, {}},
      {"another save running",
       true,
       false,
       false,
       {"Another save to this memory stick is running\nWait until it has finished, then try "
        "again"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    freshCopy();
    if (c.staleLockFile) testing_support::writeTextFile(lockFile, "");
    platform::RecordingMessenger holder;
    std::optional<platform::FileLock> held =
        c.holdLock ? velk_mur::lockStick(stick(), holder) : std::nullopt;
    ASSERT_EQ(held.has_value(), c.holdLock);
    platform::RecordingMessenger messenger;
    EXPECT_EQ(save(messenger), c.saved);
    EXPECT_EQ(messenger.texts(), c.messages);
    // Recovery keeps its hands off a stick that a save holds.
    platform::RecordingMessenger recovery;
    EXPECT_TRUE(velk_mur::recoverInterruptedSave(stick(), recovery));
    EXPECT_TRUE(recovery.texts().empty());
    held.reset();
    EXPECT_EQ(snapshotTree(stick()), c.saved ? after : before);
  }
}

TEST_F(SaveSweep, RoomTableCountsEveryNewFileInWholeClusters) {
  freshCopy();
  const fs::path voices = dir->path() / "voices";
  const std::vector<velk_mur::RecordingPlan> plans =
      velk_mur::planRecordings(voices, platform::listFolder(voices, velk_mur::kRecordingPattern));
  // Without blocks of the generator's own numbers the old configuration is kept whole, so the
  // estimate is exact.
  const fs::path configuration = stick() / "open-r/mw/conf/ers-7.mwc";
  testing_support::writeFile(
      configuration,
      testing_support::mwcFile({{1101, {testing_support::cmacRecord(0x2010, "bark")}},
                                {25002, {testing_support::cmacRecord(0x2010, "hello_there")}}}));
  const std::uint64_t oldSize = fs::file_size(configuration);
  platform::RecordingMessenger messenger;
  ASSERT_TRUE(save(messenger));
  std::vector<std::uint64_t> written;
  for (const velk_mur::Replacement& r : velk_mur::saveReplacements()) {
    written.push_back(fs::file_size(platform::resolveCase(stick() / r.target)));
  }
  for (const std::uint64_t cluster : {1u, 512u, 4096u, 32768u}) {
    SCOPED_TRACE(cluster);
    std::uint64_t expected = cluster;  // the journal takes one cluster
    for (const std::uint64_t size : written) expected += (size + cluster - 1) / cluster * cluster;
    EXPECT_EQ(velk_mur::bytesNeeded(plans, oldSize, cluster), expected);
  }
}

TEST_F(SaveSweep, AFullStickIsReportedAsFullAndKeepsTheStick) {
  takeReferences();
  freshCopy();
  platform::FaultInjection::failAt(1, {platform::FileOp::Write});
  platform::FaultInjection::setDeviceFull(true);
  platform::RecordingMessenger messenger;
  EXPECT_FALSE(save(messenger));
  platform::FaultInjection::reset();
  EXPECT_EQ(messenger.texts(), std::vector<std::string>{"The memory stick is full\nNothing on it "
                                                        "was changed; make room and save again"});
  EXPECT_EQ(snapshotTree(stick()), before);
}
