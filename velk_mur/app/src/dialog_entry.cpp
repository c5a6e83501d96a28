// The dialog's entry point in the Qt module: what the program ran itself before command-line
// jobs were kept free of Qt.
#include <QApplication>

#include "platform/qt/message_box_messenger.h"
#include "commands.h"
#include "generator_dialog.h"
#include "program_icon.h"
#include "velk_version.h"

#ifdef _WIN32
#define VELK_MODULE_EXPORT __declspec(dllexport)
#else
#define VELK_MODULE_EXPORT __attribute__((visibility("default")))
#endif

extern "C" VELK_MODULE_EXPORT int velk_mur_run_dialog(int argc, char** argv) {
  QApplication application(argc, argv);
  application.setApplicationName(velk_mur::kProgramTitle);
  application.setApplicationVersion(velk::kVelkMurVersion);
  application.setWindowIcon(velk_mur::programIcon());
  platform::MessageBoxMessenger messenger(velk_mur::kProgramTitle, QMessageBox::NoIcon,
                                          QMessageBox::Warning);
  velk_mur::GeneratorDialog dialog(messenger, velk_mur::processEnvironment());
  messenger.setParent(&dialog);
  dialog.exec();
  return 0;
}
