#include "velk_mur/stick/stick_room.h"

#include "platform/files.h"
#include "platform/folder_listing.h"
#include "save_plan.h"
#include "stick_file.h"
#include "velk_mur/generate/naming.h"

namespace fs = std::filesystem;

namespace velk_mur {

std::optional<StickRoom> roomForSave(const fs::path& audioFolder, const fs::path& stickRoot) {
  const std::optional<platform::SpaceInfo> space = platform::spaceInfo(stickRoot);
  if (!space) return std::nullopt;
  const std::vector<RecordingPlan> plans =
      planRecordings(audioFolder, platform::listFolder(audioFolder, kRecordingPattern).names);
  const fs::path configuration =
      stickFilePath(stickRoot, kConfigurationName, kConfigurationExtension);
  StickRoom room;
  room.needed =
      bytesNeeded(plans, platform::fileSize(configuration).value_or(0), space->clusterSize);
  room.available = space->available;
  room.clusterSize = space->clusterSize;
  return room;
}

std::uint64_t talkingActionsBytes(const fs::path& stickRoot, std::uint64_t clusterSize) {
  std::uint64_t total = 0;
  for (std::string_view archive : {kAudioArchiveName, kMotionArchiveName, kLedArchiveName}) {
    const std::optional<std::uint64_t> size =
        platform::fileSize(stickFilePath(stickRoot, archive, kArchiveExtension));
    total += platform::clusterRounded(size.value_or(0), clusterSize);
  }
  return total;
}

}  // namespace velk_mur
