#include "velk_mur/app/commands.h"

#include <cstdio>
#include <vector>

#include "platform/files.h"
#include "velk_mur/generate/folder_passes.h"
#include "velk_mur/generate/naming.h"
#include "velk_mur/stick/save_to_stick.h"

namespace fs = std::filesystem;

namespace velk_mur {

namespace {

constexpr std::string_view kActionCatalogue = "OPEN-R\\APP\\PC\\AMS\\ACTION.CFG";
constexpr std::string_view kConfiguration = "OPEN-R\\MW\\CONF\\ERS-7.MWC";

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

std::string collapseDoubledSeparators(std::string_view text, char separator) {
  std::string result;
  result.reserve(text.size());
  for (const char c : text) {
    if (c == separator && !result.empty() && result.back() == separator) continue;
    result += c;
  }
  return result;
}

// Backslashes typed on a system whose separator is "/" are taken as separators.
std::string withNativeSeparators(std::string_view text) {
  std::string result(text);
  if constexpr (kSeparator != '\\') {
    for (char& c : result) {
      if (c == '\\') c = kSeparator;
    }
  }
  return result;
}

std::string formatted(const char* format, auto... values) {
  const int size = std::snprintf(nullptr, 0, format, values...);
  if (size <= 0) return {};
  std::vector<char> buffer(static_cast<std::size_t>(size) + 1);
  std::snprintf(buffer.data(), buffer.size(), format, values...);
  return std::string(buffer.data(), static_cast<std::size_t>(size));
}

}  // namespace

std::string collapseDoubleBackslashes(std::string_view text) {
  return collapseDoubledSeparators(text, '\\');
}

std::string stickFileText(std::string_view stickPath, std::string_view relativeName) {
  const std::string joined = std::string(stickPath) + "\\" + std::string(relativeName);
  return collapseDoubledSeparators(withNativeSeparators(joined), kSeparator);
}

fs::path stickRootFromText(std::string_view stickPath) {
  // Formed like the checked files, so "E:" and "E:\" both mean the root "E:\".
  return fs::path(stickFileText(stickPath, ""));
}

fs::path audioFolderFromText(std::string_view audioPath) {
  if (audioPath.empty()) return fs::path(".");
  return fs::path(collapseDoubledSeparators(withNativeSeparators(audioPath), kSeparator));
}

bool validateStickPath(const PathTexts& paths, const AppEnvironment& environment,
                       platform::Messenger& messenger) {
  const std::string catalogue = stickFileText(paths.stickPath, kActionCatalogue);
  if (!platform::fileExists(catalogue)) {
    messenger.show("Invalid path for RCODE memory stick", true);
    messenger.show("Be sure to install the VELK7 addon", true);
    messenger.show(catalogue, true);
    return false;
  }
  const std::string configuration = stickFileText(paths.stickPath, kConfiguration);
  if (!platform::fileExists(configuration)) {
    messenger.show("Invalid path for RCODE-7 memory stick", true);
    messenger.show(configuration, true);
    return false;
  }
  // Not being able to remember the paths does not stop the command.
  storePathTexts(environment, paths);
  return true;
}

CommandResult runGenerate(const PathTexts& paths, const AppEnvironment& environment,
                          platform::Messenger& messenger) {
  if (!validateStickPath(paths, environment, messenger)) return {};
  const fs::path audioFolder = audioFolderFromText(paths.audioPath);
  // It usually exists already; a real problem shows up in the pass.
  platform::createFolder(generatedFolder(audioFolder));
  const GenerationResult result = generateMissingFiles(audioFolder, messenger);
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
  const CheckResult check = checkAudioFolder(audioFolderFromText(paths.audioPath), messenger);
  if (check.count <= 0) return {};
  messenger.show(testReport(check.count, check.totalSoundBytes), false);
  return {true, false};
}

CommandResult runSaveToStick(const PathTexts& paths, const AppEnvironment& environment,
                             platform::Messenger& messenger,
                             const std::function<void(bool)>& setBusy) {
  if (!validateStickPath(paths, environment, messenger)) return {};
  const fs::path audioFolder = audioFolderFromText(paths.audioPath);
  const CheckResult check = checkAudioFolder(audioFolder, messenger);
  if (check.count <= 0) return {};
  if (check.totalSoundBytes > kAudioWarningBytes) {
    messenger.show("WARNING: You have a lot of .WAV files, they may not work", false);
  }
  if (setBusy) setBusy(true);
  const bool saved =
      saveToStick(audioFolder, stickRootFromText(paths.stickPath), check.count, messenger);
  if (setBusy) setBusy(false);
  if (saved) messenger.show("Memory Stick Update Complete", false);
  return {saved, true};
}

CommandResult showAbout(platform::Messenger& messenger) {
  messenger.show("Murmelon\nanother Dravlen tool\nVersion .11", false);
  return {true, false};
}

}  // namespace velk_mur
