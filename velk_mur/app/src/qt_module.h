#pragma once
// The program's Qt part lives in a module of its own, loaded only when a window opens, so that
// the command line and --help load no Qt at all.
#include <string>

namespace velk_mur {

// The file name of the module, without a folder.
const char* qtModuleFileName();

// The named C entry point of the module, or null with `error` saying why. The module is
// looked for in the program's folder, then in ../lib/velk beside it (the installed layout),
// loaded on the first call and kept for the rest of the run.
void* qtModuleEntryPoint(const char* name, std::string& error);

// The entry point that runs the dialog: `argc` and `argv` as main got them; returns the exit
// status.
inline constexpr const char* kRunDialogEntryPoint = "velk_mur_run_dialog";
using RunDialogFunction = int(int argc, char** argv);

}  // namespace velk_mur
