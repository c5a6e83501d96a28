#pragma once
// The program's commands, shared by the dialog's buttons and the command line: each takes the
// two path texts as typed and reports through the Messenger.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "platform/messenger.h"
#include "velk_mur/commands/app_settings.h"

namespace velk_mur {

inline constexpr const char* kProgramTitle = "VELK Murmelon";

// The program's exit status: success, a reported failure, bad usage (or no display to show
// the dialog on).
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Audio data above this many bytes may not play on the robot.
inline constexpr std::int64_t kAudioWarningBytes = 3000000;

struct CommandResult {
  bool ok = false;           // the command did what it was asked
  bool closeDialog = false;  // only a save that got as far as writing, uncancelled, ends it
};

// A path as typed or given on the command line, with "~" (alone or followed by a separator)
// replaced by the home folder and a file:// URL turned into its path. Other texts are kept.
std::string expandPathText(std::string_view text, const AppEnvironment& environment);

// Every run of two or more backslashes (or of the system's separator, which backslashes have
// become elsewhere than on Windows) becomes one; a network path keeps its opening pair.
std::string collapseDoubleBackslashes(std::string_view text, char separator = '\\');

// A stick file's path text: the stick path, a separator and the stick-relative name, with
// doubled separators collapsed. Elsewhere than on Windows backslashes are separators too and
// become "/".
std::string stickFileText(std::string_view stickPath, std::string_view relativeName);

// The folder a stick path names, as used for every file of the save (the same tree as the
// path check tests, with or without a trailing separator).
std::filesystem::path stickRootFromText(std::string_view stickPath);

// The audio folder a path text names; an empty text means the current folder.
std::filesystem::path audioFolderFromText(std::string_view audioPath);

// Tests that the stick carries ACTION.CFG and ERS-7.MWC, and stores both paths in the
// settings file when it does; then finishes or undoes a save to the stick that was
// interrupted. Reports what is missing or could not be recovered.
bool validateStickPath(const PathTexts& paths, const AppEnvironment& environment,
                       platform::Messenger& messenger);

CommandResult runGenerate(const PathTexts& paths, const AppEnvironment& environment,
                          platform::Messenger& messenger);

CommandResult runTest(const PathTexts& paths, const AppEnvironment& environment,
                      platform::Messenger& messenger);

// `setBusy` is called with true just before the stick is written and false right after, so a
// dialog can show the wait cursor.
CommandResult runSaveToStick(const PathTexts& paths, const AppEnvironment& environment,
                             platform::Messenger& messenger,
                             const std::function<void(bool)>& setBusy = {});

CommandResult showAbout(platform::Messenger& messenger);

// "(%4.2fMB Audio%s)": the sound data against what the robot may play, with " - WARNING "
// above kAudioWarningBytes.
std::string audioSizeText(std::int64_t totalSoundBytes);

// "%d actions ok and ready to 'Save to Stick'\n(%4.2fMB Audio%s)"
std::string testReport(int actionCount, std::int64_t totalSoundBytes);

}  // namespace velk_mur
