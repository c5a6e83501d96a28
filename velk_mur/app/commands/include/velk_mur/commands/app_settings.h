#pragma once
// The two paths the program remembers between runs, in VELK.INI in the current folder.
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace velk_mur {

// The longest path text taken from an edit box or the settings file.
inline constexpr std::size_t kMaxPathText = 259;

inline constexpr const char* kSettingsFileName = "VELK.INI";
inline constexpr const char* kSettingsSection = "VELK_MUR";
inline constexpr const char* kStickPathKey = "MEMSTICK";
inline constexpr const char* kAudioPathKey = "LOCALDATA";

// The two path texts as the user typed them.
struct PathTexts {
  std::string stickPath;
  std::string audioPath;
  bool operator==(const PathTexts&) const = default;
};

// Where the program runs: the settings file and the defaults depend on it.
struct AppEnvironment {
  std::filesystem::path currentFolder;
  std::filesystem::path homeFolder;  // unused on Windows
  // Where every save first copies the files it replaces; empty when no data folder was found.
  std::filesystem::path backupsFolder{};
};

// Why a save is refused when the environment has no backups folder.
inline constexpr std::string_view kNoBackupsFolder =
    "No folder for backups of the memory stick was found (the home folder is not set), so "
    "nothing was saved";

// The process's current folder, (elsewhere than on Windows) the HOME folder and the backups
// folder in the user's data folder.
AppEnvironment processEnvironment();

std::filesystem::path settingsFilePath(const AppEnvironment& environment);

// The stick path when none is stored: on Windows the drive root of the current folder (its
// first three characters), elsewhere the mount point of the file system holding it.
std::string defaultStickPath(const AppEnvironment& environment);

// The audio path when none is stored: "c:\aibo\mydata" on Windows, elsewhere aibo/mydata in
// the home folder.
std::string defaultAudioPath(const AppEnvironment& environment);

// Both paths from the settings file, each cut to kMaxPathText characters, with the defaults.
PathTexts loadPathTexts(const AppEnvironment& environment);

// Writes both paths into the settings file; false when it could not be written.
bool storePathTexts(const AppEnvironment& environment, const PathTexts& paths);

}  // namespace velk_mur
