#include "velk_mur/stick/save_to_stick.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "platform/ascii_text.h"
#include "platform/case_path.h"
#include "platform/files.h"
#include "platform/folder_listing.h"
#include "platform/path_text.h"
#include "velk_mur/generate/naming.h"
#include "velk_mur/stick/action_catalogue.h"
#include "velk_mur/stick/mwc_update.h"
#include "velk_mur/stick/oda_writer.h"
#include "velk_mur/stick/save_plan.h"
#include "velk_mur/stick/stick_file.h"

namespace fs = std::filesystem;

namespace velk_mur {

namespace {

constexpr std::string_view kProgressLabel = "Saving";

constexpr std::string_view kCatalogueCreateFailed =
    "Failed to create ACTION.CFG on memory stick\nStick may be locked or full";
constexpr std::string_view kConfigurationCreateFailed =
    "Failed to create ERS-*.MWC files\nStick may be locked or full";
constexpr std::string_view kCatalogueSaveFailed =
    "Error: problem saving ACTION.CFG data - aborting";

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
constexpr std::size_t kAudio = 0;
constexpr std::size_t kMotion = 1;
constexpr std::size_t kLed = 2;

std::string pathText(const fs::path& path) {
  return platform::pathToText(platform::resolveCase(path));
}

// One run of the save. Every new file is written beside its target under the extension NEW;
// only when all of them are complete are they renamed over their targets, so a failure before
// that leaves the stick exactly as it was.
class StickSave {
 public:
  StickSave(const fs::path& audioFolder, const fs::path& stickRoot, platform::Messenger& messenger)
      : audioFolder_(audioFolder), stickRoot_(stickRoot), messenger_(messenger) {}

  bool run() {
    plans_ = planRecordings(audioFolder_, platform::listFolder(audioFolder_, kRecordingPattern));
    if (!checkRecordings() || !checkRoom()) return false;
    const bool written = openCatalogue() && openConfiguration() && copyConfiguration() &&
                         createArchives() && addRecordings() && finishArchives() &&
                         closeCatalogue() && closeConfiguration();
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
    const std::uint64_t needed = bytesNeeded(audioFolder_, plans_, sizeOnDisk(configuration));
    const std::optional<std::uint64_t> available = platform::freeSpace(stickRoot_);
    if (!available || needed <= *available) return true;
    return fail("Not enough room on the memory stick\nThe new files need " +
                std::to_string(needed) + " bytes, but only " + std::to_string(*available) +
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
    return reportStepFailure(pathText(source), stepWords, messenger_);
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
      messenger_.progress(kProgressLabel, i + 1, total);
    }
    return true;
  }

  bool finishArchives() {
    for (std::size_t i = 0; i < kArchives.size(); ++i) {
      if (!archives_[i].finish()) {
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

  // Archives first, then ACTION.CFG, and ERS-7.MWC last, so the robot's configuration in force
  // never names entries that are not yet there. Each rename replaces its target in one step.
  // If rename k fails: the targets renamed before it hold their new contents, target k and
  // the ones after it keep their old contents, and the temporary files not yet renamed are
  // removed. ERS-7.MWC is therefore never lost; when an archive rename fails after another
  // has succeeded, the stick's archives no longer match its old ERS-7.MWC and the message
  // says which file could not be replaced, so saving again puts everything in step.
  bool replaceTargets() {
    struct Replacement {
      fs::path temporary;
      fs::path target;
    };
    std::vector<Replacement> order;
    order.reserve(kArchives.size() + 2);
    for (const ArchiveKind& kind : kArchives) {
      order.push_back({stickFilePath(stickRoot_, kind.stickName, kNewFileExtension),
                       stickFilePath(stickRoot_, kind.stickName, kArchiveExtension)});
    }
    order.push_back({catalogue_.path(),
                     stickFilePath(stickRoot_, kActionCatalogueName, kActionCatalogueExtension)});
    order.push_back({configuration_.path(), oldConfiguration_});

    for (std::size_t k = 0; k < order.size(); ++k) {
      if (platform::renameFile(order[k].temporary, order[k].target)) continue;
      for (std::size_t later = k; later < order.size(); ++later) {
        platform::removeFile(order[later].temporary);
      }
      if (k < kArchives.size()) {
        return reportStepFailure(pathText(order[k].target), kArchives[k].replaceWords, messenger_);
      }
      return fail(k == kArchives.size() ? kCatalogueSaveFailed : kConfigurationSaveFailed);
    }
    return true;
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
  std::vector<RecordingPlan> plans_;
  std::vector<fs::path> pending_;
  StickFile catalogue_;
  StickFile configuration_;
  std::array<OdaWriter, 3> archives_;
  MwcHeader header_;
  fs::path oldConfiguration_;
};

}  // namespace

bool saveToStick(const fs::path& audioFolder, const fs::path& stickRoot,
                 platform::Messenger& messenger) {
  StickSave save(audioFolder, stickRoot, messenger);
  return save.run();
}

bool reportStepFailure(std::string_view file, std::string_view stepWords,
                       platform::Messenger& messenger) {
  std::string text = "ERROR: problem ";
  text.append(stepWords).append(" - aborting\n(file : ").append(file).append(")");
  messenger.show(text, true);
  return false;
}

}  // namespace velk_mur
