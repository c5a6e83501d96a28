#include "velk_mur/stick/save_to_stick.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "action_catalogue.h"
#include "mwc_update.h"
#include "oda_writer.h"
#include "platform/ascii_text.h"
#include "platform/case_path.h"
#include "platform/files.h"
#include "platform/folder_listing.h"
#include "platform/path_text.h"
#include "save_messages.h"
#include "save_plan.h"
#include "stick_file.h"
#include "velk_mur/generate/naming.h"
#include "velk_mur/stick/save_journal.h"
#include "velk_mur/stick/stick_backup.h"

namespace fs = std::filesystem;

namespace velk_mur {

namespace {

constexpr std::string_view kProgressLabel = "Saving";

constexpr std::string_view kNotReplaceable =
    "\nThe file is read-only or in use by another program; nothing on the stick was changed";
constexpr std::string_view kFinishedLater = "\nThe next Test or Save to Stick finishes this save";
constexpr std::string_view kNotKept =
    " on the memory stick does not hold what was written to it\nThe stick or its card reader did "
    "not keep the data; nothing on the stick was changed. Try another reader or stick";
constexpr std::string_view kLostFiles =
    " lost from the memory stick when a save was interrupted\nSave to Stick from your audio "
    "folder to write the stick anew";
constexpr std::string_view kUnfinishedUnlockable =
    "The memory stick holds an unfinished save but cannot be written\nCheck that it is not "
    "locked or full, then try again";

std::string pathText(const fs::path& path) {
  return platform::pathToText(platform::resolveCase(path));
}

// One run of the save, with the stick locked. Every new file is written beside its target
// under the extension NEW and flushed; only when all of them are complete, every target can be
// replaced and the journal says so are they renamed over their targets. A failure before the
// journal leaves the stick exactly as it was; after it, the stick ends entirely new.
class StickSave {
 public:
  StickSave(const fs::path& audioFolder, const fs::path& stickRoot, platform::Messenger& messenger,
            const fs::path& backupsFolder)
      : audioFolder_(audioFolder),
        stickRoot_(stickRoot),
        messenger_(messenger),
        backupsFolder_(backupsFolder) {}

  // `recovering`: run by the recovery, which holds the stick's lock, to write anew what an
  // interrupted save lost. Otherwise an interrupted save is finished first; one that lost a
  // file is simply overtaken, as this save writes every file anew.
  bool run(bool recovering = false) {
    const std::optional<platform::FileLock> lock =
        recovering ? std::nullopt : lockStick(stickRoot_, messenger_);
    if (!recovering) {
      if (!lock) return false;
      if (finishInterruptedSave(stickRoot_, messenger_).status == Recovery::Status::Failed) {
        return false;
      }
    }
    if (!planFromListing() || !checkRecordings() || !checkRoom()) return false;
    if (!backupsFolder_.empty() && !backUpBeforeSave(stickRoot_, backupsFolder_, messenger_)) {
      return false;
    }
    const bool written = openCatalogue() && openConfiguration() && copyConfiguration() &&
                         createArchives() && addRecordings() && finishArchives() &&
                         closeCatalogue() && closeConfiguration() && flushNewFiles() &&
                         readBackNewFiles() && checkTargetsReplaceable() && startJournal();
    if (!written) {
      abandon();
      return false;
    }
    return replaceTargets();
  }

 private:
  bool fail(std::string_view text) {
    messenger_.show(text, true);
    return false;
  }

  // Whatever step failed, a stick that filled up, is locked or went away is what the user must
  // hear about; a stick that stopped answering looks like an I/O error to the file that saw it.
  bool fail(platform::FileError error, std::string_view stepText) {
    const std::string_view stickText = stickFailureText(stickError(error, stickRoot_), phase_);
    return fail(stickText.empty() ? stepText : stickText);
  }

  bool stepFailed(platform::FileError error, const fs::path& file, std::string_view stepWords) {
    return fail(error, stepFailureText(pathText(file), stepWords));
  }

  bool planFromListing() {
    const platform::FolderListing listing = platform::listFolder(audioFolder_, kRecordingPattern);
    if (!listing.read()) {
      return fail("Could not read the audio folder\n" + pathText(audioFolder_) +
                  "\nNothing on the stick was changed");
    }
    plans_ = planRecordings(audioFolder_, listing.names);
    return true;
  }

  bool checkRecordings() {
    if (plans_.size() > static_cast<std::size_t>(kMaxActions)) {
      return fail("Too many recordings for the memory stick: " + std::to_string(plans_.size()) +
                  " found, at most " + std::to_string(kMaxActions) +
                  " can be saved (actions 24001 to 25001)");
    }
    for (const RecordingPlan& plan : plans_) {
      if (plan.name.size() < kMinActionNameLength || plan.name.size() > kMaxActionNameLength) {
        return fail("Action name must have " + std::to_string(kMinActionNameLength) + " to " +
                    std::to_string(kMaxActionNameLength) + " characters\n" +
                    pathText(audioFolder_ / plan.listedName));
      }
    }
    return true;
  }

  bool checkRoom() {
    const fs::path configuration = targetOf(kConfiguration);
    const std::optional<platform::SpaceInfo> space = platform::spaceInfo(stickRoot_);
    if (!space) return true;  // unknown here; a full stick is still reported as such
    const std::uint64_t needed =
        bytesNeeded(plans_, platform::fileSize(configuration).value_or(0), space->clusterSize);
    if (needed <= space->available) return true;
    return fail("Not enough room on the memory stick\nThe new files need " +
                std::to_string(needed) + " bytes, but only " + std::to_string(space->available) +
                " bytes are free");
  }

  fs::path targetOf(std::size_t k) const {
    return stickFilePath(stickRoot_, kNewFiles[k].stickName, kNewFiles[k].extension);
  }

  // Remembered before it is created: a file whose header write fails stays behind otherwise.
  fs::path temporaryFor(std::size_t k) {
    pending_.push_back(stickFilePath(stickRoot_, kNewFiles[k].stickName, kNewFileExtension));
    return pending_.back();
  }

  bool openCatalogue() {
    if (!catalogue_.open(temporaryFor(kCatalogue), StickMode::Write)) {
      return fail(catalogue_.error(), kCatalogueCreateFailed);
    }
    return true;
  }

  bool openConfiguration() {
    if (!configurationFile_.open(temporaryFor(kConfiguration), StickMode::Write)) {
      return fail(configurationFile_.error(), kConfigurationCreateFailed);
    }
    return true;
  }

  bool copyConfiguration() {
    return copyConfigurationForUpdate(configuration_, stickRoot_, header_, oldConfiguration_,
                                      messenger_);
  }

  bool createArchives() {
    const auto count = static_cast<std::int32_t>(plans_.size());
    for (std::size_t i = 0; i < kArchiveCount; ++i) {
      const NewFileKind& kind = kNewFiles[i];
      if (!archives_[i].create(temporaryFor(i), kind.slotsPerRecording * count)) {
        return fail(archives_[i].error(), std::string(kind.createFailed) + pathText(targetOf(i)));
      }
    }
    planEntries();
    return true;
  }

  // Every entry announced with the size the plan found, so each archive is written in order.
  void planEntries() {
    for (const RecordingPlan& plan : plans_) {
      archives_[kAudio].planEntry(plan.name, kWaveTag, plan.soundBytes);
      if (plan.hasFullBodyMotion()) {
        archives_[kMotion].planEntry(motionName(plan.name, kFullBodyKind, kRobotModel), kMotionTag,
                                     plan.motionBytes);
      } else {
        archives_[kMotion].planEntry(motionName(plan.name, kHeadKind, kRobotModel), kMotionTag,
                                     plan.headBytes);
        archives_[kMotion].planEntry(motionName(plan.name, kMouthKind, kRobotModel), kMotionTag,
                                     plan.motionBytes - plan.headBytes);
      }
      archives_[kLed].planEntry(plan.name, kLedTag, plan.ledBytes);
    }
  }

  // A failed write names the stick's file; otherwise the recording could not be read.
  bool addEntry(std::size_t archive, const fs::path& source, std::string_view entryName,
                const platform::FourCC& tag, std::string_view stepWords) {
    if (archives_[archive].addEntry(source, entryName, tag)) return true;
    const platform::FileError error = archives_[archive].error();
    if (error != platform::FileError::None) return stepFailed(error, targetOf(archive), stepWords);
    return stepFailed(platform::FileError::Io, source, stepWords);
  }

  bool addMotions(const RecordingPlan& plan, const RecordingFiles& files) {
    if (plan.hasFullBodyMotion()) {
      return addEntry(kMotion, files.fullBodyMotion,
                      motionName(plan.name, kFullBodyKind, kRobotModel), kMotionTag,
                      "writing motion data (all)");
    }
    return addEntry(kMotion, files.headMotion, motionName(plan.name, kHeadKind, kRobotModel),
                    kMotionTag, "writing motion data (head)") &&
           addEntry(kMotion, files.mouthMotion, motionName(plan.name, kMouthKind, kRobotModel),
                    kMotionTag, "writing motion data (mouth)");
  }

  bool addRecordings() {
    const auto total = static_cast<int>(plans_.size());
    messenger_.progress(kProgressLabel, 0, total);
    for (int i = 0; i < total; ++i) {
      const RecordingPlan& plan = plans_[static_cast<std::size_t>(i)];
      const RecordingFiles files = recordingFiles(audioFolder_, plan);
      if (!addEntry(kAudio, files.sound, plan.name, kWaveTag, "writing audio data") ||
          !addMotions(plan, files) ||
          !addEntry(kLed, files.led, plan.name, kLedTag, "writing LED data")) {
        return false;
      }
      const int records = writeActionBlock(configuration_, plan.number, plan.name,
                                           plan.hasFullBodyMotion(), plan.audioOnly);
      if (records == 0) return fail(kConfigurationSaveFailed);
      ++header_.mcidCount;
      header_.cmacTotal += records;
      if (!catalogue_.writeText(actionCatalogueLine(plan.name, plan.number, plan.audioOnly))) {
        return fail(catalogue_.error(), kCatalogueSaveFailed);
      }
      // A cancel abandons the new files before any rename: the stick stays as it was.
      if (!messenger_.progress(kProgressLabel, i + 1, total)) return false;
    }
    return true;
  }

  bool finishArchives() {
    for (std::size_t i = 0; i < kArchiveCount; ++i) {
      if (!archives_[i].finish()) {
        const std::string file = platform::pathToText(targetOf(i).filename());
        return fail(archives_[i].error(), stepFailureText(file, kNewFiles[i].finishWords));
      }
    }
    return true;
  }

  bool closeCatalogue() {
    const platform::FileOutcome closed = catalogue_.close();
    if (!closed) return fail(closed.error, kCatalogueSaveFailed);
    return true;
  }

  // The configuration is made in memory, its final header over the placeholder, and written in
  // one run: no byte of it is written twice.
  bool closeConfiguration() {
    configuration_.seek(0);
    configuration_.write(mwcHeaderBytes(header_));
    const bool written = configurationFile_.write(configuration_.bytes());
    const platform::FileError writeError = configurationFile_.error();
    const platform::FileOutcome closed = configurationFile_.close();
    if (!written || !closed) {
      return fail(written ? closed.error : writeError, kConfigurationSaveFailed);
    }
    return true;
  }

  // Each new file reaches the device before the journal says it is complete. Its checksum is
  // taken first, from what the system holds of the program's writes.
  bool flushNewFiles() {
    replacements_ = saveReplacements();
    // The three archives share a folder: each folder is flushed once, after its files.
    std::vector<std::pair<fs::path, std::size_t>> folders;
    for (std::size_t k = 0; k < replacements_.size(); ++k) {
      const fs::path file = stickRoot_ / fs::path(replacements_[k].temporary);
      const std::optional<platform::FileChecksum> written = platform::fileChecksum(file, false);
      if (!written) return flushFailed(k, platform::FileError::Io);
      if (const platform::FileOutcome flushed = platform::flushFile(file); !flushed) {
        return flushFailed(k, flushed.error);
      }
      replacements_[k].written = *written;
      const fs::path folder = file.parent_path();
      if (std::none_of(folders.begin(), folders.end(),
                       [&](const auto& known) { return known.first == folder; })) {
        folders.emplace_back(folder, k);
      }
    }
    for (const auto& [folder, k] : folders) {
      if (const platform::FileOutcome flushed = platform::flushFolder(folder); !flushed) {
        return flushFailed(k, flushed.error);
      }
    }
    return true;
  }

  bool flushFailed(std::size_t k, platform::FileError error) {
    if (k < kArchiveCount) {
      return stepFailed(error, stickRoot_ / fs::path(replacements_[k].temporary),
                        kNewFiles[k].finishWords);
    }
    return fail(error, k == kCatalogue ? kCatalogueSaveFailed : kConfigurationSaveFailed);
  }

  // Each new file read back from the stick itself: a stick or card reader that did not keep
  // what it was given is found before anything is put in place.
  bool readBackNewFiles() {
    for (std::size_t k = 0; k < replacements_.size(); ++k) {
      const fs::path file = stickRoot_ / fs::path(replacements_[k].temporary);
      const std::optional<platform::FileChecksum> kept = platform::fileChecksum(file, true);
      if (kept && *kept == replacements_[k].written) continue;
      if (!kept) return flushFailed(k, platform::FileError::Io);
      return fail(pathText(targetOf(k).filename()).append(kNotKept));
    }
    return true;
  }

  // A target the renames could not replace would leave the stick half new: found now, the
  // stick stays as it was.
  bool checkTargetsReplaceable() {
    for (std::size_t k = 0; k < replacements_.size(); ++k) {
      const fs::path target = stickRoot_ / fs::path(replacements_[k].target);
      const platform::FileState state = platform::fileState(target);
      if (state == platform::FileState::Unknown) return flushFailed(k, platform::FileError::Io);
      replacements_[k].replacesOld = state == platform::FileState::Present;
      const platform::Replaceable replace = platform::replaceable(target);
      if (replace == platform::Replaceable::Yes) continue;
      if (replace == platform::Replaceable::Unknown) return flushFailed(k, platform::FileError::Io);
      return fail(
          stepFailureText(pathText(target), kNewFiles[k].replaceWords).append(kNotReplaceable));
    }
    return true;
  }

  bool startJournal() {
    const platform::FileOutcome written =
        writeJournal(stickRoot_, SaveJournal{audioFolder_, replacements_});
    if (!written) {
      return stepFailed(written.error, journalPath(stickRoot_), "writing the save journal");
    }
    phase_ = SavePhase::Finishing;
    return true;
  }

  // Archives first, then ACTION.CFG, and ERS-7.MWC last. The journal written before lets the
  // next command finish what a crash, a pulled stick or a failure cut short.
  bool replaceTargets() {
    const std::optional<CommitFailure> failed =
        commitReplacements(stickRoot_, SaveJournal{audioFolder_, replacements_});
    if (!failed) return true;
    std::string_view words = "flushing the memory stick";
    for (std::size_t k = 0; k < replacements_.size(); ++k) {
      if (stickRoot_ / fs::path(replacements_[k].target) == failed->file) {
        words = kNewFiles[k].replaceWords;
      }
    }
    return fail(failed->error,
                stepFailureText(pathText(failed->file), words).append(kFinishedLater));
  }

  // Closes whatever is open and removes every temporary file created so far.
  void abandon() {
    for (OdaWriter& archive : archives_) archive.abandon();
    catalogue_.close();
    configurationFile_.close();
    for (const fs::path& temporary : pending_) platform::removeFile(temporary);
  }

  const fs::path& audioFolder_;
  const fs::path& stickRoot_;
  platform::Messenger& messenger_;
  const fs::path& backupsFolder_;
  std::vector<RecordingPlan> plans_;
  std::vector<fs::path> pending_;
  StickFile catalogue_;
  StickFile configurationFile_;
  platform::MemorySink configuration_;
  std::array<OdaWriter, kArchiveCount> archives_;
  MwcHeader header_;
  fs::path oldConfiguration_;
  std::vector<Replacement> replacements_;
  SavePhase phase_ = SavePhase::Writing;
};

std::string joinedNames(const std::vector<std::string>& names) {
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
    text += names[i];
  }
  return text;
}

}  // namespace

bool saveToStick(const fs::path& audioFolder, const fs::path& stickRoot,
                 platform::Messenger& messenger, const fs::path& backupsFolder) {
  StickSave save(audioFolder, stickRoot, messenger, backupsFolder);
  return save.run();
}

bool recoverInterruptedSave(const fs::path& stickRoot, platform::Messenger& messenger,
                            const std::optional<fs::path>& audioFolder) {
  std::optional<platform::FileLock> lock;
  switch (tryLockStick(stickRoot, lock)) {
    case platform::LockOutcome::Acquired:
      break;
    case platform::LockOutcome::HeldByOther:
      return true;  // a save that runs now owns its files and finishes them itself
    case platform::LockOutcome::Failed:
      // A stick that cannot be locked cannot be written; it may still hold an unfinished save.
      if (!unfinishedSaveOnStick(stickRoot)) return true;
      messenger.show(platform::readOnlyVolume(stickRoot)
                         ? stickFailureText(platform::FileError::ReadOnly, SavePhase::Recovering)
                         : kUnfinishedUnlockable,
                     true);
      return false;
  }
  const Recovery recovery = finishInterruptedSave(stickRoot, messenger);
  if (recovery.status != Recovery::Status::LostFiles) {
    return recovery.status == Recovery::Status::Whole;
  }
  // The lost files are written anew from the recordings: those the journal names, else those
  // of the folder the user set.
  fs::path from = recovery.audioFolder;
  if (from.empty() || platform::folderState(from) != platform::FileState::Present) {
    from = audioFolder.value_or(fs::path());
  }
  const std::string lost = joinedNames(recovery.lost);
  if (from.empty() || platform::folderState(from) != platform::FileState::Present) {
    messenger.show(lost + (recovery.lost.size() == 1 ? " was" : " were") + std::string(kLostFiles),
                   true);
    return false;
  }
  const fs::path noBackups;
  StickSave save(from, stickRoot, messenger, noBackups);
  if (!save.run(true)) return false;
  messenger.show("An interrupted save to the memory stick lost " + lost +
                     "; the stick was written anew from " + pathText(from),
                 false);
  return true;
}

std::string stepFailureText(std::string_view file, std::string_view stepWords) {
  std::string text = "ERROR: problem ";
  return text.append(stepWords).append(" - aborting\n(file : ").append(file).append(")");
}

platform::FileError stickError(platform::FileError error, const fs::path& stickRoot) {
  if (error == platform::FileError::NoSpace || error == platform::FileError::ReadOnly) return error;
  // A driver that went away may still answer a folder's state from its cache; the room on the
  // stick is asked of the driver itself.
  const bool answers = platform::folderState(stickRoot) == platform::FileState::Present &&
                       platform::spaceInfo(stickRoot).has_value();
  return answers ? error : platform::FileError::Gone;
}

std::string_view stickFailureText(platform::FileError error, SavePhase phase) {
  const StickFailureTexts& texts = kStickFailureTexts[static_cast<std::size_t>(phase)];
  switch (error) {
    case platform::FileError::NoSpace:
      return texts.full;
    case platform::FileError::ReadOnly:
      return texts.readOnly;
    case platform::FileError::Gone:
      return texts.gone;
    case platform::FileError::None:
    case platform::FileError::Io:
      break;
  }
  return {};
}

}  // namespace velk_mur
