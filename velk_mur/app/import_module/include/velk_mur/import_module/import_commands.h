#pragma once
// Import and Say, shared by the dialog and the command line through the import module: sound
// files or typed text into recordings in the audio folder, each reported with its name and
// length, then the folder's total audio as Test shows it.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/messenger.h"
#include "velk_mur/commands/commands.h"
#include "velk_mur/commands/import_module.h"
#include "velk_mur/import/import_options.h"

namespace velk_mur {

// Imports every file, going on past the ones that fail; ok only when all were imported.
// `name` is for a single file only.
CommandResult runImport(const std::vector<std::string>& files,
                        const std::optional<std::string>& name, const ImportOptions& options,
                        std::string_view audioPath, platform::Messenger& messenger);

CommandResult runSay(std::string_view text, const std::string& name, const SpeechSettings& speech,
                     const ImportOptions& options, std::string_view audioPath,
                     platform::Messenger& messenger);

// One line per installed voice: language, identifier and name, each of which --voice takes.
CommandResult listVoices(platform::Messenger& messenger);

// These commands, as the import module hands them to the program.
const ImportCommands& importCommands();

}  // namespace velk_mur
