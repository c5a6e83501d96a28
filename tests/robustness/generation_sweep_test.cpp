// The generated files under a failing file operation, and damaged after the generation pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/path_text.h"
#include "tests/robustness/fault_sweep.h"
#include "tests/support/file_faults.h"
#include "tests/support/gen_wav_maker.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/temp_tree.h"
#include "velk_mur/generate/folder_passes.h"

namespace fs = std::filesystem;
using testing_support::readFile;
using testing_support::snapshotTree;
using testing_support::TempDir;
using testing_support::TreeSnapshot;
using testing_support::writeFile;

namespace {

// An audio folder with an empty GEN folder and two short recordings of different sounds.
void makeAudioFolder(const fs::path& folder) {
  testing_support::writeWav(folder / "hello.wav", testing_support::halfSilentHalfLoud());
  testing_support::writeWav(folder / "quiet.wav", testing_support::silence(900));
  fs::create_directories(folder / "GEN");
}

}  // namespace

// Whatever fails, every file left in GEN is complete, so the next pass only adds the missing ones.
TEST(GenerationSweep, EveryFailedFileOperationLeavesOnlyCompleteFilesAndANextPassFinishes) {
  TempDir referenceDir;
  makeAudioFolder(referenceDir.path());
  platform::RecordingMessenger referenceMessenger;
  ASSERT_TRUE(velk_mur::generateMissingFiles(referenceDir.path(), referenceMessenger).ok);
  const TreeSnapshot complete = snapshotTree(referenceDir.path());
  ASSERT_EQ(complete.size(), 2u + 2u * 3u);  // each recording, its head, mouth and LED files

  std::unique_ptr<TempDir> dir;
  const std::string kNotFlushed = "Could not write the generated files to the disk\n";
  const std::string kUncheckable =
      "Could not check whether a generated file is there: the folder may be unreadable\n";
  bool flushFailed = false;
  bool uncheckable = false;
  const int covered = robustness::sweepFileFailures(
      "generation pass",
      [&] {
        dir = std::make_unique<TempDir>();
        makeAudioFolder(dir->path());
      },
      [&](platform::Messenger& messenger) {
        return velk_mur::generateMissingFiles(dir->path(), messenger).ok;
      },
      [&](const robustness::SweepRun& run) {
        const TreeSnapshot after = snapshotTree(dir->path());
        EXPECT_TRUE(run.succeeded || run.failureReached);
        // A failed close of a recording opened for reading loses nothing, so the pass goes on.
        if (run.succeeded) {
          EXPECT_TRUE(run.messages.empty());
          EXPECT_EQ(after, complete);
          return;
        }
        ASSERT_EQ(run.messages.size(), 1u);
        EXPECT_TRUE(run.messages[0].isError);
        EXPECT_TRUE(
            robustness::isOneOf(run.messages[0].text, {},
                                {"Head motion generation err\n", "Mouth motion generation err\n",
                                 "LED generation err\n", kNotFlushed, kUncheckable}))
            << run.messages[0].text;
        // The failed file is gone, also when only its close failed: the next pass would keep it.
        // The pass says it is done only once its files are on the disk.
        const std::string& text = run.messages[0].text;
        flushFailed = flushFailed || text.starts_with(kNotFlushed);
        uncheckable = uncheckable || text.starts_with(kUncheckable);
        if (!text.starts_with(kNotFlushed)) {
          EXPECT_FALSE(fs::exists(platform::textToPath(text.substr(text.find('\n') + 1)))) << text;
        }
        // Recordings untouched, and each generated file present is the whole file.
        EXPECT_TRUE(std::includes(complete.begin(), complete.end(), after.begin(), after.end()));
        // A pass without faults picks up where the failed one stopped.
        platform::RecordingMessenger again;
        EXPECT_TRUE(velk_mur::generateMissingFiles(dir->path(), again).ok);
        EXPECT_EQ(snapshotTree(dir->path()), complete);
      });
  EXPECT_GE(covered, 6 * 3);  // at least a create, a write and a close for each of six files
  EXPECT_TRUE(flushFailed);
  EXPECT_TRUE(uncheckable);
}

// Refused by the check pass, which names the file, instead of being packed on the stick. One row
// per kind of file: the readers' own tests name each way a file can be damaged.
TEST(DamagedGeneratedFiles, CheckPassNamesTheDamagedFile) {
  const struct {
    const char* file;  // in GEN
    std::function<void(platform::Bytes&)> damage;
  } cases[] = {
      {"hello.led", [](platform::Bytes& b) { b.pop_back(); }},
      {"hello_h7.mtn", [](platform::Bytes& b) { std::fill(b.begin(), b.end(), 0x5A); }},
      {"hello_m.mtn", [](platform::Bytes& b) { ++b[8]; }},  // a section size off
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    TempDir dir;
    makeAudioFolder(dir.path());
    platform::RecordingMessenger messenger;
    ASSERT_TRUE(velk_mur::generateMissingFiles(dir.path(), messenger).ok);
    ASSERT_EQ(velk_mur::checkAudioFolder(dir.path(), messenger).count, 2);
    const fs::path damaged = dir / "GEN" / c.file;
    platform::Bytes bytes = readFile(damaged);
    c.damage(bytes);
    writeFile(damaged, bytes);
    messenger.clear();
    EXPECT_EQ(velk_mur::checkAudioFolder(dir.path(), messenger).status,
              velk_mur::CheckStatus::Refused);
    EXPECT_EQ(
        messenger.texts(),
        std::vector<std::string>{"Damaged generated file: please delete it and Generate again\n" +
                                 platform::pathToText(damaged)});
  }
}

// A generated file (or the user's full-body motion) whose presence cannot be checked is named,
// not called missing nor taken as there.
TEST(UncheckableGeneratedFiles, CheckPassNamesTheFile) {
  for (const char* file : {"hello.mtn", "GEN/hello_h7.mtn", "GEN/hello_m.mtn", "GEN/hello.led"}) {
    SCOPED_TRACE(file);
    TempDir dir;
    makeAudioFolder(dir.path());
    platform::RecordingMessenger messenger;
    ASSERT_TRUE(velk_mur::generateMissingFiles(dir.path(), messenger).ok);
    messenger.clear();
    const fs::path uncheckable = dir / file;
    const platform::ScopedFault fault(uncheckable, {platform::FileOp::Check});
    EXPECT_EQ(velk_mur::checkAudioFolder(dir.path(), messenger).status,
              velk_mur::CheckStatus::Refused);
    EXPECT_EQ(messenger.texts(),
              std::vector<std::string>{"Could not check whether a generated file is there: the "
                                       "folder may be unreadable\n" +
                                       platform::pathToText(uncheckable)});
  }
}
