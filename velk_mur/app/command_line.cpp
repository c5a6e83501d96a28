#include "velk_mur/app/command_line.h"

#include <istream>
#include <optional>
#include <ostream>
#include <string_view>

#include "platform/messenger.h"
#include "velk_mur/app/commands.h"
#include "velk_mur/app/preview_commands.h"

namespace velk_mur {

namespace {

constexpr std::string_view kProgramName = "velk_mur";

enum class Command { Generate, Test, Save, Preview, Inspect, About };

struct Options {
  Command command = Command::About;
  bool help = false;
  std::optional<std::string> stickPath;
  std::optional<std::string> audioPath;
  std::optional<platform::AnswerPolicy> answers;
  std::string recording;  // preview: the recording's name
  std::string output;     // preview: the picture file
};

struct ParseResult {
  std::optional<Options> options;
  std::string error;  // why the arguments are not usable
};

std::optional<Command> commandNamed(std::string_view name) {
  if (name == "generate") return Command::Generate;
  if (name == "test") return Command::Test;
  if (name == "save") return Command::Save;
  if (name == "preview") return Command::Preview;
  if (name == "inspect") return Command::Inspect;
  if (name == "about") return Command::About;
  return std::nullopt;
}

ParseResult failure(std::string reason) {
  return {std::nullopt, std::move(reason)};
}

ParseResult parseArguments(const std::vector<std::string>& arguments) {
  Options options;
  std::optional<Command> command;
  for (std::size_t index = 0; index < arguments.size(); ++index) {
    const std::string& argument = arguments[index];
    if (argument == "--help" || argument == "-h") {
      options.help = true;
      continue;
    }
    if (argument == "--yes" || argument == "--no") {
      const auto policy = argument == "--yes" ? platform::AnswerPolicy::AlwaysYes
                                              : platform::AnswerPolicy::AlwaysNo;
      if (options.answers && *options.answers != policy) {
        return failure("--yes and --no cannot be given together");
      }
      options.answers = policy;
      continue;
    }
    const bool isStick = argument == "--stick" || argument.starts_with("--stick=");
    const bool isAudio = argument == "--audio" || argument.starts_with("--audio=");
    const bool isOutput = argument == "--out" || argument.starts_with("--out=");
    if (isStick || isAudio || isOutput) {
      const std::string name = isStick ? "--stick" : isAudio ? "--audio" : "--out";
      std::string value;
      if (argument.size() > name.size()) {
        value = argument.substr(name.size() + 1);
      } else if (index + 1 < arguments.size()) {
        value = arguments[++index];
      } else {
        return failure(name + " needs a path");
      }
      if (value.size() > kMaxPathText) {
        return failure(name + " path is longer than " + std::to_string(kMaxPathText) +
                       " characters");
      }
      if (isOutput) {
        options.output = value;
      } else {
        (isStick ? options.stickPath : options.audioPath) = value;
      }
      continue;
    }
    if (argument.starts_with("-") && argument != "-") {
      return failure("unknown option '" + argument + "'");
    }
    if (command == Command::Preview && options.recording.empty()) {
      options.recording = argument;
      continue;
    }
    if (command) return failure("unexpected argument '" + argument + "'");
    command = commandNamed(argument);
    if (!command) return failure("unknown command '" + argument + "'");
  }
  if (options.help) return {options, {}};
  if (!command) return failure("no command given");
  options.command = *command;
  if (options.command == Command::Preview && options.recording.empty()) {
    return failure("preview needs the name of a recording");
  }
  if (options.command != Command::Preview && !options.output.empty()) {
    return failure("--out belongs to preview");
  }
  if (options.command == Command::About &&
      (options.stickPath || options.audioPath || options.answers)) {
    return failure("about takes no options");
  }
  return {options, {}};
}

platform::AnswerPolicy answerPolicy(const Options& options, bool inputIsTerminal) {
  if (options.answers) return *options.answers;
  return inputIsTerminal ? platform::AnswerPolicy::AskOnTerminal : platform::AnswerPolicy::AlwaysNo;
}

}  // namespace

std::string usageText() {
  return R"(Usage:
  velk_mur                                  open the dialog
  velk_mur generate [--stick PATH] [--audio PATH] [--yes|--no]
  velk_mur test     [--stick PATH] [--audio PATH] [--yes|--no]
  velk_mur save     [--stick PATH] [--audio PATH] [--yes|--no]
  velk_mur preview NAME [--audio PATH] [--out FILE]
  velk_mur inspect  [--stick PATH]
  velk_mur about
  velk_mur --help

Commands:
  generate  create the missing motion and LED files for the recordings in the audio folder
  test      check the recordings and report how many actions are ready and their audio size
  save      check the recordings, then write the actions to the memory stick
  preview   draw what the robot will do for recording NAME: sound, mouth, head and face LEDs
            over time, as PNG or SVG by the file's extension (default NAME.png here)
  inspect   show what is on the stick and check that its files agree with each other
  about     show the program's version

Options:
  --stick PATH  the memory stick's root folder (the folder holding OPEN-R)
  --audio PATH  the audio folder holding the .wav recordings
  --yes, --no   answer every question with Yes or No; without them questions are asked on
                the terminal, or answered No when standard input is not a terminal

A path left out is taken from VELK.INI in the current folder (section VELK_MUR, keys
MEMSTICK and LOCALDATA). Once the stick path passes its check, both paths are stored there.

Exit status: 0 the command succeeded, 1 it reported a failure, 2 bad usage.
)";
}

int runCommandLine(const std::vector<std::string>& arguments, TerminalStreams streams,
                   const AppEnvironment& environment, RenderPreviewFunction renderPreview) {
  const ParseResult parsed = parseArguments(arguments);
  if (!parsed.options) {
    streams.err << kProgramName << ": " << parsed.error << "\nTry '" << kProgramName
                << " --help' for more information.\n";
    return kExitUsage;
  }
  const Options& options = *parsed.options;
  if (options.help) {
    streams.out << usageText();
    return kExitSuccess;
  }

  platform::TerminalMessenger messenger(streams.out, streams.err, streams.in,
                                        answerPolicy(options, streams.inputIsTerminal));
  if (options.command == Command::About) {
    return showAbout(messenger).ok ? kExitSuccess : kExitFailure;
  }

  PathTexts paths;
  if (!options.stickPath || !options.audioPath) paths = loadPathTexts(environment);
  if (options.stickPath) paths.stickPath = *options.stickPath;
  if (options.audioPath) paths.audioPath = *options.audioPath;

  CommandResult result;
  switch (options.command) {
    case Command::Generate:
      result = runGenerate(paths, environment, messenger);
      break;
    case Command::Test:
      result = runTest(paths, environment, messenger);
      break;
    case Command::Save:
      result = runSaveToStick(paths, environment, messenger);
      break;
    case Command::Preview:
      result = runPreview(paths, options.recording, options.output, environment, messenger,
                          renderPreview);
      break;
    case Command::Inspect:
      result = runInspect(paths, messenger);
      break;
    case Command::About:
      break;
  }
  return result.ok ? kExitSuccess : kExitFailure;
}

}  // namespace velk_mur
