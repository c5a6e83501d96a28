#pragma once
// Finding the robot's memory stick among the mounted volumes, wherever and under whatever
// name the system mounted it: a volume is a stick when it holds the file a program works on.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/volumes.h"

namespace platform {

// The action configuration, which every stick with talking actions carries.
inline constexpr std::string_view kMotionStickMarker = "OPEN-R/MW/CONF/ERS-7.MWC";
// The R-CODE program, which the program editor opens.
inline constexpr std::string_view kProgramStickMarker = "OPEN-R/APP/PC/AMS/R-CODE.R";

// Where the mounted volumes come from: the system, or a list of folders in tests.
class VolumeSource {
 public:
  virtual ~VolumeSource() = default;
  virtual VolumeListing list() = 0;
};

class SystemVolumes final : public VolumeSource {
 public:
  VolumeListing list() override { return mountedVolumes(); }
};

// Whether the volume holds `marker` (a stick-relative path), in any letter case.
FileState holdsMarker(const Volume& volume, std::string_view marker);

// The volumes that hold `marker`, in the source's order. Volumes that could not be checked are
// named in the listing's problem rather than taken for absent.
VolumeListing findSticks(VolumeSource& source, std::string_view marker);

// "/media/owner/AIBO (FAT16, 15.6 MB, AIBO)": how a stick is named in lists and messages.
std::string describeStick(const Volume& volume);

// The one stick to use when the user asked for whichever is plugged in: the stick, or why
// none was taken (none found, or several, listed).
struct StickPick {
  std::optional<Volume> stick;
  std::string problem;
};
StickPick pickOneStick(VolumeSource& source, std::string_view marker);

// What changed between two looks at the mounted sticks.
struct StickChange {
  std::vector<Volume> arrived;
  std::vector<Volume> left;
  bool any() const { return !arrived.empty() || !left.empty(); }
};

// The watcher's memory, without any event source: each refresh lists the sticks again and
// says what arrived and what left. The system's signals and a timer only decide when.
class StickTracker {
 public:
  StickTracker(VolumeSource& source, std::string_view marker) : source_(source), marker_(marker) {}

  StickChange refresh();
  const std::vector<Volume>& sticks() const { return sticks_; }
  // Why the last look may have missed a stick; empty when it was complete.
  const std::string& problem() const { return problem_; }

 private:
  VolumeSource& source_;
  std::string marker_;
  std::vector<Volume> sticks_;
  std::string problem_;
};

// Text for sizes in messages: "15.6 MB", "812 KB", "512 bytes".
std::string sizeText(std::uint64_t bytes);

}  // namespace platform
