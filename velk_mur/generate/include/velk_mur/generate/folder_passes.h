#pragma once
// The two passes over the audio folder that the dialog's buttons run: the
// generation pass creates whichever generated files are missing, the check pass decides
// whether the folder is ready to be saved to the stick.
#include <cstdint>
#include <filesystem>

#include "platform/messenger.h"

namespace velk_mur {

struct GenerationResult {
  bool ok = false;
  int motionFilesCreated = 0;
  int ledFilesCreated = 0;
};

// Creates the missing head motion, mouth motion and LED file of every recording in the folder.
// The caller has created the GEN folder. Stops at the first problem, which it reports, or
// between two recordings when the messenger's progress says not to go on (not ok, silently).
GenerationResult generateMissingFiles(const std::filesystem::path& audioFolder,
                                      platform::Messenger& messenger);

enum class CheckStatus {
  Ready,    // every recording is ready to be saved
  Refused,  // a problem was reported: no recordings, bad ones, or files missing or damaged
  Stopped,  // the user cancelled, or answered not to go on after a problem
};

struct CheckResult {
  CheckStatus status = CheckStatus::Refused;
  int count = 0;                     // the recordings ready, when Ready
  std::int64_t totalSoundBytes = 0;  // their sound data, when Ready
};

// Checks every recording's name, format and generated files; reports its own problems.
CheckResult checkAudioFolder(const std::filesystem::path& audioFolder,
                             platform::Messenger& messenger);

}  // namespace velk_mur
