#pragma once
// The application object of a program with windows, made so that a display that cannot be
// reached ends the program with a message rather than an abort.
#include <QApplication>
#include <memory>

namespace platform {

// Makes the application. When the toolkit cannot reach the display it was given (a stale
// DISPLAY over ssh, a display server that has gone), it prints "PROGRAM: cannot open the
// display: " and the toolkit's reason on standard error and ends the program with `exitCode`.
std::unique_ptr<QApplication> startApplication(int& argc, char** argv, const char* program,
                                               int exitCode);

}  // namespace platform
