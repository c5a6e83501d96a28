// The import module's one exported function (velk_mur/commands/import_module.h).
#include "velk_mur/commands/import_module.h"
#include "velk_mur/commands/qt_module.h"
#include "velk_mur/import_module/import_commands.h"

extern "C" VELK_MODULE_EXPORT const velk_mur::ImportCommands* velk_mur_import_commands() {
  return &velk_mur::importCommands();
}
