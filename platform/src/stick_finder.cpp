#include "platform/stick_finder.h"

#include <algorithm>
#include <cstdio>

#include "platform/case_path.h"
#include "platform/path_text.h"

namespace fs = std::filesystem;

namespace platform {

namespace {

// A stick mounted again at the same place is a different medium when its serial differs.
bool sameStick(const Volume& a, const Volume& b) {
  return a.root == b.root && a.serial == b.serial && a.label == b.label;
}

bool contains(const std::vector<Volume>& list, const Volume& volume) {
  return std::any_of(list.begin(), list.end(),
                     [&](const Volume& known) { return sameStick(known, volume); });
}

}  // namespace

std::string sizeText(std::uint64_t bytes) {
  constexpr double kKilo = 1024.0;
  char text[32];
  if (bytes < 1024) {
    std::snprintf(text, sizeof text, "%llu bytes", static_cast<unsigned long long>(bytes));
  } else if (bytes < 1024ULL * 1024) {
    std::snprintf(text, sizeof text, "%.0f KB", static_cast<double>(bytes) / kKilo);
  } else if (bytes < 1024ULL * 1024 * 1024) {
    std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / (kKilo * kKilo));
  } else {
    std::snprintf(text, sizeof text, "%.1f GB",
                  static_cast<double>(bytes) / (kKilo * kKilo * kKilo));
  }
  return text;
}

FileState holdsMarker(const Volume& volume, std::string_view marker) {
  return fileState(resolveCase(volume.root / textToPath(marker)));
}

VolumeListing findSticks(VolumeSource& source, std::string_view marker) {
  VolumeListing listing = source.list();
  VolumeListing sticks;
  sticks.problem = listing.problem;
  for (Volume& volume : listing.volumes) {
    switch (holdsMarker(volume, marker)) {
      case FileState::Present:
        sticks.volumes.push_back(std::move(volume));
        break;
      case FileState::Unknown:
        if (!sticks.problem.empty()) sticks.problem += "\n";
        sticks.problem += pathToText(volume.root) + " could not be checked";
        break;
      case FileState::Absent:
        break;
    }
  }
  return sticks;
}

std::string describeStick(const Volume& volume) {
  std::string text = pathToText(volume.root);
  std::string details = volume.fileSystem;
  if (volume.size != 0) details += (details.empty() ? "" : ", ") + sizeText(volume.size);
  if (!volume.label.empty()) details += (details.empty() ? "" : ", ") + volume.label;
  if (!details.empty()) text += " (" + details + ")";
  return text;
}

StickPick pickOneStick(VolumeSource& source, std::string_view marker) {
  const VolumeListing sticks = findSticks(source, marker);
  StickPick pick;
  if (sticks.volumes.size() == 1) {
    pick.stick = sticks.volumes.front();
    return pick;
  }
  if (sticks.volumes.empty()) {
    pick.problem = "No memory stick of the robot is mounted (none holds " + std::string(marker) +
                   ")\nPlug one in, or give the stick's folder";
    if (!sticks.problem.empty()) pick.problem += "\n" + sticks.problem;
    return pick;
  }
  pick.problem = "Several memory sticks of the robot are mounted; give the one to use:";
  for (const Volume& stick : sticks.volumes) pick.problem += "\n  " + describeStick(stick);
  return pick;
}

StickChange StickTracker::refresh() {
  VolumeListing now = findSticks(source_, marker_);
  StickChange change;
  for (const Volume& stick : now.volumes) {
    if (!contains(sticks_, stick)) change.arrived.push_back(stick);
  }
  for (const Volume& stick : sticks_) {
    if (!contains(now.volumes, stick)) change.left.push_back(stick);
  }
  sticks_ = std::move(now.volumes);
  problem_ = std::move(now.problem);
  return change;
}

}  // namespace platform
