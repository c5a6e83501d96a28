#pragma once
// Finds and loads the program's Qt module (its interface: velk_mur/commands/qt_module.h).
#include <string>

namespace velk_mur {

// The file name of the module, without a folder.
const char* qtModuleFileName();

struct ModuleEntry {
  void* entry = nullptr;
  std::string problem;  // why there is no entry: the module is missing, unloadable or lacks it
};

// The named C entry point of the module. The module is looked for in the program's folder,
// then in ../lib/velk beside it (the installed layout), loaded on the first call and kept for
// the rest of the run.
ModuleEntry qtModuleEntryPoint(const char* name);

}  // namespace velk_mur
