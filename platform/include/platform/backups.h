#pragma once
// Dated copies of a stick's files on the computer, made before anything replaces them: one
// folder per stick (by its serial or label), one dated folder per backup inside it, the newest
// ten kept. A backup mirrors the stick's own tree, so putting it back is copying it over.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/volumes.h"

namespace platform {

inline constexpr std::size_t kBackupsKept = 10;

// The user's data folder: $XDG_DATA_HOME (when absolute), else ~/.local/share; on Windows the
// local application data folder. Nothing when neither can be found.
std::optional<std::filesystem::path> userDataFolder();

// <data folder>/velk-tools/backups
std::optional<std::filesystem::path> defaultBackupsFolder();

// The folder of one stick's backups below `backupsFolder`, named by volumeKey.
std::filesystem::path stickBackupsFolder(const std::filesystem::path& backupsFolder,
                                         const Volume& stick);

// The volume the stick's root lies on, or a stand-in named by the root's own folder when the
// system's list of volumes does not have it.
Volume stickVolume(const std::filesystem::path& stickRoot);

struct BackupEntry {
  std::filesystem::path folder;
  std::string date;  // "2026-12-07 08:15:02", from the folder's name
  bool operator==(const BackupEntry&) const = default;
};

// One stick's backups, newest first. Unfinished ones (left by a program that was stopped while
// copying) are not listed. An unreadable folder lists none and says why.
struct BackupList {
  std::vector<BackupEntry> backups;
  std::string problem;
};
BackupList listBackups(const std::filesystem::path& stickBackups);

// Copies the stick-relative `files` that are on the stick into a new dated folder below
// `backups`, keeping their relative paths; files absent from the stick are left out, and
// when none is there no backup is made. The copy is flushed before the folder gets its final
// name; then the oldest backups beyond `keep` are removed (0 keeps all). Returns the backup,
// or why none could be made (a file that could not be checked or copied, a folder that cannot
// be written).
struct BackupResult {
  std::optional<std::filesystem::path> folder;
  std::string problem;
};
BackupResult backUpFiles(const std::filesystem::path& stickRoot,
                         const std::vector<std::string>& files,
                         const std::filesystem::path& backups, std::size_t keep = kBackupsKept);

// Every file below the stick's `subtree` ("OPEN-R"), as stick-relative texts.
struct FileList {
  std::vector<std::string> files;
  std::string problem;
};
FileList filesBelow(const std::filesystem::path& stickRoot, std::string_view subtree);

}  // namespace platform
