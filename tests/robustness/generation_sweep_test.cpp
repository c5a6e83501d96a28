// The generation pass under a failing file operation: whatever fails, every file left in GEN
// is complete, so the next pass only adds the missing ones.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "tests/robustness/fault_sweep.h"
#include "tests/support/gen_wav_maker.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/temp_tree.h"
#include "velk_mur/generate/folder_passes.h"

namespace fs = std::filesystem;
using testing_support::snapshotTree;
using testing_support::TempDir;
using testing_support::TreeSnapshot;

namespace {

// An audio folder with an empty GEN folder and three short recordings of different sounds.
void makeAudioFolder(const fs::path& folder) {
  platform::Bytes ramp;
  for (int i = 0; i < 1200; ++i) ramp.push_back(static_cast<std::uint8_t>((i * 7) % 256));
  testing_support::writeWav(folder / "hello.wav", testing_support::halfSilentHalfLoud());
  testing_support::writeWav(folder / "ramp_snd.wav", ramp);
  testing_support::WavOptions longLayout;
  longLayout.fmtSize = 18;
  testing_support::writeWav(folder / "quiet.wav", testing_support::silence(900), longLayout);
  fs::create_directories(folder / "GEN");
}

std::map<std::string, platform::Bytes> asMap(const TreeSnapshot& snapshot) {
  return {snapshot.begin(), snapshot.end()};
}

bool isGenerationFailure(const std::string& text) {
  return robustness::isOneOf(
      text, {},
      {"Head motion generation err\n", "Mouth motion generation err\n", "LED generation err\n"});
}

}  // namespace

TEST(GenerationSweep, EveryFailedFileOperationLeavesOnlyCompleteFilesAndANextPassFinishes) {
  TempDir referenceDir;
  makeAudioFolder(referenceDir.path());
  platform::RecordingMessenger referenceMessenger;
  const velk_mur::GenerationResult clean =
      velk_mur::generateMissingFiles(referenceDir.path(), referenceMessenger);
  ASSERT_TRUE(clean.ok);
  ASSERT_EQ(clean.motionFilesCreated, 6);
  ASSERT_EQ(clean.ledFilesCreated, 3);
  const std::map<std::string, platform::Bytes> complete = asMap(snapshotTree(referenceDir.path()));

  std::unique_ptr<TempDir> dir;
  const int covered = robustness::sweepFileFailures(
      [&] {
        dir = std::make_unique<TempDir>();
        makeAudioFolder(dir->path());
      },
      [&](platform::Messenger& messenger) {
        return velk_mur::generateMissingFiles(dir->path(), messenger).ok;
      },
      [&](const robustness::SweepRun& run) {
        const TreeSnapshot after = snapshotTree(dir->path());
        if (!run.failureReached) {
          EXPECT_TRUE(run.succeeded);
        }
        // A failed close of a recording opened for reading loses nothing, so the pass goes on.
        if (run.succeeded) {
          EXPECT_TRUE(run.messages.empty());
          EXPECT_EQ(asMap(after), complete);
          return;
        }
        ASSERT_EQ(run.messages.size(), 1u);
        EXPECT_TRUE(run.messages[0].isError);
        EXPECT_TRUE(isGenerationFailure(run.messages[0].text)) << run.messages[0].text;
        // Recordings untouched, and each generated file present is the whole file.
        for (const auto& [name, bytes] : after) {
          const auto expected = complete.find(name);
          ASSERT_NE(expected, complete.end()) << "unexpected file " << name;
          EXPECT_EQ(bytes, expected->second) << name << " is not complete";
        }
        // A pass without faults picks up where the failed one stopped.
        platform::RecordingMessenger again;
        EXPECT_TRUE(velk_mur::generateMissingFiles(dir->path(), again).ok);
        EXPECT_EQ(asMap(snapshotTree(dir->path())), complete);
      });
  robustness::recordFailurePoints("generation pass", covered);
  EXPECT_GE(covered, 9 * 3);  // at least a create, a write and a close for each of nine files
}
