// The Qt module's exported functions (velk_mur/commands/qt_module.h): the dialog, and the
// preview picture for the command line.
#include <QApplication>
#include <QGuiApplication>
#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

#include "generator_dialog.h"
#include "platform/path_text.h"
#include "platform/qt/application_start.h"
#include "platform/qt/message_box_messenger.h"
#include "program_icon.h"
#include "velk_mur/commands/commands.h"
#include "velk_mur/commands/qt_module.h"
#include "velk_mur/preview/preview_picture.h"
#include "velk_version.h"

extern "C" VELK_MODULE_EXPORT int velk_mur_run_dialog(int argc, char** argv) {
  // A display that is named but cannot be reached ends the program as a missing one does.
  const std::unique_ptr<QApplication> application =
      platform::startApplication(argc, argv, "velk_mur", velk_mur::kExitUsage);
  application->setApplicationName(velk_mur::kProgramTitle);
  application->setApplicationVersion(velk::kVelkMurVersion);
  application->setWindowIcon(velk_mur::programIcon());
  platform::MessageBoxMessenger messenger(velk_mur::kProgramTitle, QMessageBox::NoIcon,
                                          QMessageBox::Warning);
  velk_mur::GeneratorDialog dialog(messenger, velk_mur::processEnvironment());
  messenger.setParent(&dialog);
  dialog.exec();
  return 0;
}

extern "C" VELK_MODULE_EXPORT int velk_mur_render_preview(const velk_mur::RecordingPreview* preview,
                                                          const char* outputPath, char* problem,
                                                          std::size_t problemSize) {
  // Text needs Qt's font database, which lives in a GUI application; a command line has none
  // and no display either, so it gets one that draws off screen for the length of the call.
  std::optional<QGuiApplication> application;
  if (QGuiApplication::instance() == nullptr) {
    static int argc = 3;
    static char name[] = "velk_mur";
    static char option[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {name, option, platform, nullptr};
    application.emplace(argc, argv);
  }
  velk_mur::PictureSaveResult result;
  if (preview != nullptr && outputPath != nullptr) {
    result = velk_mur::savePreviewPicture(*preview, platform::textToPath(outputPath));
    if (result.saved) return 1;
  }
  if (problem != nullptr && problemSize > 0) {
    const std::size_t length = std::min(result.problem.size(), problemSize - 1);
    std::memcpy(problem, result.problem.data(), length);
    problem[length] = '\0';
  }
  return 0;
}
