// With arguments the program runs one command on the terminal and loads no Qt; without them
// it loads its Qt module and shows the dialog.
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "command_line.h"
#include "platform/display.h"
#include "platform/utf8_console.h"
#include "velk_mur/commands/module_loader.h"
#include "velk_mur/commands/qt_module.h"

namespace {

bool isTerminal(int descriptor) {
#ifdef _WIN32
  return _isatty(descriptor) != 0;
#else
  return ::isatty(descriptor) != 0;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) {
    platform::useUtf8Console();
    std::vector<std::string> arguments = platform::utf8Arguments(argc, argv);
    arguments.erase(arguments.begin());
    return velk_mur::runCommandLine(arguments,
                                    {std::cout, std::cerr, std::cin, isTerminal(0), isTerminal(2)},
                                    velk_mur::processEnvironment());
  }
  if (!platform::displayAvailable()) {
    std::cerr << "velk_mur: no display to show the dialog on (DISPLAY and WAYLAND_DISPLAY are "
                 "not set); run one of its commands instead.\n\n"
              << velk_mur::usageText();
    return velk_mur::kExitUsage;
  }
  const velk_mur::ModuleEntry module =
      velk_mur::moduleEntryPoint(velk_mur::Module::Qt, velk_mur::kRunDialogEntryPoint);
  auto* runDialog = reinterpret_cast<velk_mur::RunDialogFunction*>(module.entry);
  if (runDialog == nullptr) {
    std::cerr << "velk_mur: cannot show the dialog: " << module.problem
              << "\nThe commands work without it; try 'velk_mur --help'.\n";
    return velk_mur::kExitFailure;
  }
  return runDialog(argc, argv);
}
