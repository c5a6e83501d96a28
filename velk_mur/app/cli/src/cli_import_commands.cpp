// Import and Say on the command line.
#include <CLI/CLI.hpp>
#include <memory>
#include <optional>

#include "command_line.h"
#include "velk_mur/commands/import_module.h"

namespace velk_mur {

namespace {

// The import module's commands, loaded now; without them the reason is reported.
const ImportCommands* importCommandsOrReport(platform::Messenger& messenger) {
  const LoadedImportCommands loaded = loadImportCommands();
  if (loaded.commands == nullptr) messenger.show(loaded.problem, true);
  return loaded.commands;
}

struct ConversionFlags {
  bool replace = false;
  bool keepLevel = false;
  bool keepSilence = false;

  ImportOptions options() const {
    return {{keepLevel, keepSilence},
            replace ? ExistingRecording::Replace : ExistingRecording::Refuse};
  }
};

void addConversionFlags(CLI::App& command, ConversionFlags& flags) {
  command.add_flag("--replace", flags.replace,
                   "replace a recording of the same name and delete its generated files");
  command.add_flag("--keep-level", flags.keepLevel, "keep the level (default: peak at -1 dBFS)");
  command.add_flag("--keep-silence", flags.keepSilence,
                   "keep silence at both ends (default: cut below -40 dBFS, 50 ms kept)");
}

void registerImport(CommandLine& commandLine) {
  struct Arguments {
    std::vector<std::string> files;
    std::optional<std::string> name;
    ConversionFlags flags;
  };
  const auto arguments = std::make_shared<Arguments>();
  CLI::App& command = commandLine.addCommand(
      "import", "convert sound files of any common format into recordings in the audio folder",
      [arguments](CommandContext& context) {
        const ImportCommands* commands = importCommandsOrReport(context.messenger);
        return commands != nullptr &&
               commands
                   ->importFiles(arguments->files, arguments->name, arguments->flags.options(),
                                 context.paths.audioPath, context.messenger)
                   .ok;
      });
  command.add_option("FILE", arguments->files, "the sound files (WAV, MP3, M4A, FLAC, Ogg, ...)")
      ->required();
  command.add_option("--name", arguments->name, "the recording's name (one file only)")
      ->type_name("NAME");
  addConversionFlags(command, arguments->flags);
  commandLine.addAudioPathOption(command);
  command.parse_complete_callback([arguments] {
    if (arguments->name && arguments->files.size() > 1) {
      throw CLI::ValidationError("--name", "can be given with one file only");
    }
  });
}

void registerSay(CommandLine& commandLine) {
  struct Arguments {
    std::optional<std::string> text;
    std::optional<std::string> name;
    SpeechSettings speech;
    bool listVoices = false;
    ConversionFlags flags;
  };
  const auto arguments = std::make_shared<Arguments>();
  CLI::App& command = commandLine.addCommand(
      "say", "make a recording from typed text with eSpeak NG",
      [arguments](CommandContext& context) {
        const ImportCommands* commands = importCommandsOrReport(context.messenger);
        if (commands == nullptr) return false;
        if (arguments->listVoices) return commands->listVoices(context.messenger).ok;
        return commands
            ->say(*arguments->text, *arguments->name, arguments->speech, arguments->flags.options(),
                  context.paths.audioPath, context.messenger)
            .ok;
      });
  CLI::Option* text = command.add_option("TEXT", arguments->text, "what to say");
  CLI::Option* name =
      command.add_option("--name", arguments->name, "the recording's name")->type_name("NAME");
  command.add_option("--voice", arguments->speech.voice, "a language, voice identifier or name")
      ->type_name("V")
      ->default_val(arguments->speech.voice);
  command.add_option("--speed", arguments->speech.wordsPerMinute, "words per minute")
      ->type_name("WPM")
      ->check(CLI::Range(kMinWordsPerMinute, kMaxWordsPerMinute))
      ->default_val(arguments->speech.wordsPerMinute);
  command.add_option("--pitch", arguments->speech.pitch, "0 to 100, 50 is the voice's own")
      ->type_name("P")
      ->check(CLI::Range(0, kMaxPitch))
      ->default_val(arguments->speech.pitch);
  command.add_flag("--list-voices", arguments->listVoices, "list the installed voices")
      ->excludes(text)
      ->excludes(name);
  addConversionFlags(command, arguments->flags);
  commandLine.addAudioPathOption(command);
  command.parse_complete_callback([arguments] {
    if (!arguments->listVoices && (!arguments->text || !arguments->name)) {
      throw CLI::ValidationError("say", "needs the text and --name, or --list-voices");
    }
  });
}

}  // namespace

void registerImportCommands(CommandLine& commandLine) {
  registerImport(commandLine);
  registerSay(commandLine);
}

}  // namespace velk_mur
