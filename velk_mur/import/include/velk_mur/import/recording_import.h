#pragma once
// Sound into the audio folder as a recording the robot plays: the name checked, the file
// written whole or not at all, and a replaced recording's generated files removed.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/messenger.h"
#include "velk_mur/import/conversion.h"

namespace velk_mur {

struct ImportedRecording {
  std::string name;  // as the folder lists it
  double seconds = 0.0;
};

// Converts `sound` and writes it as folder/NAME.wav; `source` names the sound in messages.
// Reports any problem once and returns nothing.
std::optional<ImportedRecording> saveRecording(const MonoSound& sound, std::string_view source,
                                               const std::filesystem::path& folder,
                                               const std::string& name,
                                               const ImportOptions& options,
                                               platform::Messenger& messenger);

// Decodes an audio file and saves it under `name`, or under the name made from its file name.
std::optional<ImportedRecording> importAudioFile(const std::filesystem::path& file,
                                                 const std::filesystem::path& folder,
                                                 const std::optional<std::string>& name,
                                                 const ImportOptions& options,
                                                 platform::Messenger& messenger);

// The sound data bytes of the folder's recordings that the robot can play, as Test counts them.
std::int64_t folderSoundBytes(const std::filesystem::path& folder);

}  // namespace velk_mur
