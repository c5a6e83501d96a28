#include "velk_mur/generate/folder_passes.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "amplitude.h"
#include "generated_check.h"
#include "head_motion.h"
#include "led_pattern.h"
#include "mouth_motion.h"
#include "platform/ascii_text.h"
#include "platform/files.h"
#include "platform/folder_listing.h"
#include "platform/path_text.h"
#include "velk_mur/generate/key_frames.h"
#include "velk_mur/generate/naming.h"
#include "velk_mur/generate/wav_input.h"

namespace fs = std::filesystem;

namespace velk_mur {

namespace {

constexpr int kMissingNamesListed = 4;

constexpr const char* kBadFileName = "Bad file name (must be alphanumeric maybe with an '_')";
constexpr const char* kNoRecordings = "No .WAV files found, please add some and try again";
constexpr const char* kDamagedGenerated =
    "Damaged generated file: please delete it and Generate again";
constexpr const char* kUncheckable =
    "Could not check whether a generated file is there: the folder may be unreadable";
constexpr const char* kImportHint =
    "Import it to make a WAV the robot can play (Import... or velk_mur import)";

int countAudioToImport(const fs::path& folder) {
  int count = 0;
  for (const std::string& name : platform::listFolder(folder, "*").names) {
    for (const std::string_view pattern : kImportableSoundPatterns) {
      if (platform::matchesWildcard(pattern, name)) {
        ++count;
        break;
      }
    }
  }
  return count;
}

// A folder that cannot be read is not an empty one.
void reportUnreadableFolder(const fs::path& folder, platform::Messenger& messenger) {
  const bool absent = platform::listFolder(folder, "*").folder == platform::FileState::Absent;
  messenger.show(std::string(absent ? "The audio folder does not exist\n"
                                    : "Could not read the audio folder\n") +
                     platform::pathToText(folder),
                 true);
}

// A folder of sound files in other formats is not an empty folder: the user is told so.
std::string noRecordingsText(const fs::path& folder) {
  const int toImport = countAudioToImport(folder);
  if (toImport == 0) return kNoRecordings;
  return std::string(kNoRecordings) + "\n" + std::to_string(toImport) +
         " audio files in other formats need importing (Import... or velk_mur import)";
}

void report(platform::Messenger& messenger, const std::string& text, const std::string& concerned) {
  messenger.show(text + "\n" + concerned, true);
}

bool askToContinue(platform::Messenger& messenger, const std::string& text,
                   const std::string& concerned) {
  return messenger.ask(text + "\n" + concerned + "\nContinue Checking?");
}

// Creates whichever of one recording's generated files are missing.
bool generateForRecording(const fs::path& folder, const std::string& listedName,
                          const std::string& name, GenerationResult& result,
                          platform::Messenger& messenger) {
  const fs::path headPath = motionFilePath(folder, name, kHeadKind, kRobotModel);
  const fs::path mouthPath = motionFilePath(folder, name, kMouthKind, kRobotModel);
  const fs::path ledPath = ledFilePath(folder, name);
  // The case resolver's folder view answers for absent names without a scan per file. A file
  // that could not be checked is not made again over what may be there.
  bool needHead = false;
  bool needMouth = false;
  bool needLed = false;
  for (const auto& [path, need] :
       {std::pair{&headPath, &needHead}, std::pair{&mouthPath, &needMouth},
        std::pair{&ledPath, &needLed}}) {
    const platform::FileState state = platform::fileState(*path);
    if (state == platform::FileState::Unknown) {
      report(messenger, kUncheckable, platform::pathToText(*path));
      return false;
    }
    *need = state == platform::FileState::Absent;
  }
  if (!needHead && !needMouth && !needLed) return true;

  // The messages name the recording as folder/name.WAV, the spelling users know; the file
  // is opened under its listed name, which is the same file without a search for its case.
  const fs::path wavPath = recordingPath(folder, name);
  const fs::path listedPath = folder / platform::textToPath(listedName);
  WavHeaderInfo info;
  if (readWavHeader(listedPath, info) != WavCheck::Good) {
    report(messenger, "Bad WAV file", platform::pathToText(wavPath) + "\n" + kImportHint);
    return false;
  }
  // Refused from the header alone, before any memory is taken or any file written.
  if (info.dataLength > kMaxClipSamples) {
    report(messenger,
           "WAV file too long (at most " + std::to_string(kMaxClipSamples) +
               " samples, about 87 minutes, fit in a motion file)",
           platform::pathToText(wavPath));
    return false;
  }
  const ClipLoadResult load = loadClipSamples(listedPath, info);
  if (load.status == ClipLoadStatus::Missing) {
    report(messenger, "Bad WAV file (missing)", platform::pathToText(wavPath));
    return false;
  }
  if (load.status != ClipLoadStatus::Loaded) {
    report(messenger, "Bad WAV file (read error)", platform::pathToText(wavPath));
    return false;
  }

  // One histogram serves both the mouth and the LEDs.
  const AmplitudeHistogram histogram =
      needMouth || needLed ? buildAmplitudeHistogram(load.clip.samples) : AmplitudeHistogram{};
  if (needHead) {
    if (!generateHeadMotion(headPath, motionName(name, kHeadKind, kRobotModel), load.clip)) {
      report(messenger, "Head motion generation err", platform::pathToText(headPath));
      return false;
    }
    ++result.motionFilesCreated;
  }
  if (needMouth) {
    if (!generateMouthMotion(mouthPath, motionName(name, kMouthKind, kRobotModel), load.clip,
                             histogram)) {
      report(messenger, "Mouth motion generation err", platform::pathToText(mouthPath));
      return false;
    }
    ++result.motionFilesCreated;
  }
  if (needLed) {
    if (!generateLedPattern(ledPath, load.clip, histogram)) {
      report(messenger, "LED generation err", platform::pathToText(ledPath));
      return false;
    }
    ++result.ledFilesCreated;
  }
  return true;
}

// The configuration holds at most 1001 actions, names of 2 to 100 characters, and compares
// names without case; a recording that would break these is refused before any question.
bool reportActionLimitProblem(const fs::path& folder, const std::vector<std::string>& listed,
                              platform::Messenger& messenger) {
  if (listed.size() > static_cast<std::size_t>(kMaxActions)) {
    report(messenger, "Too many .WAV files (at most " + std::to_string(kMaxActions) + " actions)",
           platform::pathToText(folder));
    return true;
  }
  std::map<std::string, std::string> byLowerName;
  for (const std::string& fileName : listed) {
    const std::string name = recordingName(fileName);
    if (name.size() < kMinActionNameLength) {
      report(messenger,
             "Action name too short (at least " + std::to_string(kMinActionNameLength) +
                 " characters)",
             fileName);
      return true;
    }
    if (name.size() > kMaxActionNameLength) {
      report(
          messenger,
          "Action name too long (at most " + std::to_string(kMaxActionNameLength) + " characters)",
          fileName);
      return true;
    }
    const auto [it, inserted] = byLowerName.emplace(platform::toLowerAscii(name), fileName);
    if (!inserted) {
      report(messenger, "Two .WAV files differ only in letter case", it->second + "\n" + fileName);
      return true;
    }
  }
  return false;
}

// The first of the recording's generated files that the save would pack but that does not
// have the shape the generator writes. The user's own full-body motion is not ours to judge.
std::optional<fs::path> damagedGeneratedFile(const fs::path& folder, const std::string& name,
                                             bool hasFullBody) {
  std::vector<std::pair<fs::path, GeneratedKind>> files;
  if (!hasFullBody) {
    files.emplace_back(motionFilePath(folder, name, kHeadKind, kRobotModel), GeneratedKind::Motion);
    files.emplace_back(motionFilePath(folder, name, kMouthKind, kRobotModel),
                       GeneratedKind::Motion);
  }
  files.emplace_back(ledFilePath(folder, name), GeneratedKind::Led);
  for (const auto& [path, kind] : files) {
    if (!isWellFormedGeneratedFile(path, kind)) return path;
  }
  return std::nullopt;
}

// "a,b,c,d..." : at most four names, then three dots.
void addMissing(std::string& list, int& missingCount, const std::string& name) {
  if (missingCount == 0) {
    list += name;
  } else if (missingCount < kMissingNamesListed) {
    list += "," + name;
  } else if (missingCount == kMissingNamesListed) {
    list += "...";
  }
  ++missingCount;
}

// What the check pass has found so far.
struct FolderTally {
  int good = 0;
  int bad = 0;
  int missing = 0;
  std::string missingList;
  std::int64_t soundBytes = 0;
};

enum class RecordingCheck { Counted, Declined, Refused };

CheckStatus stopOrRefusal(RecordingCheck check) {
  return check == RecordingCheck::Declined ? CheckStatus::Stopped : CheckStatus::Refused;
}

// Whether the save would find the recording's motions and LED file; Unknown when a file could
// not be checked (reported).
enum class Presence { Present, Missing, Unknown };

struct GeneratedFiles {
  Presence presence = Presence::Unknown;
  bool fullBody = false;  // the user's full-body motion stands for the head and mouth motions
};

GeneratedFiles generatedFilesPresence(const fs::path& folder, const std::string& name,
                                      platform::Messenger& messenger) {
  const auto state = [&](const fs::path& path) {
    const platform::FileState found = platform::fileState(path);
    if (found == platform::FileState::Unknown)
      report(messenger, kUncheckable, platform::pathToText(path));
    return found;
  };
  using platform::FileState;
  const FileState fullBody = state(motionFilePath(folder, name, kFullBodyKind, kRobotModel));
  if (fullBody == FileState::Unknown) return {};
  const bool hasFullBody = fullBody == FileState::Present;
  std::vector<fs::path> needed;
  if (!hasFullBody) {
    needed.push_back(motionFilePath(folder, name, kHeadKind, kRobotModel));
    needed.push_back(motionFilePath(folder, name, kMouthKind, kRobotModel));
  }
  // The save needs every recording's LED file, so its absence counts as missing too.
  needed.push_back(ledFilePath(folder, name));
  for (const fs::path& path : needed) {
    const FileState found = state(path);
    if (found == FileState::Unknown) return {};
    if (found == FileState::Absent) return {Presence::Missing, hasFullBody};
  }
  return {Presence::Present, hasFullBody};
}

// One recording: its name, its format and its generated files, tallied; a problem the user
// may pass over is asked about.
RecordingCheck checkRecording(const fs::path& folder, const std::string& fileName,
                              FolderTally& tally, platform::Messenger& messenger) {
  const std::string name = recordingName(fileName);
  if (!isValidClipName(name) && !askToContinue(messenger, kBadFileName, name)) {
    return RecordingCheck::Declined;
  }
  const fs::path wavPath = folder / platform::textToPath(fileName);
  WavHeaderInfo info;
  const WavCheck check = readWavHeader(wavPath, info);
  if (check != WavCheck::Good) {
    std::string text = "Bad format .WAV file\n";
    if (check == WavCheck::WrongFormat) text += "must be 8kHz, 8-bit mono (Windows WAV format)";
    if (check == WavCheck::ExtraInformation) text += "please turn off extra audio information";
    if (!askToContinue(messenger, text, platform::pathToText(wavPath))) {
      return RecordingCheck::Declined;
    }
    ++tally.bad;
    return RecordingCheck::Counted;
  }
  tally.soundBytes += info.dataLength;
  ++tally.good;
  const GeneratedFiles generated = generatedFilesPresence(folder, name, messenger);
  if (generated.presence == Presence::Unknown) return RecordingCheck::Refused;
  if (generated.presence == Presence::Missing) {
    addMissing(tally.missingList, tally.missing, name);
    return RecordingCheck::Counted;
  }
  if (const std::optional<fs::path> damaged =
          damagedGeneratedFile(folder, name, generated.fullBody)) {
    report(messenger, kDamagedGenerated, platform::pathToText(*damaged));
    return RecordingCheck::Refused;
  }
  return RecordingCheck::Counted;
}

// Bad formats first, then an empty folder, then missing files: false after reporting one.
bool reportFolderVerdict(const FolderTally& tally, platform::Messenger& messenger) {
  if (tally.bad > 0) {
    messenger.show(
        "Please correct bad format .WAV files and try again\nImporting them makes WAV files the "
        "robot can play (Import... or velk_mur import)",
        true);
    return false;
  }
  if (tally.good == 0) {
    messenger.show(kNoRecordings, true);
    return false;
  }
  if (tally.missing > 0) {
    messenger.show("Missing motion/led files for " + std::to_string(tally.missing) + " actions\n(" +
                       tally.missingList + ")\nPlease Generate new ones",
                   true);
    return false;
  }
  return true;
}

}  // namespace

GenerationResult generateMissingFiles(const fs::path& audioFolder, platform::Messenger& messenger) {
  GenerationResult result;
  const platform::FolderListing listing = platform::listFolder(audioFolder, kRecordingPattern);
  if (!listing.read()) {
    reportUnreadableFolder(audioFolder, messenger);
    return result;
  }
  const std::vector<std::string>& listed = listing.names;
  if (listed.empty() && countAudioToImport(audioFolder) > 0) {
    messenger.show(noRecordingsText(audioFolder), true);
    return result;
  }
  const int total = static_cast<int>(listed.size());
  for (int i = 0; i < total; ++i) {
    // Cancel stops between recordings, so every file written is complete.
    if (!messenger.progress("Generating", i, total)) return result;
    const std::string& listedName = listed[static_cast<std::size_t>(i)];
    const std::string name = recordingName(listedName);
    if (!isValidClipName(name)) {
      report(messenger, kBadFileName, name);
      return result;
    }
    if (!generateForRecording(audioFolder, listedName, name, result, messenger)) {
      return result;
    }
  }
  // Reported only once on the disk: a computer that loses power keeps what it said it made.
  if (result.motionFilesCreated + result.ledFilesCreated > 0 &&
      !platform::flushFolderAndFiles(generatedFolder(audioFolder))) {
    report(messenger, "Could not write the generated files to the disk",
           platform::pathToText(generatedFolder(audioFolder)));
    return result;
  }
  if (total > 0 && !messenger.progress("Generating", total, total)) return result;
  result.ok = true;
  return result;
}

CheckResult checkAudioFolder(const fs::path& audioFolder, platform::Messenger& messenger) {
  CheckResult result;
  const platform::FolderListing listing = platform::listFolder(audioFolder, kRecordingPattern);
  if (!listing.read()) {
    reportUnreadableFolder(audioFolder, messenger);
    result.count = -1;
    return result;
  }
  const std::vector<std::string>& listed = listing.names;
  if (listed.empty()) {
    messenger.show(noRecordingsText(audioFolder), true);
    return result;
  }
  if (reportActionLimitProblem(audioFolder, listed, messenger)) return result;

  FolderTally tally;
  const int total = static_cast<int>(listed.size());
  for (int i = 0; i < total; ++i) {
    if (!messenger.progress("Checking", i, total)) return {CheckStatus::Stopped};
    const RecordingCheck check =
        checkRecording(audioFolder, listed[static_cast<std::size_t>(i)], tally, messenger);
    if (check != RecordingCheck::Counted) return {stopOrRefusal(check)};
  }
  if (!messenger.progress("Checking", total, total)) return {CheckStatus::Stopped};
  if (!reportFolderVerdict(tally, messenger)) return result;
  return {CheckStatus::Ready, tally.good, tally.soundBytes};
}

}  // namespace velk_mur
