#pragma once
// Backups of the stick's files on the computer, and putting one back: the files a save
// replaces are copied before every save, and a restore replaces them the way a save does, so
// it too ends with the stick entirely as before or entirely as backed up.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/messenger.h"

namespace velk_mur {

// The robot's program, which the program editor saves.
inline constexpr std::string_view kProgramFileName = "OPEN-R/APP/PC/AMS/R-CODE.R";

// The stick-relative names of the five files a save replaces.
std::vector<std::string> savedFileNames();

// Copies the files a save replaces into a dated backup in `backupsFolder` (one folder per
// stick inside it). False (reported) when they could not all be copied: then the save must
// not start, since the stick would change without a way back.
bool backUpBeforeSave(const std::filesystem::path& stickRoot,
                      const std::filesystem::path& backupsFolder, platform::Messenger& messenger);

// Puts back the save's files and R-CODE.R that the backup holds. Holds the stick's save lock
// (and the program's, when R-CODE.R is restored) and first finishes or undoes an interrupted
// save. A save file the backup lacks stays as it is on the stick. The five save files are
// replaced together through the save's journal; R-CODE.R, which is independent of them, in
// one rename of its own. True once everything is in place and on the device; reported either
// way.
bool restoreBackup(const std::filesystem::path& backup, const std::filesystem::path& stickRoot,
                   platform::Messenger& messenger);

}  // namespace velk_mur
