// backup and restore on the command line.
#include <CLI/CLI.hpp>
#include <memory>

#include "command_line.h"
#include "velk_mur/commands/stick_commands.h"

namespace velk_mur {

void registerStickCommands(CommandLine& commandLine) {
  struct BackupOptions {
    std::string to;
    bool list = false;
  };
  auto backupOptions = std::make_shared<BackupOptions>();
  CLI::App& backup = commandLine.addCommand(
      "backup", "copy the stick's whole OPEN-R folder into a dated backup on this computer",
      [backupOptions](CommandContext& context) {
        if (backupOptions->list) {
          return listStickBackups(context.paths, context.environment, context.messenger).ok;
        }
        return runBackup(context.paths, backupOptions->to, context.environment, context.messenger)
            .ok;
      });
  backup
      .add_option("--to", backupOptions->to,
                  "the folder to put the backup in (default: the stick's backups in the user's "
                  "data folder, where the newest ten are kept)")
      ->type_name("DIR");
  backup.add_flag("--list", backupOptions->list, "list the stick's backups, newest first");
  commandLine.addPathOptions(backup);

  auto restoreFrom = std::make_shared<std::string>();
  CLI::App& restore = commandLine.addCommand(
      "restore", "put a backup's files back on the stick, then inspect it",
      [restoreFrom](CommandContext& context) {
        return runRestore(context.paths, *restoreFrom, context.environment, context.messenger).ok;
      });
  restore
      .add_option("BACKUP", *restoreFrom,
                  "the backup's folder, or its date as 'backup --list' shows it")
      ->required();
  commandLine.addPathOptions(restore);
}

}  // namespace velk_mur
