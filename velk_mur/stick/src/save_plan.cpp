#include "save_plan.h"

#include <algorithm>
#include <unordered_map>

#include "action_catalogue.h"
#include "mwc_update.h"
#include "oda_writer.h"
#include "platform/ascii_text.h"
#include "platform/files.h"
#include "platform/folder_listing.h"
#include "platform/path_text.h"
#include "velk_mur/generate/naming.h"

namespace fs = std::filesystem;

namespace velk_mur {

namespace {
constexpr std::string_view kFullBodyPattern = "*.mtn";

std::uint64_t archiveBytes(std::uint32_t slots, std::uint64_t dataBytes) {
  return odaDirectoryEnd(slots) + dataBytes;
}
}  // namespace

std::vector<RecordingPlan> planRecordings(const fs::path& audioFolder,
                                          const std::vector<std::string>& listedNames) {
  // Full-body motions are looked up in one listing rather than one folder scan per recording.
  std::unordered_map<std::string, std::string> fullBodyFiles;
  for (const std::string& file : platform::listFolder(audioFolder, kFullBodyPattern).names) {
    fullBodyFiles.emplace(platform::toLowerAscii(file), file);
  }
  // Sizes are asked within the two folders that hold every source.
  const platform::FolderSizes audioSizes(audioFolder);
  const platform::FolderSizes generatedSizes(generatedFolder(audioFolder));
  std::vector<RecordingPlan> plans;
  plans.reserve(listedNames.size());
  std::int32_t number = kFirstOwnedAction;
  for (const std::string& listed : listedNames) {
    RecordingPlan plan;
    plan.listedName = listed;
    const std::string stem = recordingName(listed);
    plan.name = platform::toLowerAscii(stem);
    plan.number = number++;
    plan.audioOnly = isAudioOnlyName(plan.name);
    const auto found = fullBodyFiles.find(
        platform::toLowerAscii(motionFileName(stem, kFullBodyKind, kRobotModel)));
    // A listed full-body motion that could not be checked is not taken for absent, which would
    // pack other motions silently: it is planned, and its add fails naming it.
    if (found != fullBodyFiles.end() &&
        platform::fileState(audioFolder / platform::textToPath(found->second)) !=
            platform::FileState::Absent) {
      plan.fullBodyFile = found->second;
    }
    plan.soundBytes = audioSizes.of(listed).value_or(0);
    if (plan.hasFullBodyMotion()) {
      plan.motionBytes = audioSizes.of(plan.fullBodyFile).value_or(0);
    } else {
      plan.headBytes = generatedSizes.of(motionFileName(stem, kHeadKind, kRobotModel)).value_or(0);
      plan.motionBytes =
          plan.headBytes +
          generatedSizes.of(motionFileName(stem, kMouthKind, kRobotModel)).value_or(0);
    }
    plan.ledBytes = generatedSizes.of(ledFileName(stem)).value_or(0);
    plans.push_back(std::move(plan));
  }
  return plans;
}

RecordingFiles recordingFiles(const fs::path& audioFolder, const RecordingPlan& plan) {
  const std::string stem = recordingName(plan.listedName);
  RecordingFiles files;
  files.sound = audioFolder / platform::textToPath(plan.listedName);
  if (plan.hasFullBodyMotion()) {
    files.fullBodyMotion = audioFolder / platform::textToPath(plan.fullBodyFile);
  } else {
    files.headMotion = motionFilePath(audioFolder, stem, kHeadKind, kRobotModel);
    files.mouthMotion = motionFilePath(audioFolder, stem, kMouthKind, kRobotModel);
  }
  files.led = ledFilePath(audioFolder, stem);
  return files;
}

std::array<std::uint64_t, 5> newFileSizes(const std::vector<RecordingPlan>& plans,
                                          std::uint64_t oldConfigurationSize) {
  std::uint64_t sounds = 0;
  std::uint64_t motions = 0;
  std::uint64_t leds = 0;
  std::uint64_t catalogue = 0;
  platform::MemorySink blocks;
  for (const RecordingPlan& plan : plans) {
    sounds += plan.soundBytes;
    motions += plan.motionBytes;
    leds += plan.ledBytes;
    catalogue += actionCatalogueLine(plan.name, plan.number, plan.audioOnly).size();
    writeActionBlock(blocks, plan.number, plan.name, plan.hasFullBodyMotion(), plan.audioOnly);
  }
  const auto count = static_cast<std::uint32_t>(plans.size());
  return {archiveBytes(count, sounds),
          archiveBytes(static_cast<std::uint32_t>(kMotionSlotsPerRecording) * count, motions),
          archiveBytes(count, leds), catalogue,
          std::max<std::uint64_t>(oldConfigurationSize, kMwcHeaderSize) + blocks.bytes().size()};
}

std::uint64_t bytesNeeded(const std::vector<RecordingPlan>& plans,
                          std::uint64_t oldConfigurationSize, std::uint64_t clusterSize) {
  constexpr std::uint64_t kGrowingFolders = 3;
  std::uint64_t total = (1 + kGrowingFolders) * platform::clusterRounded(1, clusterSize);
  for (const std::uint64_t size : newFileSizes(plans, oldConfigurationSize)) {
    total += platform::clusterRounded(size, clusterSize);
  }
  return total;
}

}  // namespace velk_mur
