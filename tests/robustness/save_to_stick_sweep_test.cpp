// Saving to the stick under a failing file operation: before the first rename the stick stays
// byte for byte as it was; a failed rename leaves exactly the files renamed before it new.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/ascii_text.h"
#include "tests/robustness/fault_sweep.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/temp_tree.h"
#include "velk_mur/generate/folder_passes.h"
#include "velk_mur/stick/save_to_stick.h"

namespace fs = std::filesystem;
using testing_support::snapshotTree;
using testing_support::TempDir;
using testing_support::TreeSnapshot;

namespace {

const fs::path kExamples = fs::path(VELK_SOURCE_DIR) / "examples";

// The files a save replaces, in the order it renames them.
const std::vector<std::string> kReplaced{
    "OPEN-R/MW/DATA/P/AUDIO.ODA", "OPEN-R/MW/DATA/P/MOTION.ODA", "OPEN-R/MW/DATA/P/LED.ODA",
    "OPEN-R/APP/PC/AMS/ACTION.CFG", "OPEN-R/MW/CONF/ERS-7.MWC"};

// The example stick and an audio folder of two example recordings with a full-body motion,
// their generated files made once.
class SaveSweep : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(kExamples / "stick", templateDir / "stick", fs::copy_options::recursive);
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

  bool save(platform::Messenger& messenger) {
    return velk_mur::saveToStick(dir->path() / "voices", dir->path() / "stick", messenger);
  }

  TempDir templateDir;
  std::unique_ptr<TempDir> dir;
};

bool isSaveMessage(const std::string& text) {
  return robustness::isOneOf(
      text,
      {"Failed to create ACTION.CFG on memory stick\nStick may be locked or full",
       "Failed to create ERS-*.MWC files\nStick may be locked or full",
       "Failed to open old ERS-*.MWC files\nStick may be corrupt",
       "Error: problem saving ERS-*.MWC data - aborting",
       "Error: problem saving ACTION.CFG data - aborting",
       "Error: problem saving/renaming ERS-*.MWC data - aborting"},
      {"Failed to create audio data file\n", "Failed to create motion data file\n",
       "Failed to create eye-led data file\n", "ERROR: problem writing audio data - aborting\n",
       "ERROR: problem writing motion data (head) - aborting\n",
       "ERROR: problem writing motion data (mouth) - aborting\n",
       "ERROR: problem writing motion data (all) - aborting\n",
       "ERROR: problem writing LED data - aborting\n",
       "ERROR: problem finishing audio data - aborting\n",
       "ERROR: problem finishing motion data - aborting\n",
       "ERROR: problem finishing LED data - aborting\n",
       "ERROR: problem replacing audio data - aborting\n",
       "ERROR: problem replacing motion data - aborting\n",
       "ERROR: problem replacing LED data - aborting\n"});
}

bool holdsTemporaryFile(const TreeSnapshot& tree) {
  for (const auto& [name, bytes] : tree) {
    if (platform::equalsIgnoreCase(fs::path(name).extension().string(), ".NEW")) return true;
  }
  return false;
}

// The stick with the first `renamed` replaced files taken from `after`, the rest from `before`.
TreeSnapshot partlyReplaced(const TreeSnapshot& before, const TreeSnapshot& after,
                            std::size_t renamed) {
  TreeSnapshot expected = before;
  for (auto& [name, bytes] : expected) {
    for (std::size_t k = 0; k < renamed; ++k) {
      if (name != kReplaced[k]) continue;
      for (const auto& [newName, newBytes] : after) {
        if (newName == name) bytes = newBytes;
      }
    }
  }
  return expected;
}

}  // namespace

TEST_F(SaveSweep, FailureBeforeTheRenamesKeepsTheStickAndAFailedRenameKeepsTheFilesAfterIt) {
  freshCopy();
  const TreeSnapshot before = snapshotTree(dir->path() / "stick");
  platform::RecordingMessenger cleanMessenger;
  ASSERT_TRUE(save(cleanMessenger));
  const TreeSnapshot after = snapshotTree(dir->path() / "stick");
  for (const std::string& name : kReplaced) {
    const auto changed = [&](const TreeSnapshot& tree) {
      for (const auto& entry : tree) {
        if (entry.first == name) return entry.second;
      }
      return platform::Bytes{};
    };
    ASSERT_NE(changed(before), changed(after)) << name << " should change in a save";
  }

  freshCopy();
  // The renames are the save's last file operations, one per replaced file.
  const int total =
      robustness::countFileOperations([&](platform::Messenger& m) { return save(m); });
  const int firstRename = total - static_cast<int>(kReplaced.size()) + 1;

  const int covered = robustness::sweepFileFailures(
      [&] { freshCopy(); }, [&](platform::Messenger& messenger) { return save(messenger); },
      [&](const robustness::SweepRun& run) {
        const TreeSnapshot now = snapshotTree(dir->path() / "stick");
        if (!run.failureReached) {
          EXPECT_TRUE(run.succeeded);
          EXPECT_EQ(now, after);
          return;
        }
        EXPECT_FALSE(run.succeeded);
        EXPECT_FALSE(holdsTemporaryFile(now));
        ASSERT_EQ(run.messages.size(), 1u);
        EXPECT_TRUE(run.messages[0].isError);
        EXPECT_TRUE(isSaveMessage(run.messages[0].text)) << run.messages[0].text;
        // Up to the first rename nothing of the stick's changes. When rename k fails, the k
        // files renamed before it are already the new ones: each rename is whole, and ERS-7.MWC,
        // renamed last, never names entries the archives lack.
        const std::size_t renamed = run.failurePoint < firstRename
                                        ? 0
                                        : static_cast<std::size_t>(run.failurePoint - firstRename);
        EXPECT_EQ(now, partlyReplaced(before, after, renamed)) << renamed << " files renamed";
        // The audio folder is only read.
        EXPECT_EQ(snapshotTree(dir->path() / "voices"),
                  snapshotTree(templateDir.path() / "voices"));
      });
  robustness::recordFailurePoints("save to stick", covered);
  EXPECT_EQ(covered, total);
}
