#pragma once
// The interface of velk_mur's import module, velk_mur_import: Import and Say, which decode
// sound with FFmpeg and speak with eSpeak NG.
//
// Those libraries and the codecs they bring are some 150 shared libraries. Linked into the
// program they would be loaded by every command, even --version, costing tens of milliseconds
// and megabytes each time, and a single missing codec library would stop the program from
// starting at all. So they live in a module that is loaded only when an import or a speech
// is asked for, by the command line or by the dialog.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/messenger.h"
#include "velk_mur/commands/commands.h"
#include "velk_mur/import/import_options.h"

namespace velk_mur {

// The module's commands, each as velk_mur/import_module/import_commands.h describes it.
struct ImportCommands {
  CommandResult (*importFiles)(const std::vector<std::string>& files,
                               const std::optional<std::string>& name, const ImportOptions& options,
                               std::string_view audioPath, platform::Messenger& messenger);
  CommandResult (*say)(std::string_view text, const std::string& name, const SpeechSettings& speech,
                       const ImportOptions& options, std::string_view audioPath,
                       platform::Messenger& messenger);
  CommandResult (*listVoices)(platform::Messenger& messenger);
  std::optional<std::vector<VoiceInfo>> (*installedVoices)();
};

// The one function the module exports: its commands.
inline constexpr const char* kImportCommandsEntryPoint = "velk_mur_import_commands";
using ImportCommandsFunction = const ImportCommands*();

struct LoadedImportCommands {
  const ImportCommands* commands = nullptr;
  std::string problem;  // when there are none: why the module could not be loaded
};

// Loads the module on the first call.
LoadedImportCommands loadImportCommands();

}  // namespace velk_mur
