#pragma once
// How much room a save will take on the stick beside the room there is, counted as the save
// counts it before it writes: each new file in whole clusters, and one cluster for its journal.
#include <cstdint>
#include <filesystem>
#include <optional>

namespace velk_mur {

struct StickRoom {
  std::uint64_t needed = 0;     // bytes the save's new files take, in whole clusters
  std::uint64_t available = 0;  // bytes free on the stick now
  std::uint64_t clusterSize = 1;
  bool enough() const { return needed <= available; }
};

// The room for saving the audio folder's recordings to the stick; nothing when the stick's
// free space cannot be asked.
std::optional<StickRoom> roomForSave(const std::filesystem::path& audioFolder,
                                     const std::filesystem::path& stickRoot);

// The bytes the three data archives take on the stick in whole clusters: what the talking
// actions occupy.
std::uint64_t talkingActionsBytes(const std::filesystem::path& stickRoot,
                                  std::uint64_t clusterSize);

}  // namespace velk_mur
