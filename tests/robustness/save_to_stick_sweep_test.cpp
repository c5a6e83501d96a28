// Saving to the stick under a failing file operation, or killed at one: once the next command
// has recovered, the stick is either entirely as it was or entirely new.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ascii_text.h"
#include "platform/file_lock.h"
#include "platform/path_text.h"
#include "tests/robustness/fault_sweep.h"
#include "tests/support/file_faults.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/stick_tree.h"
#include "tests/support/temp_tree.h"
#include "velk_mur/generate/folder_passes.h"
#include "velk_mur/stick/save_journal.h"
#include "velk_mur/stick/save_to_stick.h"

namespace fs = std::filesystem;
using testing_support::snapshotTree;
using testing_support::TempDir;
using testing_support::TreeSnapshot;

namespace {

const fs::path kExamples = fs::path(VELK_SOURCE_DIR) / "examples";

// The stick as copied to a case-sensitive file system: every name in lower case.
void copyInLowerCase(const fs::path& from, const fs::path& to) {
  fs::create_directories(to);
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(from)) {
    const fs::path target = to / platform::toLowerAscii(fs::relative(entry.path(), from).string());
    if (entry.is_directory())
      fs::create_directories(target);
    else
      fs::copy_file(entry.path(), target);
  }
}

// The example stick in lower case and an audio folder of three example recordings, one with a
// full-body motion, their generated files made once; `dir` holds a fresh copy of both.
class SaveSweep : public ::testing::Test {
 protected:
  void SetUp() override {
    copyInLowerCase(kExamples / "stick", templateDir / "stick");
    const fs::path audio = templateDir / "voices";
    fs::create_directories(audio / "GEN");
    for (const char* name : {"hello.wav", "bark_snd.wav", "bye.wav"})
      fs::copy_file(kExamples / "voices" / name, audio / name);
    platform::RecordingMessenger messenger;
    ASSERT_TRUE(velk_mur::generateMissingFiles(audio, messenger).ok);
    // A full-body motion beside a recording replaces its head and mouth motions.
    fs::copy_file(audio / "GEN" / "hello_h7.mtn", audio / "bye.mtn");
    freshCopy();
    before = snapshotTree(stick());
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

  TempDir templateDir;
  std::unique_ptr<TempDir> dir;
  TreeSnapshot before;
};

const std::vector<std::string> kGone = {
    "The memory stick was removed or stopped answering\nNothing on it was changed; put it back "
    "and save again",
    "The memory stick was removed while the save was finishing\nPut it back: Test or Save to "
    "Stick finishes the save or repairs the stick",
    "The memory stick was removed while an interrupted save was being finished\nPut it back "
    "and try again"};
const std::vector<std::string> kOldAgain = {
    "An interrupted save to the memory stick was undone: its unfinished files were removed",
    "An interrupted save to the memory stick was undone: the stick holds its actions from before"};
const std::vector<std::string> kNewNow = {
    "An interrupted save to the memory stick was finished: the stick holds its new actions"};

bool isOneOf(const std::string& text, const std::vector<std::string>& texts) {
  return robustness::isOneOf(text, texts);
}

TreeSnapshot inLowerCase(TreeSnapshot snapshot) {
  for (auto& [name, bytes] : snapshot) name = platform::toLowerAscii(name);
  std::sort(snapshot.begin(), snapshot.end());
  return snapshot;
}

bool isStepFailure(const std::string& text) {
  return robustness::isOneOf(text, {},
                             {"Failed to create ", "Error: problem saving",
                              "Failed to open old ERS-*.MWC files\n", "ERROR: problem "});
}

}  // namespace

// One failing operation, every operation from one on as if the program had been killed there,
// or the stick pulled there: once the next command has recovered, the stick is old or new and
// takes the next save.
TEST_F(SaveSweep, AfterAFailedOrKilledOperationAndRecoveryTheStickIsOldOrNew) {
  platform::RecordingMessenger first;
  ASSERT_TRUE(save(first));
  const TreeSnapshot after = snapshotTree(stick());
  ASSERT_NE(before, after);
  // Each file is replaced under its own spelling: no twin in another letter case.
  ASSERT_TRUE(std::equal(before.begin(), before.end(), after.begin(), after.end(),
                         [](const auto& a, const auto& b) { return a.first == b.first; }));
  const TreeSnapshot voices = snapshotTree(templateDir.path() / "voices");
  for (const auto mode : {robustness::SweepMode::OneFailure, robustness::SweepMode::Crash,
                          robustness::SweepMode::Pull}) {
    const bool killed = mode != robustness::SweepMode::OneFailure;
    const bool pulled = mode == robustness::SweepMode::Pull;
    int rolledForward = 0;
    const int covered = robustness::sweepFileFailures(
        pulled   ? "save to stick, pulled"
        : killed ? "save to stick, killed"
                 : "save to stick",
        [&] { freshCopy(); }, [&](platform::Messenger& messenger) { return save(messenger); },
        [&](const robustness::SweepRun& run) {
          // Only the journal's removal may fail in a save that succeeds: it is finished anew.
          EXPECT_TRUE(run.succeeded || run.failureReached);
          if (!run.succeeded) {
            // Named once: the file kind and the step, or the configuration; a pulled stick as
            // the stick.
            ASSERT_EQ(run.messages.size(), 1u);
            EXPECT_TRUE(run.messages[0].isError);
            // (A killed program's disk answers nothing more either.)
            const std::string& text = run.messages[0].text;
            EXPECT_TRUE(pulled   ? isOneOf(text, kGone)
                        : killed ? isOneOf(text, kGone) || isStepFailure(text)
                                 : isStepFailure(text))
                << text;
          }
          // What the next command finds after recovery is the old stick or the new (written
          // anew from the recordings, if need be), no mix, and said so only then.
          platform::RecordingMessenger recovery;
          EXPECT_TRUE(velk_mur::recoverInterruptedSave(stick(), recovery, dir->path() / "voices"));
          EXPECT_LE(recovery.entries().size(), 1u);
          const TreeSnapshot now = snapshotTree(stick());
          EXPECT_TRUE(now == before || now == after) << "a stick neither old nor new";
          for (const std::string& said : recovery.texts()) {
            EXPECT_TRUE(isOneOf(said, now == before ? kOldAgain : kNewNow)) << said;
          }
          EXPECT_TRUE(!run.succeeded || now == after);
          rolledForward += now == after && !run.succeeded;
          // The audio folder is only read.
          EXPECT_EQ(snapshotTree(dir->path() / "voices"), voices);
          if (!killed) return;
          platform::RecordingMessenger again;
          EXPECT_TRUE(save(again));
          EXPECT_EQ(snapshotTree(stick()), after);
        },
        mode);
    EXPECT_GE(covered, pulled ? 80 : 60);
    // Killed after its journal, a save is finished by the next command: at least at each rename.
    EXPECT_GE(rolledForward, 5);
  }
}

// A lock file left by a killed save is taken over: the sweep's saves after a kill show it.
TEST_F(SaveSweep, ASecondSaveIsRefusedAndRecoveryLeavesTheFirstAlone) {
  platform::RecordingMessenger holder;
  std::optional<platform::FileLock> held = velk_mur::lockStick(stick(), holder);
  ASSERT_TRUE(held.has_value());
  platform::RecordingMessenger messenger;
  EXPECT_FALSE(save(messenger));
  EXPECT_EQ(messenger.texts(),
            std::vector<std::string>{"Another save to this memory stick is running\nWait until it "
                                     "has finished, then try again"});
  platform::RecordingMessenger recovery;
  EXPECT_TRUE(velk_mur::recoverInterruptedSave(stick(), recovery));
  EXPECT_TRUE(recovery.texts().empty());
  held.reset();
  EXPECT_EQ(snapshotTree(stick()), before);
}

// A full, read-only or vanished stick is named as such wherever it fails the save: while the
// new files and the journal are written (nothing changed), or while they are put in place (the
// next command finishes the save).
TEST_F(SaveSweep, AFullReadOnlyOrVanishedStickIsNamedAtEveryStep) {
  using platform::FileError;
  using platform::FileOp;
  const std::string journal = (stick() / "open-r/mw/conf/SAVE.JNL").string();
  const struct {
    FileError error;
    const char* writing;
    const char* finishing;
  } sticks[] = {
      {FileError::NoSpace,
       "The memory stick is full\nNothing on it was changed; make room and save again",
       "The memory stick is full, so the save could not finish\nMake room, then Test or Save to "
       "Stick finishes it"},
      {FileError::ReadOnly,
       "The memory stick is read-only (its lock switch may be on)\nNothing on it was changed",
       "The memory stick became read-only while the save was finishing\nUnlock it, then Test or "
       "Save to Stick finishes it"},
      {FileError::Gone,
       "The memory stick was removed or stopped answering\nNothing on it was changed; put it back "
       "and save again",
       "The memory stick was removed while the save was finishing\nPut it back: Test or Save to "
       "Stick finishes the save or repairs the stick"},
  };
  const struct {
    const char* step;
    FileOp op;
    int n;  // the nth operation of its kind; 0: every one on the journal
    bool finishing;
  } steps[] = {
      {"a new file created", FileOp::Create, 2, false},  // the first is the lock file
      {"a new file written", FileOp::Write, 1, false},
      {"a new file closed", FileOp::Close, 2, false},  // after the old ERS-7.MWC read
      {"a new file flushed", FileOp::Flush, 1, false},
      {"the journal written", FileOp::Write, 0, false},
      {"a rename", FileOp::Rename, 1, true},
      {"a folder flushed after a rename", FileOp::Flush, 11, true},
  };
  platform::RecordingMessenger first;
  ASSERT_TRUE(save(first));
  const TreeSnapshot after = snapshotTree(stick());
  for (const auto& s : sticks) {
    for (const auto& step : steps) {
      SCOPED_TRACE(std::string(step.step) + ", " + s.writing);
      freshCopy();
      if (step.n == 0) {
        platform::FaultInjection::failOn(stick() / "open-r/mw/conf/SAVE.JNL", {step.op});
      } else {
        platform::FaultInjection::failAt(step.n, {step.op});
      }
      platform::FaultInjection::reportAs(s.error);
      platform::RecordingMessenger messenger;
      EXPECT_FALSE(save(messenger));
      platform::FaultInjection::reset();
      EXPECT_EQ(messenger.texts(),
                std::vector<std::string>{step.finishing ? s.finishing : s.writing});
      platform::RecordingMessenger next;
      EXPECT_TRUE(velk_mur::recoverInterruptedSave(stick(), next));
      EXPECT_TRUE(snapshotTree(stick()) == (step.finishing ? after : before));
    }
  }
}

// What the next command does with each state an interrupted save can leave: finish, undo, write
// anew from the recordings, or name what was lost; "finished" and "undone" only of a whole stick.
TEST_F(SaveSweep, RecoveryFinishesUndoesRebuildsOrNamesWhatWasLost) {
  platform::RecordingMessenger first;
  ASSERT_TRUE(save(first));
  const TreeSnapshot after = snapshotTree(stick());
  const auto p = [&](const char* relative) { return stick() / relative; };
  enum class Ends { Old, New, AsLeft, OldWithoutAudio };
  const struct {
    const char* state;
    std::function<void()> make;  // from the journal written, nothing renamed yet
    bool withAudio;              // the journal's audio folder still there
    bool ok;
    Ends ends;
    std::string said;
  } rows[] = {
      {"nothing renamed", [] {}, true, true, Ends::New,
       "An interrupted save to the memory stick was finished: the stick holds its new actions"},
      {"one new file in place, another lost under both names",
       [&] {
         fs::rename(p("open-r/mw/data/p/audio.oda"), p("open-r/mw/data/p/audio.old"));
         fs::rename(p("open-r/mw/data/p/AUDIO.NEW"), p("open-r/mw/data/p/audio.oda"));
         fs::remove(p("open-r/mw/data/p/MOTION.NEW"));
       },
       true, true, Ends::Old,
       "An interrupted save to the memory stick was undone: the stick holds its actions from "
       "before"},
      {"a twin of an old file left under its aside name, another new file lost",
       [&] {
         fs::copy_file(p("open-r/mw/data/p/audio.oda"), p("open-r/mw/data/p/audio.old"));
         fs::remove(p("open-r/mw/data/p/MOTION.NEW"));
       },
       true, true, Ends::Old,
       "An interrupted save to the memory stick was undone: the stick holds its actions from "
       "before"},
      {"the journal lost, a twin of an old file left under its aside name",
       [&] {
         fs::remove(p("open-r/mw/conf/SAVE.JNL"));
         fs::copy_file(p("open-r/mw/data/p/audio.oda"), p("open-r/mw/data/p/audio.old"));
       },
       true, true, Ends::Old,
       "An interrupted save to the memory stick was undone: its unfinished files were removed"},
      {"an old file lost under both names and its new one",
       [&] {
         fs::remove(p("open-r/mw/data/p/audio.oda"));
         fs::remove(p("open-r/mw/data/p/AUDIO.NEW"));
       },
       true, true, Ends::New,
       "An interrupted save to the memory stick lost AUDIO.ODA; the stick was written anew from "
       "VOICES"},
      {"the same, the recordings gone",
       [&] {
         fs::remove(p("open-r/mw/data/p/audio.oda"));
         fs::remove(p("open-r/mw/data/p/AUDIO.NEW"));
       },
       false, false, Ends::AsLeft,
       "AUDIO.ODA was lost from the memory stick when a save was interrupted\nSave to Stick from "
       "your audio folder to write the stick anew"},
      {"the journal lost with the audio archive, the new files left",
       [&] {
         fs::remove(p("open-r/mw/conf/SAVE.JNL"));
         fs::remove(p("open-r/mw/data/p/audio.oda"));
       },
       true, false, Ends::OldWithoutAudio,
       "AUDIO.ODA was lost from the memory stick when a save was interrupted\nSave to Stick from "
       "your audio folder to write the stick anew"},
      {"the configuration lost under every name",
       [&] {
         fs::remove(p("open-r/mw/conf/ers-7.mwc"));
         fs::remove(p("open-r/mw/conf/ERS-7.NEW"));
       },
       true, false, Ends::AsLeft,
       "ERS-7.MWC was lost from the memory stick when a save was interrupted, and no copy of it is "
       "left\nCopy OPEN-R/MW/CONF/ERS-7.MWC back from a backup of the stick, then Save to Stick"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.state);
    freshCopy();
    {
      const platform::ScopedFault noRename(1, {platform::FileOp::Rename});
      platform::RecordingMessenger interrupted;
      ASSERT_FALSE(save(interrupted));
    }
    row.make();
    if (!row.withAudio) fs::rename(dir->path() / "voices", dir->path() / "elsewhere");
    const TreeSnapshot left = snapshotTree(stick());
    platform::RecordingMessenger next;
    EXPECT_EQ(velk_mur::recoverInterruptedSave(stick(), next), row.ok);
    std::string said = next.texts().empty() ? "" : next.texts().back();
    const std::string voices = platform::pathToText(dir->path() / "voices");
    if (const std::size_t at = said.find(voices); at != std::string::npos) {
      said.replace(at, voices.size(), "VOICES");
    }
    // Where names ignore letter case, a lost file may be named as the stick last spelled it.
    if (testing_support::caseSensitive(stick())) {
      EXPECT_EQ(said, row.said);
    } else {
      EXPECT_EQ(platform::toLowerAscii(said), platform::toLowerAscii(row.said));
    }
    // A file written anew has no old spelling left to keep.
    TreeSnapshot oldWithoutAudio = before;
    std::erase_if(oldWithoutAudio, [](const auto& file) {
      return platform::toLowerAscii(file.first) == "open-r/mw/data/p/audio.oda";
    });
    EXPECT_TRUE(inLowerCase(snapshotTree(stick())) ==
                inLowerCase(row.ends == Ends::Old               ? before
                            : row.ends == Ends::New             ? after
                            : row.ends == Ends::OldWithoutAudio ? oldWithoutAudio
                                                                : left));
  }
}
