#pragma once
// What the stick knows about each numbered action: the archive entries its ERS-7.MWC block
// names, and how long its sound and motions last, read from AUDIO.ODA and MOTION.ODA. A
// program checker and a desktop run of the program learn from it which actions exist and how
// long they play; the run's window also draws a talking action's head from it.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "velk_mur/preview/recording_preview.h"

namespace velk_mur {

struct StickAction {
  std::int32_t number = 0;
  std::vector<std::string> entryNames;  // as the block names them (lower case when generated)
  std::optional<double> soundSeconds;   // the sound's length, when its entry could be read
  std::optional<double> motionSeconds;  // the longest motion's last key frame
  bool talks = false;                   // has a mouth or full-body motion beside a sound
  // The action's length on the robot, when anything about it is known.
  std::optional<double> seconds() const;
};

struct StickActions {
  bool configurationRead = false;    // ERS-7.MWC was there and read
  std::vector<StickAction> actions;  // in the configuration's block order
  std::string problem;               // the first file missing, unreadable or malformed
  const StickAction* find(std::int32_t number) const;
};

// Reads OPEN-R/MW/CONF/ERS-7.MWC and the archives under OPEN-R/MW/DATA/P of `stickRoot`.
// An archive that is missing or unreadable only leaves the lengths unknown.
StickActions readStickActions(const std::filesystem::path& stickRoot);

// The picture data of one action as packed on the stick, for the animated head.
PreviewLoad loadStickActionPreview(const std::filesystem::path& stickRoot, std::int32_t number);

}  // namespace velk_mur
