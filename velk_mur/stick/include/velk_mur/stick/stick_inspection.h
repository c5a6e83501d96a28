#pragma once
// What a stick holds and whether it hangs together: the action catalogue, the action
// configuration and the three data archives, shown as text and checked against each other.
#include <filesystem>
#include <string>
#include <vector>

namespace velk_mur {

struct StickInspection {
  std::vector<std::string> listing;   // what is on the stick, line by line
  std::vector<std::string> notes;     // worth knowing, but not wrong
  std::vector<std::string> problems;  // one line per inconsistency or unreadable file
  // The files the stick needs and does not hold or could not read: ACTION.CFG, ERS-7.MWC, and
  // each archive that the generator's own actions need.
  std::vector<std::string> missing;
};

// Reads ACTION.CFG, ERS-7.MWC, AUDIO.ODA, MOTION.ODA and LED.ODA under `stickRoot` and checks
// that every catalogue number has its block, every name in the generator's own blocks is in
// the archive of its kind, and every archive entry lies in its file and parses as its kind.
StickInspection inspectStick(const std::filesystem::path& stickRoot);

}  // namespace velk_mur
