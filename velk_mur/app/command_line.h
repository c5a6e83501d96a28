#pragma once
// The program without its dialog: the same commands, run from a terminal or a script.
#include <iosfwd>
#include <string>
#include <vector>

#include "velk_mur/app/app_settings.h"
#include "velk_mur/stick/recording_preview.h"

namespace velk_mur {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct TerminalStreams {
  std::ostream& out;
  std::ostream& err;
  std::istream& in;
  bool inputIsTerminal = false;  // questions are asked only when someone can answer them
};

// Runs the command named by `arguments` (the program name not included) and returns the
// exit status: 0 success, 1 a reported failure, 2 bad usage. `renderPreview` draws the
// preview's picture; without it (no Qt) preview reports that it cannot.
int runCommandLine(const std::vector<std::string>& arguments, TerminalStreams streams,
                   const AppEnvironment& environment,
                   RenderPreviewFunction renderPreview = nullptr);

// The text that --help prints.
std::string usageText();

}  // namespace velk_mur
