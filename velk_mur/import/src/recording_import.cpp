#include "velk_mur/import/recording_import.h"

#include <system_error>
#include <vector>

#include "platform/ascii_text.h"
#include "platform/files.h"
#include "platform/folder_listing.h"
#include "platform/path_text.h"
#include "velk_mur/generate/key_frames.h"
#include "velk_mur/generate/naming.h"
#include "velk_mur/generate/wav_input.h"
#include "velk_mur/generate/wav_output.h"
#include "velk_mur/import/action_names.h"

namespace fs = std::filesystem;

namespace velk_mur {

namespace {

// The extension a recording is written under until it is whole.
constexpr std::string_view kPartialExtension = "part";

struct Target {
  fs::path path;
  std::string name;
  bool replacing = false;
};

void report(platform::Messenger& messenger, const std::string& text) {
  messenger.show(text, true);
}

// The listed file name of the folder's recording called `name` in any letter case.
std::optional<std::string> listedRecording(const fs::path& folder, std::string_view name) {
  for (const std::string& listed : platform::listFolder(folder, kRecordingPattern).names) {
    if (platform::equalsIgnoreCase(recordingName(listed), name)) return listed;
  }
  return std::nullopt;
}

// Decides where the recording goes, before any work is spent on its sound.
std::optional<Target> prepareTarget(const fs::path& folder, const std::string& name,
                                    const ImportOptions& options, platform::Messenger& messenger) {
  if (!isUsableActionName(name)) {
    report(messenger, "Cannot use the name " + name +
                          "\nA recording's name starts with a letter, holds only letters, digits "
                          "and '_', and is 2 to " +
                          std::to_string(kMaxActionNameLength) + " characters long");
    return std::nullopt;
  }
  std::error_code error;
  const bool isFolder = fs::is_directory(folder, error);
  if (error && error != std::errc::no_such_file_or_directory) {
    report(messenger, "The audio folder cannot be read (" + error.message() + ")\n" +
                          platform::pathToText(folder));
    return std::nullopt;
  }
  if (!isFolder) {
    report(messenger, "The audio folder does not exist\n" + platform::pathToText(folder));
    return std::nullopt;
  }
  const std::optional<std::string> listed = listedRecording(folder, name);
  if (!listed) return Target{folder / (name + ".wav"), name, false};
  const std::string text =
      "A recording named " + recordingName(*listed) + " is in the audio folder already";
  switch (options.existing) {
    case ExistingRecording::Refuse:
      report(messenger, text + "\nImport with --replace to replace it");
      return std::nullopt;
    case ExistingRecording::Ask:
      if (!messenger.ask(text + "\nReplace it?")) return std::nullopt;
      break;
    case ExistingRecording::Replace:
      break;
  }
  // Kept under its listed spelling: names compare without case on the stick.
  return Target{folder / platform::textToPath(*listed), recordingName(*listed), true};
}

// A replaced recording's generated files would otherwise stay and be taken as current.
bool removeGeneratedFiles(const fs::path& folder, const std::string& name,
                          platform::Messenger& messenger) {
  const fs::path generated[] = {motionFilePath(folder, name, kHeadKind, kRobotModel),
                                motionFilePath(folder, name, kMouthKind, kRobotModel),
                                ledFilePath(folder, name)};
  for (const fs::path& path : generated) {
    if (platform::fileExists(path) && !platform::removeFile(path)) {
      report(messenger,
             "Cannot remove the replaced recording's file\n" + platform::pathToText(path));
      return false;
    }
  }
  return true;
}

std::optional<ImportedRecording> writeRecording(const MonoSound& sound, std::string_view source,
                                                const fs::path& folder, const Target& target,
                                                const ImportOptions& options,
                                                platform::Messenger& messenger) {
  const platform::Bytes samples = finishRecording(sound, options.conversion);
  if (std::ssize(samples) > kMaxClipSamples) {
    report(messenger, "Cannot import " + std::string(source) +
                          "\nlonger than a motion file can follow (about 87 minutes)");
    return std::nullopt;
  }
  // The new recording is written whole before the replaced one's generated files go, so a
  // failed write changes nothing.
  bool generatedRemoved = true;
  const platform::FileOutcome replaced =
      platform::replaceFile(target.path, robotWavFile(samples), kPartialExtension, [&] {
        generatedRemoved =
            !target.replacing || removeGeneratedFiles(folder, target.name, messenger);
        return generatedRemoved;
      });
  if (!replaced) {
    if (generatedRemoved) {
      report(messenger, "Cannot write the recording\n" + platform::pathToText(target.path));
    }
    return std::nullopt;
  }
  return ImportedRecording{target.name, static_cast<double>(samples.size()) / kRobotSampleRate};
}

}  // namespace

std::optional<ImportedRecording> saveRecording(const MonoSound& sound, std::string_view source,
                                               const fs::path& folder, const std::string& name,
                                               const ImportOptions& options,
                                               platform::Messenger& messenger) {
  const std::optional<Target> target = prepareTarget(folder, name, options, messenger);
  if (!target) return std::nullopt;
  return writeRecording(sound, source, folder, *target, options, messenger);
}

std::optional<ImportedRecording> importAudioFile(const fs::path& file, const fs::path& folder,
                                                 const std::optional<std::string>& name,
                                                 const ImportOptions& options,
                                                 platform::Messenger& messenger) {
  const std::string chosen = name ? *name : actionNameFromStem(platform::pathToText(file.stem()));
  const std::optional<Target> target = prepareTarget(folder, chosen, options, messenger);
  if (!target) return std::nullopt;
  const DecodeResult decoded = decodeAudioFile(file);
  if (!decoded.ok) {
    report(messenger, "Cannot import " + platform::pathToText(file) + "\n" + decoded.reason);
    return std::nullopt;
  }
  return writeRecording(decoded.sound, platform::pathToText(file), folder, *target, options,
                        messenger);
}

std::int64_t folderSoundBytes(const fs::path& folder) {
  std::int64_t total = 0;
  for (const std::string& listed : platform::listFolder(folder, kRecordingPattern).names) {
    WavHeaderInfo info;
    if (readWavHeader(folder / platform::textToPath(listed), info) == WavCheck::Good)
      total += info.dataLength;
  }
  return total;
}

}  // namespace velk_mur
