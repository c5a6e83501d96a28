#pragma once
// Finds and loads the program's modules: the Qt module (velk_mur/commands/qt_module.h) and the
// import module (velk_mur/commands/import_module.h). Each is looked for in the program's
// folder, then in ../lib/velk beside it (the installed layout), loaded on its first use and
// kept for the rest of the run.
#include <string>

namespace velk_mur {

enum class Module { Qt, Import };

// The module's file name, without a folder.
const char* moduleFileName(Module module);

struct ModuleEntry {
  void* entry = nullptr;
  std::string problem;  // why there is no entry: the module is missing, unloadable or lacks it
};

// The named C entry point of the module.
ModuleEntry moduleEntryPoint(Module module, const char* name);

}  // namespace velk_mur
