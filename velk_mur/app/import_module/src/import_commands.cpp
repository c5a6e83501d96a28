#include "velk_mur/import_module/import_commands.h"

#include <cstdio>

#include "platform/path_text.h"
#include "velk_mur/import/recording_import.h"
#include "velk_mur/import/speech.h"

namespace fs = std::filesystem;

namespace velk_mur {

namespace {

std::string importedLine(std::string_view source, const ImportedRecording& recording) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.2f", recording.seconds);
  return recording.name + " (" + seconds + " s) from " + std::string(source);
}

void reportFolderTotal(std::string lines, const fs::path& folder, platform::Messenger& messenger) {
  const std::int64_t total = folderSoundBytes(folder);
  lines += audioSizeText(total);
  if (total > kAudioWarningBytes) lines += "\nThe robot may not play more than 3.00MB";
  messenger.show(lines, false);
}

}  // namespace

CommandResult runImport(const std::vector<std::string>& files,
                        const std::optional<std::string>& name, const ImportOptions& options,
                        std::string_view audioPath, platform::Messenger& messenger) {
  if (name && files.size() != 1) {
    messenger.show("A name can be given to one file only", true);
    return {};
  }
  const fs::path folder = audioFolderFromText(audioPath);
  std::string lines;
  int failed = 0;
  for (const std::string& file : files) {
    const auto recording =
        importAudioFile(platform::textToPath(file), folder, name, options, messenger);
    if (recording) {
      lines += importedLine(file, *recording) + "\n";
    } else {
      ++failed;
    }
  }
  const int imported = static_cast<int>(files.size()) - failed;
  if (imported == 0) {
    messenger.show("Nothing imported", true);
    return {};
  }
  if (failed > 0) {
    lines += std::to_string(failed) + " of " + std::to_string(files.size()) +
             " files could not be imported\n";
  }
  reportFolderTotal(lines, folder, messenger);
  return {failed == 0, false};
}

CommandResult runSay(std::string_view text, const std::string& name, const SpeechSettings& speech,
                     const ImportOptions& options, std::string_view audioPath,
                     platform::Messenger& messenger) {
  const SpeechResult spoken = synthesizeSpeech(text, speech);
  if (!spoken.ok) {
    messenger.show("Cannot speak the text\n" + spoken.reason, true);
    return {};
  }
  const fs::path folder = audioFolderFromText(audioPath);
  const std::string source = "\"" + std::string(text) + "\"";
  const auto recording = saveRecording(spoken.sound, source, folder, name, options, messenger);
  if (!recording) return {};
  reportFolderTotal(importedLine(source, *recording) + "\n", folder, messenger);
  return {true, false};
}

CommandResult listVoices(platform::Messenger& messenger) {
  const auto voices = installedVoices();
  if (!voices) {
    messenger.show("eSpeak NG or its voices (espeak-ng-data) cannot be found", true);
    return {};
  }
  std::string lines;
  for (const VoiceInfo& voice : *voices) {
    lines += voice.language + "  " + voice.identifier + "  " + voice.name + "\n";
  }
  if (!lines.empty()) lines.pop_back();
  messenger.show(lines, false);
  return {true, false};
}

const ImportCommands& importCommands() {
  static constexpr ImportCommands kCommands{runImport, runSay, listVoices, installedVoices};
  return kCommands;
}

}  // namespace velk_mur
