#include "velk_mur/commands/preview_commands.h"

#include <array>
#include <string>

#include "platform/ascii_text.h"
#include "platform/path_text.h"
#include "velk_mur/commands/stick_commands.h"
#include "velk_mur/generate/wav_input.h"
#include "velk_mur/stick/save_to_stick.h"
#include "velk_mur/stick/stick_inspection.h"

namespace velk_mur {

namespace {

std::string joinedLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    if (!text.empty()) text += '\n';
    text += line;
  }
  return text;
}

// "hello" and "hello.wav" both name the recording hello.
std::string_view withoutWavExtension(std::string_view name) {
  constexpr std::string_view kExtension = ".wav";
  if (name.size() > kExtension.size() &&
      platform::equalsIgnoreCase(name.substr(name.size() - kExtension.size()), kExtension)) {
    name.remove_suffix(kExtension.size());
  }
  return name;
}

}  // namespace

CommandResult runPreview(const PathTexts& paths, std::string_view name, std::string_view outputText,
                         const AppEnvironment& environment, platform::Messenger& messenger,
                         RenderPreviewFunction* render, std::string_view renderProblem) {
  const std::string recording(withoutWavExtension(name));
  if (!isValidClipName(recording)) {
    messenger.show("'" + std::string(name) + "' is not a recording's name", true);
    return {};
  }
  if (render == nullptr) {
    messenger.show("Pictures cannot be drawn: " + std::string(renderProblem), true);
    return {};
  }
  const PreviewLoad load = loadRecordingPreview(audioFolderFromText(paths.audioPath), recording);
  if (!load.preview) {
    messenger.show(load.problem, true);
    return {};
  }
  const std::filesystem::path output =
      environment.currentFolder / (outputText.empty() ? platform::textToPath(recording + ".png")
                                                      : platform::textToPath(outputText));
  std::array<char, 512> problem{};
  if (render(&*load.preview, platform::pathToText(output).c_str(), problem.data(),
             problem.size()) != 1) {
    messenger.show(problem.data(), true);
    return {};
  }
  messenger.show("Preview of " + recording + " saved to " + platform::pathToText(output), false);
  return {true, false};
}

CommandResult runInspect(const PathTexts& paths, platform::Messenger& messenger) {
  // What an interrupted save left is finished first, so the stick is shown as it stands.
  const std::filesystem::path stickRoot = stickRootFromText(paths.stickPath);
  if (!recoverInterruptedSave(stickRoot, messenger, audioFolderFromText(paths.audioPath))) {
    return {};
  }
  const StickInspection inspection = inspectStick(stickRoot);
  std::vector<platform::Volume> holding;
  if (std::optional<platform::Volume> volume = platform::volumeOf(stickRoot)) {
    holding.push_back(*volume);
  }
  std::vector<std::string> shown = stickMediumLines(stickRoot, holding);
  shown.push_back("");
  shown.insert(shown.end(), inspection.listing.begin(), inspection.listing.end());
  if (!inspection.notes.empty()) shown.push_back("");
  for (const std::string& note : inspection.notes) shown.push_back("note: " + note);
  messenger.show(joinedLines(shown), false);
  if (!inspection.problems.empty()) {
    messenger.show(joinedLines(inspection.problems), true);
    return {};
  }
  messenger.show("Stick is consistent", false);
  return {true, false};
}

}  // namespace velk_mur
