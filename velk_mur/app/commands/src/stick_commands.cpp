#include "velk_mur/commands/stick_commands.h"

#include <cstdio>
#include <system_error>

#include "platform/ascii_text.h"
#include "platform/backups.h"
#include "platform/path_text.h"
#include "velk_mur/commands/preview_commands.h"
#include "velk_mur/stick/save_journal.h"
#include "velk_mur/stick/stick_backup.h"

namespace fs = std::filesystem;

namespace velk_mur {

namespace {

constexpr std::string_view kStickTree = "OPEN-R";
constexpr std::string_view kLockFileName = "SAVE.LCK";

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    if (!text.empty()) text += "\n";
    text += line;
  }
  return text;
}

fs::path stickRootOf(const PathTexts& paths, const AppEnvironment& environment) {
  return stickRootFromText(expandPathText(paths.stickPath, environment));
}

std::optional<fs::path> backupsFolderOf(const AppEnvironment& environment,
                                        platform::Messenger& messenger) {
  if (!environment.backupsFolder.empty()) return environment.backupsFolder;
  messenger.show(std::string(kNoBackupsFolder), true);
  return std::nullopt;
}

// A backup named by its folder, or by its date among the stick's own backups.
std::optional<fs::path> findBackup(std::string_view text, const fs::path& stickRoot,
                                   const AppEnvironment& environment) {
  const fs::path typed = platform::textToPath(expandPathText(text, environment));
  std::error_code error;
  if (fs::is_directory(typed.is_absolute() ? typed : environment.currentFolder / typed, error)) {
    return typed.is_absolute() ? typed : environment.currentFolder / typed;
  }
  if (environment.backupsFolder.empty()) return std::nullopt;
  const platform::BackupList list = platform::listBackups(
      platform::stickBackupsFolder(environment.backupsFolder, platform::stickVolume(stickRoot)));
  for (const platform::BackupEntry& entry : list.backups) {
    if (entry.date == text || platform::pathToText(entry.folder.filename()) == text) {
      return entry.folder;
    }
  }
  return std::nullopt;
}

}  // namespace

bool resolveStickPath(PathTexts& paths, bool stored, platform::VolumeSource& volumes,
                      const AppEnvironment& environment, platform::Messenger& messenger) {
  const bool automatic = platform::equalsIgnoreCase(paths.stickPath, kAutoStickPath);
  if (!automatic) {
    if (!stored || paths.stickPath.empty()) return true;
    std::error_code error;
    const fs::file_status status = fs::status(stickRootOf(paths, environment), error);
    // Only a folder that is surely gone is replaced: one that could not be checked may be back.
    if (status.type() != fs::file_type::not_found) return true;
  }
  const platform::StickPick pick = platform::pickOneStick(volumes, platform::kMotionStickMarker);
  if (!pick.stick) {
    std::string text = pick.problem;
    if (!automatic) text = "The memory stick at " + paths.stickPath + " is not there\n" + text;
    messenger.show(text, true);
    return false;
  }
  paths.stickPath = platform::pathToText(pick.stick->root);
  messenger.show("Memory stick found: " + platform::describeStick(*pick.stick), false);
  return true;
}

std::string roomText(const StickRoom& room) {
  const std::uint64_t clusters = room.clusterSize > 1 ? room.needed / room.clusterSize : 0;
  std::string text = "The save needs " + platform::sizeText(room.needed) + " on the stick";
  if (clusters != 0) {
    text += " (" + std::to_string(clusters) + " clusters of " +
            platform::sizeText(room.clusterSize) + ")";
  }
  text += "; " + platform::sizeText(room.available) + " free";
  if (!room.enough()) text += "\nWARNING: not enough room on the memory stick";
  return text;
}

std::vector<std::string> stickMediumLines(const fs::path& stickRoot,
                                          const std::vector<platform::Volume>& volumes) {
  std::error_code error;
  fs::path root = fs::weakly_canonical(stickRoot, error);
  if (error) root = stickRoot;
  const std::optional<platform::Volume> volume = platform::volumeHolding(root, volumes);
  if (!volume) return {"File system: unknown (the stick is not among the mounted volumes)"};
  std::vector<std::string> lines;
  std::string system = "File system: " + volume->fileSystem;
  if (!volume->label.empty()) system += ", label " + volume->label;
  if (!volume->serial.empty()) system += ", serial " + volume->serial;
  lines.push_back(system);
  lines.push_back("Size: " + platform::sizeText(volume->size) + " in clusters of " +
                  platform::sizeText(volume->clusterSize) + ", " +
                  platform::sizeText(volume->available) + " free");
  const std::uint64_t talking = talkingActionsBytes(stickRoot, volume->clusterSize);
  const double share =
      volume->size != 0 ? 100.0 * static_cast<double>(talking) / static_cast<double>(volume->size)
                        : 0.0;
  char percent[16];
  std::snprintf(percent, sizeof percent, "%.1f%%", share);
  lines.push_back("Talking actions: " + platform::sizeText(talking) + " (" + percent +
                  " of the stick)");
  if (!platform::isFatFileSystem(volume->fileSystem)) {
    lines.push_back("WARNING: the stick's file system is " + volume->fileSystem +
                    "; the robot reads only FAT (FAT16 on its own sticks)");
  }
  return lines;
}

CommandResult runBackup(const PathTexts& paths, std::string_view toText,
                        const AppEnvironment& environment, platform::Messenger& messenger) {
  const fs::path stickRoot = stickRootOf(paths, environment);
  // The copy is taken whole: no save may change the stick meanwhile, and an interrupted one is
  // finished first.
  const std::optional<platform::FileLock> lock = lockStick(stickRoot, messenger);
  if (!lock || finishInterruptedSave(stickRoot, messenger).status == Recovery::Status::Failed) {
    return {};
  }
  platform::FileList list = platform::filesBelow(stickRoot, kStickTree);
  if (!list.problem.empty()) {
    messenger.show(list.problem, true);
    return {};
  }
  std::erase_if(list.files, [](const std::string& file) {
    return platform::equalsIgnoreCase(platform::pathToText(platform::textToPath(file).filename()),
                                      kLockFileName);
  });
  if (list.files.empty()) {
    messenger.show("Nothing to back up: the stick has no " + std::string(kStickTree) + " folder\n" +
                       platform::pathToText(stickRoot),
                   true);
    return {};
  }
  fs::path into;
  std::size_t keep = platform::kBackupsKept;
  if (!toText.empty()) {
    into = platform::textToPath(expandPathText(toText, environment));
    if (into.is_relative()) into = environment.currentFolder / into;
    keep = 0;  // the user's own folder: nothing in it is removed
  } else {
    const std::optional<fs::path> backups = backupsFolderOf(environment, messenger);
    if (!backups) return {};
    into = platform::stickBackupsFolder(*backups, platform::stickVolume(stickRoot));
  }
  const platform::BackupResult result = platform::backUpFiles(stickRoot, list.files, into, keep);
  if (!result.folder) {
    messenger.show(result.problem, true);
    return {};
  }
  messenger.show("Backed up " + std::to_string(list.files.size()) +
                     " files of the memory stick to " + platform::pathToText(*result.folder),
                 false);
  return {true, false};
}

CommandResult runRestore(const PathTexts& paths, std::string_view backupText,
                         const AppEnvironment& environment, platform::Messenger& messenger) {
  const fs::path stickRoot = stickRootOf(paths, environment);
  const std::optional<fs::path> backup = findBackup(backupText, stickRoot, environment);
  if (!backup) {
    messenger.show("No backup found by that name: " + std::string(backupText) +
                       "\n'velk_mur backup --list' shows the stick's backups",
                   true);
    return {};
  }
  if (!restoreBackup(*backup, stickRoot, messenger)) return {};
  return runInspect(paths, messenger);
}

CommandResult listStickBackups(const PathTexts& paths, const AppEnvironment& environment,
                               platform::Messenger& messenger) {
  const std::optional<fs::path> backups = backupsFolderOf(environment, messenger);
  if (!backups) return {};
  const fs::path folder = platform::stickBackupsFolder(
      *backups, platform::stickVolume(stickRootOf(paths, environment)));
  const platform::BackupList list = platform::listBackups(folder);
  if (!list.problem.empty()) {
    messenger.show(list.problem, true);
    return {};
  }
  if (list.backups.empty()) {
    messenger.show("No backups of this memory stick yet\n" + platform::pathToText(folder), false);
    return {true, false};
  }
  std::vector<std::string> lines;
  for (const platform::BackupEntry& entry : list.backups) {
    lines.push_back(entry.date + "  " + platform::pathToText(entry.folder));
  }
  messenger.show(joined(lines), false);
  return {true, false};
}

}  // namespace velk_mur
