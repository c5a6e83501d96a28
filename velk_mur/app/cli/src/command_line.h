#pragma once
// The program without its dialog: the same commands, run from a terminal or a script.
//
// Each command lives in a file of its own (cli_*.cpp) with one registration function that
// adds it to a CommandLine; registerCommands below calls them all, in the order of the help.
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/messenger.h"
#include "velk_mur/commands/app_settings.h"
#include "velk_mur/commands/commands.h"

namespace CLI {
class App;
}

namespace velk_mur {

struct TerminalStreams {
  std::ostream& out;
  std::ostream& err;
  std::istream& in;
  bool inputIsTerminal = false;  // questions are asked only when someone can answer them
  bool errorIsTerminal = false;  // progress lines only when someone watches them
};

// What a chosen command runs with.
struct CommandContext {
  const AppEnvironment& environment;
  TerminalStreams streams;
  platform::Messenger& messenger;
  // The paths given with --stick and --audio, the others from the settings file; filled only
  // for commands that took addPathOptions.
  PathTexts paths;
};

// Runs a chosen command: true when it did its job, false when it reported a failure.
using CommandAction = std::function<bool(CommandContext&)>;

class CommandLine {
 public:
  CommandLine();
  ~CommandLine();
  CommandLine(const CommandLine&) = delete;
  CommandLine& operator=(const CommandLine&) = delete;

  // Adds a command to the help and the parser. Options of its own are added on the returned
  // App; their values must outlive the parse (capture a shared_ptr in the action).
  CLI::App& addCommand(const std::string& name, const std::string& description,
                       CommandAction action);
  // --stick PATH and --audio PATH, each at most kMaxPathText characters.
  void addPathOptions(CLI::App& command);
  // --audio PATH alone, for commands that do not touch the stick.
  void addAudioPathOption(CLI::App& command);
  // --yes and --no, which answer every question; without them questions are asked on the
  // terminal, or answered No when nobody can answer.
  void addAnswerOptions(CLI::App& command);

  // Parses `arguments` (the program name not included). Returns the exit status when that
  // ends the run (help, version, bad usage, each printed), nothing when a command was chosen.
  std::optional<int> parse(const std::vector<std::string>& arguments, TerminalStreams streams);

  // Parses `arguments` (the program name not included), runs the chosen command and returns
  // the exit status: 0 success, 1 a reported failure, 2 bad usage.
  int run(const std::vector<std::string>& arguments, TerminalStreams streams,
          const AppEnvironment& environment);

  // The text that --help prints.
  std::string help() const;

 private:
  struct State;
  std::unique_ptr<CLI::App> app_;
  std::unique_ptr<State> state_;
};

// generate, test, save and about (cli_basic_commands.cpp).
void registerBasicCommands(CommandLine& commandLine);

// preview and inspect (cli_preview_commands.cpp).
void registerPreviewCommands(CommandLine& commandLine);
// backup and restore (cli_stick_commands.cpp).
void registerStickCommands(CommandLine& commandLine);

// import and say (cli_import_commands.cpp).
void registerImportCommands(CommandLine& commandLine);

// Every command of the program.
void registerCommands(CommandLine& commandLine);

// A CommandLine with every command: runs `arguments` and returns the exit status.
int runCommandLine(const std::vector<std::string>& arguments, TerminalStreams streams,
                   const AppEnvironment& environment);

// The text that --help prints.
std::string usageText();

}  // namespace velk_mur
