#pragma once
// The stick as a medium: finding it wherever it was mounted, how full it is, and its backups.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/messenger.h"
#include "platform/stick_finder.h"
#include "velk_mur/commands/app_settings.h"
#include "velk_mur/commands/commands.h"
#include "velk_mur/stick/stick_room.h"

namespace velk_mur {

// Typed as the stick path, this asks for whichever robot stick is mounted.
inline constexpr std::string_view kAutoStickPath = "auto";

// When the stick path is "auto", or is `stored` (not typed for this run) and names a folder
// that is no longer there, replaces it with the one mounted robot stick and says so. False
// (reported, with the list) when there is none or there are several; true when nothing was
// to be done.
bool resolveStickPath(PathTexts& paths, bool stored, platform::VolumeSource& volumes,
                      const AppEnvironment& environment, platform::Messenger& messenger);

// "The save needs 1.2 MB on the stick (612 clusters of 2 KB); 14.3 MB are free", with a
// warning when that is not enough.
std::string roomText(const StickRoom& room);

// The stick's file system, size, cluster size, free space and the talking actions' share, and
// a warning naming the file system when the robot cannot read it.
std::vector<std::string> stickMediumLines(const std::filesystem::path& stickRoot,
                                          const std::vector<platform::Volume>& volumes);

// Copies the whole OPEN-R tree of the stick into a new dated backup: into `toText` when given,
// else into the stick's own backups in the user's data folder.
CommandResult runBackup(const PathTexts& paths, std::string_view toText,
                        const AppEnvironment& environment, platform::Messenger& messenger);

// Puts the backup `backupText` (a dated backup folder) back on the stick, then inspects it.
CommandResult runRestore(const PathTexts& paths, std::string_view backupText,
                         const AppEnvironment& environment, platform::Messenger& messenger);

// The stick's backups in the user's data folder, newest first, one line each with its folder.
CommandResult listStickBackups(const PathTexts& paths, const AppEnvironment& environment,
                               platform::Messenger& messenger);

}  // namespace velk_mur
