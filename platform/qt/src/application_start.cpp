#include "platform/qt/application_start.h"

#include <cstdlib>
#include <iostream>

namespace platform {

namespace {

QtMessageHandler toolkitMessages = nullptr;
const char* startingProgram = "";
int startFailureExit = 1;

// Only while the application is made: a fatal message then can only be about the display.
void startUpMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type != QtFatalMsg) {
    if (toolkitMessages != nullptr) toolkitMessages(type, context, message);
    return;
  }
  std::cerr << startingProgram << ": cannot open the display: " << message.toStdString() << '\n';
  std::_Exit(startFailureExit);
}

}  // namespace

std::unique_ptr<QApplication> startApplication(int& argc, char** argv, const char* program,
                                               int exitCode) {
  startingProgram = program;
  startFailureExit = exitCode;
  toolkitMessages = qInstallMessageHandler(startUpMessages);
  auto application = std::make_unique<QApplication>(argc, argv);
  qInstallMessageHandler(toolkitMessages);
  return application;
}

}  // namespace platform
