// VELK7: edits the VELK records of the R-CODE program on an AIBO ERS-7 memory stick.
#include <QApplication>
#include <QMessageBox>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "platform/qt/message_box_messenger.h"
#include "velk7/editor/editor_dialog.h"
#include "velk7/editor/editor_images.h"
#include "velk7/rcode/start_up.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  application.setWindowIcon(velk7::programIcon());
  // Every box of this program, the abandon question included, carries the exclamation icon.
  platform::MessageBoxMessenger messenger(QStringLiteral("VELK7"), QMessageBox::Warning,
                                          QMessageBox::Warning, QMessageBox::Warning);

  // The arguments that the toolkit left, joined again, are the whole argument text. On
  // Windows argv is in the local code page; the toolkit's list comes from the wide command
  // line and so keeps every name.
  std::string commandLine;
#ifdef Q_OS_WIN
  const QStringList arguments = QCoreApplication::arguments();
  for (qsizetype index = 1; index < arguments.size(); ++index) {
    if (index > 1) commandLine += ' ';
    commandLine += arguments[index].toStdString();
  }
#else
  for (int index = 1; index < argc; ++index) {
    if (index > 1) commandLine += ' ';
    commandLine += argv[index];
  }
#endif
  std::error_code error;
  std::filesystem::path currentFolder = std::filesystem::current_path(error);
  if (error) currentFolder = ".";

  std::optional<velk7::LoadedProgram> loaded =
      velk7::startUp(commandLine, currentFolder, messenger);
  if (!loaded) return 1;

  velk7::EditorDialog dialog(loaded->program, loaded->path, messenger);
  messenger.setParent(&dialog);
  const int result = dialog.exec();
  messenger.setParent(nullptr);
  return result == velk7::kSavedResult || result == velk7::kCancelledResult ? 0 : 1;
}
