#include "velk_mur/commands/commands.h"

#include <cstdio>
#include <vector>

#include "platform/files.h"
#include "platform/folder_listing.h"
#include "platform/path_text.h"
#include "velk_mur/commands/stick_commands.h"
#include "velk_mur/generate/folder_passes.h"
#include "velk_mur/generate/naming.h"
#include "velk_mur/stick/save_journal.h"
#include "velk_mur/stick/save_to_stick.h"
#include "velk_mur/stick/stick_paths.h"
#include "velk_mur/stick/stick_room.h"
#include "velk_version.h"

namespace fs = std::filesystem;

namespace velk_mur {

namespace {

const std::string kActionCatalogue =
    platform::dottedName(kActionCatalogueName, kActionCatalogueExtension);
const std::string kConfiguration =
    platform::dottedName(kConfigurationName, kConfigurationExtension);

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

// Either separator typed is taken as the system's own, so messages show native paths.
std::string withNativeSeparators(std::string_view text) {
  constexpr char kOther = kSeparator == '/' ? '\\' : '/';
  std::string result(text);
  for (char& c : result) {
    if (c == kOther) c = kSeparator;
  }
  return result;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "%20" and the like become their bytes; a "%" not followed by two hex digits stays.
std::string percentDecoded(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 &&
        hexDigit(text[i + 2]) >= 0) {
      result += static_cast<char>(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]));
      i += 2;
    } else {
      result += text[i];
    }
  }
  return result;
}

// The audio folder must be there before a pass runs over it: a mistyped path is not an empty
// folder.
bool audioFolderPresent(const fs::path& folder, platform::Messenger& messenger) {
  std::error_code error;
  const fs::file_status status = fs::status(folder, error);
  if (status.type() == fs::file_type::not_found) {
    messenger.show("Audio data folder not found\n" + platform::pathToText(folder), true);
    return false;
  }
  if (error) {
    messenger.show("Audio data folder could not be checked: " + error.message() + "\n" +
                       platform::pathToText(folder),
                   true);
    return false;
  }
  if (status.type() != fs::file_type::directory) {
    messenger.show("Audio data path is not a folder\n" + platform::pathToText(folder), true);
    return false;
  }
  return true;
}

std::string formatted(const char* format, auto... values) {
  const int size = std::snprintf(nullptr, 0, format, values...);
  if (size <= 0) return {};
  std::vector<char> buffer(static_cast<std::size_t>(size) + 1);
  std::snprintf(buffer.data(), buffer.size(), format, values...);
  return std::string(buffer.data(), static_cast<std::size_t>(size));
}

// Passes everything on and remembers whether the user cancelled a pass: a cancelled command
// ends quietly, without its failure message.
class CancelWatch : public platform::Messenger {
 public:
  explicit CancelWatch(platform::Messenger& inner) : inner_(inner) {}

  void show(std::string_view text, bool isError) override { inner_.show(text, isError); }
  bool ask(std::string_view question) override { return inner_.ask(question); }
  bool progress(std::string_view what, int done, int total) override {
    const bool goOn = inner_.progress(what, done, total);
    cancelled_ = cancelled_ || !goOn;
    return goOn;
  }

  bool cancelled() const { return cancelled_; }

 private:
  platform::Messenger& inner_;
  bool cancelled_ = false;
};

}  // namespace

std::string expandPathText(std::string_view text, const AppEnvironment& environment) {
  std::string result(text);
  if (text.starts_with("file://")) {
    std::string_view rest = text.substr(7);
    if (rest.starts_with("localhost/")) rest.remove_prefix(9);
    result = percentDecoded(rest);
#ifdef _WIN32
    // file:///C:/folder names C:/folder.
    if (result.size() >= 3 && result[0] == '/' && result[2] == ':') result.erase(0, 1);
#endif
    return result;
  }
  const bool homeRelative = text == "~" || text.starts_with("~/") || text.starts_with("~\\");
  if (homeRelative && !environment.homeFolder.empty()) {
    result = platform::pathToText(environment.homeFolder) + result.substr(1);
  }
  return result;
}

std::string collapseDoubleBackslashes(std::string_view text, char separator) {
  return platform::collapseSeparators(text, separator);
}

std::string stickFileText(std::string_view stickPath, std::string_view relativeName) {
  const std::string joined = std::string(stickPath) + "\\" + std::string(relativeName);
  return collapseDoubleBackslashes(withNativeSeparators(joined), kSeparator);
}

fs::path stickRootFromText(std::string_view stickPath) {
  // Formed like the checked files, so "E:" and "E:\" both mean the root "E:\".
  return platform::textToPath(stickFileText(stickPath, ""));
}

fs::path audioFolderFromText(std::string_view audioPath) {
  if (audioPath.empty()) return fs::path(".");
  return platform::textToPath(
      collapseDoubleBackslashes(withNativeSeparators(audioPath), kSeparator));
}

namespace {

enum class StickFileCheck { Readable, Absent, Unreadable };

// A stick file that is there but cannot be read is not an invalid path: it gets its own
// message.
StickFileCheck checkStickFile(const std::string& file, platform::Messenger& messenger) {
  const fs::path path = platform::textToPath(file);
  if (platform::fileExists(path)) return StickFileCheck::Readable;
  if (platform::fileState(path) == platform::FileState::Absent) return StickFileCheck::Absent;
  messenger.show("Could not read " + file + "\nThe memory stick may be unreadable or locked", true);
  return StickFileCheck::Unreadable;
}

// VELK7 plays a user action with the line "PLAY ACTION+ NAME // " and the rest of its
// ACTION.CFG line, indented by two blanks; the robot reads at most 127 bytes a line, its end
// included. Names whose line would be longer cannot be used there.
std::string namesTooLongForVelk7(const fs::path& audioFolder) {
  constexpr std::size_t kRobotLineLimit = 127;
  std::string names;
  for (const std::string& listed : platform::listFolder(audioFolder, kRecordingPattern).names) {
    const std::string name = recordingName(listed);
    const std::size_t comment = name.size() + (isAudioOnlyName(name) ? 17 : 20);  // NAME.WAV...
    const std::size_t length = 2 + 13 + name.size() + 4 + comment + 1;
    if (length > kRobotLineLimit) names += "\n" + name + " (" + std::to_string(length) + " bytes)";
  }
  return names;
}

}  // namespace

bool validateStickPath(const PathTexts& paths, const AppEnvironment& environment,
                       platform::Messenger& messenger) {
  const std::string stickPath = expandPathText(paths.stickPath, environment);
  // An interrupted save is finished, or what it lost written anew, before the stick's files are
  // checked: a stick pulled during a save may lack one of them until then.
  if (!recoverInterruptedSave(stickRootFromText(stickPath), messenger,
                              audioFolderFromText(expandPathText(paths.audioPath, environment)))) {
    return false;
  }
  const std::string catalogue = stickFileText(stickPath, kActionCatalogue);
  const StickFileCheck catalogueCheck = checkStickFile(catalogue, messenger);
  if (catalogueCheck == StickFileCheck::Absent) {
    messenger.show(
        "Invalid path for RCODE memory stick\nBe sure to install the VELK7 addon\n" + catalogue,
        true);
  }
  if (catalogueCheck != StickFileCheck::Readable) return false;
  const std::string configuration = stickFileText(stickPath, kConfiguration);
  const StickFileCheck configurationCheck = checkStickFile(configuration, messenger);
  if (configurationCheck == StickFileCheck::Absent) {
    messenger.show("Invalid path for RCODE-7 memory stick\n" + configuration, true);
  }
  if (configurationCheck != StickFileCheck::Readable) return false;
  // The paths are remembered as typed. Not being able to remember them does not stop the
  // command.
  storePathTexts(environment, paths);
  return true;
}

CommandResult runGenerate(const PathTexts& paths, const AppEnvironment& environment,
                          platform::Messenger& messenger) {
  if (!validateStickPath(paths, environment, messenger)) return {};
  const fs::path audioFolder = audioFolderFromText(expandPathText(paths.audioPath, environment));
  if (!audioFolderPresent(audioFolder, messenger)) return {};
  // It usually exists already; a real problem shows up in the pass.
  platform::createFolder(generatedFolder(audioFolder));
  CancelWatch watch(messenger);
  const GenerationResult result = generateMissingFiles(audioFolder, watch);
  if (watch.cancelled()) return {};
  if (!result.ok) {
    messenger.show("Error during egeneration\nPlease fix error and try again", true);
    return {};
  }
  if (result.motionFilesCreated == 0 && result.ledFilesCreated == 0) {
    messenger.show("Nothing regenerated\nReady to 'Save to Stick'", false);
  } else {
    messenger.show(formatted("Regenerated %d motion files and %d LED files\nReady to 'Save to "
                             "Stick'",
                             result.motionFilesCreated, result.ledFilesCreated),
                   false);
  }
  return {true, false};
}

std::string audioSizeText(std::int64_t totalSoundBytes) {
  const double megabytes = static_cast<double>(totalSoundBytes) * 0.000001;
  const char* warning = totalSoundBytes > kAudioWarningBytes ? " - WARNING " : "";
  return formatted("(%4.2fMB Audio%s)", megabytes, warning);
}

std::string testReport(int actionCount, std::int64_t totalSoundBytes) {
  return formatted("%d actions ok and ready to 'Save to Stick'\n", actionCount) +
         audioSizeText(totalSoundBytes);
}

CommandResult runTest(const PathTexts& paths, const AppEnvironment& environment,
                      platform::Messenger& messenger) {
  if (!validateStickPath(paths, environment, messenger)) return {};
  const fs::path audioFolder = audioFolderFromText(expandPathText(paths.audioPath, environment));
  if (!audioFolderPresent(audioFolder, messenger)) return {};
  const CheckResult check = checkAudioFolder(audioFolder, messenger);
  if (check.status != CheckStatus::Ready) return {};
  std::string report = testReport(check.count, check.totalSoundBytes);
  const fs::path stickRoot = stickRootFromText(expandPathText(paths.stickPath, environment));
  if (const std::optional<StickRoom> room = roomForSave(audioFolder, stickRoot)) {
    report += "\n" + roomText(*room);
  }
  messenger.show(report, false);
  return {true, false};
}

CommandResult runSaveToStick(const PathTexts& paths, const AppEnvironment& environment,
                             platform::Messenger& messenger,
                             const std::function<void(bool)>& setBusy) {
  if (!validateStickPath(paths, environment, messenger)) return {};
  const fs::path audioFolder = audioFolderFromText(expandPathText(paths.audioPath, environment));
  if (!audioFolderPresent(audioFolder, messenger)) return {};
  const CheckResult check = checkAudioFolder(audioFolder, messenger);
  if (check.status != CheckStatus::Ready) return {};
  if (check.totalSoundBytes > kAudioWarningBytes) {
    messenger.show("WARNING: You have a lot of .WAV files, they may not work", true);
  }
  if (environment.backupsFolder.empty()) {
    messenger.show(kNoBackupsFolder, true);
    return {};
  }
  if (const std::string names = namesTooLongForVelk7(audioFolder); !names.empty()) {
    messenger.show(
        "WARNING: VELK7 cannot add these actions to an event: the line that plays "
        "them would be longer than the 127 bytes the robot reads. Give them shorter "
        "names to use them there." +
            names,
        true);
  }
  if (setBusy) setBusy(true);
  CancelWatch watch(messenger);
  const bool saved =
      saveToStick(audioFolder, stickRootFromText(expandPathText(paths.stickPath, environment)),
                  watch, environment.backupsFolder);
  if (setBusy) setBusy(false);
  // A cancelled save has left the stick as it was, so the user may go on working.
  if (watch.cancelled()) return {};
  if (saved) messenger.show("Memory Stick Update Complete", false);
  return {saved, true};
}

CommandResult showAbout(platform::Messenger& messenger) {
  // Versions below one are shown without their leading zero: 0.11 is ".11".
  std::string_view version = velk::kVelkMurVersion;
  if (version.starts_with("0.")) version.remove_prefix(1);
  messenger.show("Murmelon\nanother Dravlen tool\nVersion " + std::string(version), false);
  return {true, false};
}

}  // namespace velk_mur
