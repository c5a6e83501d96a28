#include "velk_mur/commands/import_module.h"

#include "velk_mur/commands/module_loader.h"

namespace velk_mur {

LoadedImportCommands loadImportCommands() {
  const ModuleEntry module = moduleEntryPoint(Module::Import, kImportCommandsEntryPoint);
  if (module.entry == nullptr) {
    return {nullptr, "Import and speech cannot be used: " + module.problem};
  }
  return {reinterpret_cast<ImportCommandsFunction*>(module.entry)(), {}};
}

}  // namespace velk_mur
