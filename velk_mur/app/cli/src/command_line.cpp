#include "command_line.h"

#include <CLI/CLI.hpp>
#include <map>
#include <optional>
#include <ostream>
#include <set>

#include "velk_mur/commands/stick_commands.h"
#include "velk_version.h"

namespace velk_mur {

namespace {

constexpr const char* kProgramName = "velk_mur";

constexpr const char* kDescription =
    "Turns a folder of voice recordings into talking actions on the robot's memory stick.\n"
    "Without arguments it opens its dialog.";

constexpr const char* kFooter =
    "A path left out is taken from VELK.INI in the current folder (section VELK_MUR, keys\n"
    "MEMSTICK and LOCALDATA). Once the stick path passes its check, both paths are stored "
    "there.\n"
    "Without --yes or --no, questions are asked on the terminal, or answered No when standard\n"
    "input is not a terminal.\n"
    "\n"
    "Exit status: 0 the command succeeded, 1 it reported a failure, 2 bad usage.";

CLI::Validator pathLengthLimit() {
  return CLI::Validator(
      [](const std::string& value) -> std::string {
        if (value.size() <= kMaxPathText) return {};
        return "path is longer than " + std::to_string(kMaxPathText) + " characters";
      },
      "");
}

platform::AnswerPolicy answerPolicy(bool yes, bool no, bool inputIsTerminal) {
  if (yes) return platform::AnswerPolicy::AlwaysYes;
  if (no || !inputIsTerminal) return platform::AnswerPolicy::AlwaysNo;
  return platform::AnswerPolicy::AskOnTerminal;
}

}  // namespace

struct CommandLine::State {
  std::map<const CLI::App*, CommandAction> actions;
  std::set<const CLI::App*> takesPaths;
  std::set<const CLI::App*> takesStick;
  std::optional<std::string> stickPath;
  std::optional<std::string> audioPath;
  bool yes = false;
  bool no = false;
};

CommandLine::CommandLine()
    : app_(std::make_unique<CLI::App>(kDescription, kProgramName)),
      state_(std::make_unique<State>()) {
  app_->require_subcommand(1);
  app_->footer(kFooter);
  app_->get_formatter()->column_width(20);
  app_->set_version_flag("--version", std::string(kProgramName) + " " + velk::kVelkMurVersion,
                         "Print the program's version and exit");
}

CommandLine::~CommandLine() = default;

CLI::App& CommandLine::addCommand(const std::string& name, const std::string& description,
                                  CommandAction action) {
  CLI::App* command = app_->add_subcommand(name, description);
  state_->actions[command] = std::move(action);
  return *command;
}

void CommandLine::addPathOptions(CLI::App& command) {
  command
      .add_option("--stick", state_->stickPath,
                  "the memory stick's root folder (the folder holding OPEN-R), or 'auto' for "
                  "the one robot stick mounted")
      ->type_name("PATH")
      ->check(pathLengthLimit());
  state_->takesStick.insert(&command);
  addAudioPathOption(command);
}

void CommandLine::addAudioPathOption(CLI::App& command) {
  command.add_option("--audio", state_->audioPath, "the audio folder holding the .wav recordings")
      ->type_name("PATH")
      ->check(pathLengthLimit());
  state_->takesPaths.insert(&command);
}

void CommandLine::addAnswerOptions(CLI::App& command) {
  command.add_flag("--yes", state_->yes, "answer every question with Yes");
  command.add_flag("--no", state_->no, "answer every question with No");
}

std::string CommandLine::help() const {
  return app_->help();
}

std::optional<int> CommandLine::parse(const std::vector<std::string>& arguments,
                                      TerminalStreams streams) {
  // CLI11 takes the arguments last first.
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  std::string usageError;
  try {
    app_->parse(reversed);
  } catch (const CLI::CallForHelp&) {
    streams.out << app_->help();
    return kExitSuccess;
  } catch (const CLI::CallForVersion& version) {
    streams.out << version.what() << '\n';
    return kExitSuccess;
  } catch (const CLI::ParseError& error) {
    usageError = error.what();
  }
  // CLI11 would say only that a command is required.
  if (!arguments.empty() && !arguments.front().starts_with('-') &&
      app_->get_subcommands(
              [&](CLI::App* command) { return command->check_name(arguments.front()); })
          .empty()) {
    usageError = "unknown command '" + arguments.front() + "'";
  }
  if (usageError.empty() && state_->yes && state_->no) {
    usageError = "--yes and --no cannot be given together";
  }
  if (!usageError.empty()) {
    streams.err << kProgramName << ": " << usageError << "\nTry '" << kProgramName
                << " --help' for more information.\n";
    return kExitUsage;
  }
  return std::nullopt;
}

int CommandLine::run(const std::vector<std::string>& arguments, TerminalStreams streams,
                     const AppEnvironment& environment) {
  if (const std::optional<int> ended = parse(arguments, streams)) return *ended;
  const CLI::App* chosen = app_->get_subcommands().front();
  platform::TerminalMessenger messenger(
      streams.out, streams.err, streams.in,
      answerPolicy(state_->yes, state_->no, streams.inputIsTerminal), streams.errorIsTerminal);
  CommandContext context{environment, streams, messenger, {}};
  if (state_->takesPaths.contains(chosen)) {
    if (!state_->stickPath || !state_->audioPath) context.paths = loadPathTexts(environment);
    if (state_->stickPath) context.paths.stickPath = *state_->stickPath;
    if (state_->audioPath) context.paths.audioPath = *state_->audioPath;
  }
  // "auto", or a stored stick that is gone, becomes the one robot stick mounted now.
  platform::SystemVolumes volumes;
  if (state_->takesStick.contains(chosen) &&
      !resolveStickPath(context.paths, !state_->stickPath, volumes, environment, messenger)) {
    return kExitFailure;
  }
  return state_->actions.at(chosen)(context) ? kExitSuccess : kExitFailure;
}

void registerCommands(CommandLine& commandLine) {
  registerBasicCommands(commandLine);
  registerPreviewCommands(commandLine);
  registerStickCommands(commandLine);
#ifdef VELK_MUR_WITH_IMPORT
  registerImportCommands(commandLine);
#endif
}

int runCommandLine(const std::vector<std::string>& arguments, TerminalStreams streams,
                   const AppEnvironment& environment) {
  CommandLine commandLine;
  registerCommands(commandLine);
  return commandLine.run(arguments, streams, environment);
}

std::string usageText() {
  CommandLine commandLine;
  registerCommands(commandLine);
  return commandLine.help();
}

}  // namespace velk_mur
