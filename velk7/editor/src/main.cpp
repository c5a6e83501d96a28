// VELK7: edits the VELK records of the R-CODE program on an AIBO ERS-7 memory stick.
#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "editor_dialog.h"
#include "editor_images.h"
#include "platform/backups.h"
#include "platform/case_path.h"
#include "platform/display.h"
#include "platform/path_text.h"
#include "platform/qt/application_start.h"
#include "platform/qt/message_box_messenger.h"
#include "platform/utf8_console.h"
#include "program_chooser.h"
#include "stick_choice.h"
#include "terminal_arguments.h"
#include "velk7/rcode/start_up.h"

namespace {

namespace fs = std::filesystem;

// True only when the file is known to be absent; a path that could not be checked is not.
bool knownAbsent(const fs::path& path) {
  std::error_code error;
  const fs::file_status status = fs::status(platform::resolveCase(path), error);
  return status.type() == fs::file_type::not_found;
}

}  // namespace

int main(int argc, char* argv[]) {
  platform::useUtf8Console();
  std::vector<std::string> arguments = platform::utf8Arguments(argc, argv);
  if (!arguments.empty()) arguments.erase(arguments.begin());
  const bool hasDisplay = platform::displayAvailable();
  if (const std::optional<int> code =
          velk7::answerOnTerminal(arguments, hasDisplay, std::cout, std::cerr)) {
    return *code;
  }

  // A display that is named but cannot be reached ends the program as a missing one does.
  const std::unique_ptr<QApplication> application =
      platform::startApplication(argc, argv, "velk7", velk7::kExitUsage);
  application->setWindowIcon(velk7::programIcon());
  const std::unique_ptr<platform::MessageBoxMessenger> boxes = velk7::makeEditorMessenger();
  platform::MessageBoxMessenger& messenger = *boxes;

  // The arguments that the toolkit left, joined again, are the whole argument text.
  std::string commandLine;
  const std::vector<std::string> left = platform::utf8Arguments(argc, argv);
  for (std::size_t index = 1; index < left.size(); ++index) {
    if (index > 1) commandLine += ' ';
    commandLine += left[index];
  }
  std::error_code error;
  fs::path currentFolder = fs::current_path(error);
  if (error) currentFolder = ".";

  // Started without a path away from a stick, the program opens the robot stick plugged in,
  // and asks where the stick is only when it finds none.
  const bool awayFromStick =
      commandLine.empty() && knownAbsent(velk7::locateProgram(commandLine, currentFolder));
  std::optional<velk7::LoadedProgram> loaded;
  if (awayFromStick) {
    platform::SystemVolumes volumes;
    if (const std::optional<fs::path> program = velk7::programOnPluggedStick(volumes)) {
      loaded = velk7::startUp(platform::pathToText(*program), currentFolder, messenger);
    }
  }
  if (!loaded) loaded = velk7::startUp(commandLine, currentFolder, messenger);
  if (!loaded && awayFromStick) {
    while (!loaded) {
      const std::optional<fs::path> chosen = velk7::chooseProgramFile();
      if (!chosen) return 1;
      loaded = velk7::startUp(platform::pathToText(*chosen), currentFolder, messenger);
    }
  }
  if (!loaded) return 1;

  // A backup put back on the stick is opened anew.
  const fs::path backups = platform::defaultBackupsFolder().value_or(fs::path());
  for (;;) {
    velk7::EditorDialog dialog(loaded->program, loaded->path, messenger);
    dialog.setBackupsFolder(backups);
    messenger.setParent(&dialog);
    const int result = dialog.exec();
    messenger.setParent(nullptr);
    if (result != velk7::kRestoredResult) {
      return result == velk7::kSavedResult || result == velk7::kCancelledResult ? 0 : 1;
    }
    loaded = velk7::startUp(platform::pathToText(loaded->path), currentFolder, messenger);
    if (!loaded) return 1;
  }
}
