// With arguments the program runs one command on the terminal and needs no display; without
// them it shows its dialog.
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "velk_mur/app/command_line.h"

#ifdef VELK_MUR_WITH_DIALOG
#include <QApplication>

#include "platform/qt/message_box_messenger.h"
#include "velk_mur/app/commands.h"
#include "velk_mur/app/generator_dialog.h"
#include "velk_mur/app/program_icon.h"
#endif

namespace {

bool standardInputIsTerminal() {
#ifdef _WIN32
  return _isatty(0) != 0;
#else
  return ::isatty(0) != 0;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  const velk_mur::AppEnvironment environment = velk_mur::processEnvironment();
  if (argc > 1) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return velk_mur::runCommandLine(
        arguments, {std::cout, std::cerr, std::cin, standardInputIsTerminal()}, environment);
  }
#ifdef VELK_MUR_WITH_DIALOG
  QApplication application(argc, argv);
  application.setApplicationName(velk_mur::kProgramTitle);
  application.setWindowIcon(velk_mur::programIcon());
  platform::MessageBoxMessenger messenger(velk_mur::kProgramTitle, QMessageBox::NoIcon,
                                          QMessageBox::Warning);
  velk_mur::GeneratorDialog dialog(messenger, environment);
  messenger.setParent(&dialog);
  dialog.exec();
  return 0;
#else
  std::cerr << "velk_mur: built without its dialog; a command is needed\n" << velk_mur::usageText();
  return velk_mur::kExitUsage;
#endif
}
