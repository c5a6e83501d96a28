// The commands of the dialog's buttons, on the command line.
#include <CLI/CLI.hpp>

#include "command_line.h"
#include "velk_mur/commands/commands.h"

namespace velk_mur {

void registerBasicCommands(CommandLine& commandLine) {
  const auto addFolderCommand = [&](const char* name, const char* description, auto run) {
    CLI::App& command = commandLine.addCommand(name, description, [run](CommandContext& context) {
      return run(context.paths, context.environment, context.messenger).ok;
    });
    commandLine.addPathOptions(command);
    commandLine.addAnswerOptions(command);
  };
  addFolderCommand(
      "generate", "create the missing motion and LED files of the recordings",
      [](const PathTexts& paths, const AppEnvironment& environment,
         platform::Messenger& messenger) { return runGenerate(paths, environment, messenger); });
  addFolderCommand(
      "test", "check the recordings; report the actions ready and their audio size",
      [](const PathTexts& paths, const AppEnvironment& environment,
         platform::Messenger& messenger) { return runTest(paths, environment, messenger); });
  addFolderCommand(
      "save", "check the recordings, then write their actions to the memory stick",
      [](const PathTexts& paths, const AppEnvironment& environment,
         platform::Messenger& messenger) { return runSaveToStick(paths, environment, messenger); });
  commandLine.addCommand("about", "show the program's version",
                         [](CommandContext& context) { return showAbout(context.messenger).ok; });
}

}  // namespace velk_mur
