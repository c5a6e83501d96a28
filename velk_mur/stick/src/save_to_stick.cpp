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
#include "save_plan.h"
#include "stick_file.h"
#include "velk_mur/generate/naming.h"
#include "velk_mur/stick/save_journal.h"
#include "velk_mur/stick/stick_backup.h"

namespace fs = std::filesystem;

namespace velk_mur {

namespace {

constexpr std::string_view kProgressLabel = "Saving";

constexpr std::string_view kConfigurationCreateFailed =
    "Failed to create ERS-*.MWC files\nStick may be locked or full";
constexpr std::string_view kCatalogueSaveFailed =
    "Error: problem saving ACTION.CFG data - aborting";
constexpr std::string_view kNotReplaceable =
    "\nThe file is read-only or in use by another program; nothing on the stick was changed";
constexpr std::string_view kFinishedLater = "\nThe next Test or Save to Stick finishes this save";

// The three archives, in the order in which they are created, finished and put in place.
struct ArchiveKind {
  std::string_view stickName;
  std::int32_t slotsPerRecording;
  std::string_view createFailed;
  std::string_view finishFile;
  std::string_view finishWords;
  std::string_view replaceWords;
};
constexpr std::array<ArchiveKind, 3> kArchives{{
    {kAudioArchiveName, 1, "Failed to create audio data file\n", "AUDIO.ODA",
     "finishing audio data", "replacing audio data"},
    {kMotionArchiveName, kMotionSlotsPerRecording, "Failed to create motion data file\n",
     "MOTION.ODA", "finishing motion data", "replacing motion data"},
    {kLedArchiveName, 1, "Failed to create eye-led data file\n", "LED.ODA", "finishing LED data",
     "replacing LED data"},
}};
// What the replacement of each new file is called in messages, in the order the save puts
// them in place: the archives, ACTION.CFG, ERS-7.MWC.
constexpr std::array<std::string_view, 5> kReplaceWords{
    "replacing audio data", "replacing motion data", "replacing LED data",
    "replacing ACTION.CFG data", "replacing ERS-*.MWC data"};
constexpr std::size_t kAudio = 0;
constexpr std::size_t kMotion = 1;
constexpr std::size_t kLed = 2;

std::string pathText(const fs::path& path) {
  return platform::pathToText(platform::resolveCase(path));
}

std::string stepFailureText(std::string_view file, std::string_view stepWords) {
  std::string text = "ERROR: problem ";
  return text.append(stepWords).append(" - aborting\n(file : ").append(file).append(")");
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

  bool run() {
    platform::clearDeviceFull();
    const std::optional<platform::FileLock> lock = lockStick(stickRoot_, messenger_);
    if (!lock || !finishInterruptedSave(stickRoot_, messenger_)) return false;
    plans_ = planRecordings(audioFolder_, platform::listFolder(audioFolder_, kRecordingPattern));
    if (!checkRecordings() || !checkRoom()) return false;
    if (!backupsFolder_.empty() && !backUpBeforeSave(stickRoot_, backupsFolder_, messenger_)) {
      return false;
    }
    const bool written = openCatalogue() && openConfiguration() && copyConfiguration() &&
                         createArchives() && addRecordings() && finishArchives() &&
                         closeCatalogue() && closeConfiguration() && flushNewFiles() &&
                         checkTargetsReplaceable() && startJournal();
    if (!written) {
      abandon();
      return false;
    }
    return replaceTargets();
  }

 private:
  // Whatever failed, a device that filled up is what the user must hear about.
  bool fail(std::string_view text) {
    messenger_.show(platform::deviceFullSeen() ? kStickFull : text, true);
    return false;
  }

  bool stepFailed(const fs::path& file, std::string_view stepWords) {
    if (platform::deviceFullSeen()) return fail(kStickFull);
    return reportStepFailure(pathText(file), stepWords, messenger_);
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
    const fs::path configuration =
        stickFilePath(stickRoot_, kConfigurationName, kConfigurationExtension);
    const std::optional<platform::SpaceInfo> space = platform::spaceInfo(stickRoot_);
    if (!space) return true;  // unknown here; a full stick is still reported as such
    const std::uint64_t needed =
        bytesNeeded(plans_, platform::fileSize(configuration).value_or(0), space->clusterSize);
    if (needed <= space->available) return true;
    return fail("Not enough room on the memory stick\nThe new files need " +
                std::to_string(needed) + " bytes, but only " + std::to_string(space->available) +
                " bytes are free");
  }

  // Remembered before it is created: a file whose header write fails stays behind otherwise.
  fs::path temporaryFor(std::string_view stickName) {
    pending_.push_back(stickFilePath(stickRoot_, stickName, kNewFileExtension));
    return pending_.back();
  }

  bool openCatalogue() {
    if (!catalogue_.open(temporaryFor(kActionCatalogueName), StickMode::Write)) {
      return fail(kCatalogueCreateFailed);
    }
    return true;
  }

  bool openConfiguration() {
    if (!configuration_.open(temporaryFor(kConfigurationName), StickMode::Write)) {
      return fail(kConfigurationCreateFailed);
    }
    return true;
  }

  bool copyConfiguration() {
    return copyConfigurationForUpdate(configuration_, stickRoot_, header_, oldConfiguration_,
                                      messenger_);
  }

  bool createArchives() {
    const auto count = static_cast<std::int32_t>(plans_.size());
    for (std::size_t i = 0; i < kArchives.size(); ++i) {
      const ArchiveKind& kind = kArchives[i];
      if (!archives_[i].create(temporaryFor(kind.stickName), kind.slotsPerRecording * count)) {
        const fs::path target = stickFilePath(stickRoot_, kind.stickName, kArchiveExtension);
        return fail(std::string(kind.createFailed) + pathText(target));
      }
    }
    return true;
  }

  bool addEntry(std::size_t archive, const fs::path& source, std::string_view entryName,
                const platform::FourCC& tag, std::string_view stepWords) {
    if (archives_[archive].addEntry(source, entryName, tag)) return true;
    return stepFailed(source, stepWords);
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
        return fail(kCatalogueSaveFailed);
      }
      // A cancel abandons the new files before any rename: the stick stays as it was.
      if (!messenger_.progress(kProgressLabel, i + 1, total)) return false;
    }
    return true;
  }

  bool finishArchives() {
    for (std::size_t i = 0; i < kArchives.size(); ++i) {
      if (!archives_[i].finish()) {
        if (platform::deviceFullSeen()) return fail(kStickFull);
        return reportStepFailure(kArchives[i].finishFile, kArchives[i].finishWords, messenger_);
      }
    }
    return true;
  }

  bool closeCatalogue() {
    if (!catalogue_.close()) return fail(kCatalogueSaveFailed);
    return true;
  }

  // The final header goes over the placeholder.
  bool closeConfiguration() {
    const bool written = configuration_.seek(0) && configuration_.write(mwcHeaderBytes(header_));
    const bool closed = configuration_.close();
    if (!written || !closed) return fail(kConfigurationSaveFailed);
    return true;
  }

  // Each new file reaches the device before the journal says it is complete.
  bool flushNewFiles() {
    replacements_ = saveReplacements();
    // The three archives share a folder: each folder is flushed once, after its files.
    std::vector<std::pair<fs::path, std::size_t>> folders;
    for (std::size_t k = 0; k < replacements_.size(); ++k) {
      const fs::path file = stickRoot_ / fs::path(replacements_[k].temporary);
      const std::optional<std::uint64_t> size = platform::fileSize(file);
      if (!size || !platform::flushFile(file)) return flushFailed(k);
      replacements_[k].size = *size;
      const fs::path folder = file.parent_path();
      if (std::none_of(folders.begin(), folders.end(),
                       [&](const auto& known) { return known.first == folder; })) {
        folders.emplace_back(folder, k);
      }
    }
    for (const auto& [folder, k] : folders) {
      if (!platform::flushFolder(folder)) return flushFailed(k);
    }
    return true;
  }

  bool flushFailed(std::size_t k) {
    if (k < kArchives.size()) {
      return stepFailed(stickRoot_ / fs::path(replacements_[k].temporary),
                        kArchives[k].finishWords);
    }
    return fail(k == kArchives.size() ? kCatalogueSaveFailed : kConfigurationSaveFailed);
  }

  // A target the renames could not replace would leave the stick half new: found now, the
  // stick stays as it was.
  bool checkTargetsReplaceable() {
    for (std::size_t k = 0; k < replacements_.size(); ++k) {
      const fs::path target = stickRoot_ / fs::path(replacements_[k].target);
      if (platform::replaceable(target) == platform::Replaceable::Yes) continue;
      return fail(stepFailureText(pathText(target), kReplaceWords[k]).append(kNotReplaceable));
    }
    return true;
  }

  bool startJournal() {
    if (writeJournal(stickRoot_, replacements_)) return true;
    return stepFailed(journalPath(stickRoot_), "writing the save journal");
  }

  // Archives first, then ACTION.CFG, and ERS-7.MWC last, each rename replacing its target in
  // one step. The journal written before them lets the next command finish renames that a
  // crash or a failure cut short, so the stick ends entirely new.
  bool replaceTargets() {
    const std::optional<fs::path> failed = replaceAll(stickRoot_, replacements_);
    if (!failed) return true;
    std::string_view words = "flushing the memory stick";
    for (std::size_t k = 0; k < replacements_.size(); ++k) {
      if (stickRoot_ / fs::path(replacements_[k].target) == *failed) words = kReplaceWords[k];
    }
    messenger_.show(stepFailureText(pathText(*failed), words).append(kFinishedLater), true);
    return false;
  }

  // Closes whatever is open and removes every temporary file created so far.
  void abandon() {
    for (OdaWriter& archive : archives_) archive.abandon();
    catalogue_.close();
    configuration_.close();
    for (const fs::path& temporary : pending_) platform::removeFile(temporary);
  }

  const fs::path& audioFolder_;
  const fs::path& stickRoot_;
  platform::Messenger& messenger_;
  const fs::path& backupsFolder_;
  std::vector<RecordingPlan> plans_;
  std::vector<fs::path> pending_;
  StickFile catalogue_;
  StickFile configuration_;
  std::array<OdaWriter, 3> archives_;
  MwcHeader header_;
  fs::path oldConfiguration_;
  std::vector<Replacement> replacements_;
};

}  // namespace

bool saveToStick(const fs::path& audioFolder, const fs::path& stickRoot,
                 platform::Messenger& messenger, const fs::path& backupsFolder) {
  StickSave save(audioFolder, stickRoot, messenger, backupsFolder);
  return save.run();
}

bool reportStepFailure(std::string_view file, std::string_view stepWords,
                       platform::Messenger& messenger) {
  messenger.show(stepFailureText(file, stepWords), true);
  return false;
}

}  // namespace velk_mur
