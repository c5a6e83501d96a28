#include "velk_mur/app/cli/src/command_line.h"

#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/stick_tree.h"

namespace fs = std::filesystem;

namespace velk_mur {
namespace {

struct Invocation {
  std::vector<std::string> arguments;
  int status;
  std::string expected;  // found on standard output after a success, on standard error otherwise
  std::string input = "";
  bool inputIsTerminal = false;
};

// One row per rule of the parser, and one per command reached with its paths and answers.
TEST(CommandLine, ArgumentsReachTheirCommandAndExitWithItsStatus) {
  const testing_support::TempDir dir;
  const AppEnvironment environment = testing_support::environmentIn(dir);
  testing_support::makeValidStick(dir / "stick");
  testing_support::writeRecording(dir / "voices", "2go", 100);
  testing_support::writeReadyCompanions(dir / "voices", "2go");
  const std::string stick = (dir / "stick").string(), audio = (dir / "voices").string();
  const std::string example = (fs::path(VELK_SOURCE_DIR) / "examples/stick").string();
  const std::string tryHelp = "Try 'velk_mur --help'", ready = "1 actions ok and ready";
  const std::string badName = "Bad file name (must be alphanumeric maybe with an '_')\n2go";
  const std::string stickPath = "--stick=" + stick, audioPath = "--audio=" + audio;
  const std::vector<Invocation> cases = {
      {{"--help"}, kExitSuccess, "Exit status: 0"},
      {{"--version"}, kExitSuccess, "velk_mur 0.11\n"},
      {{"about"}, kExitSuccess, "Murmelon\nanother Dravlen tool\nVersion .11\n"},
      {{"inspect", "--stick", example}, kExitSuccess, "\nStick is consistent\n"},
      {{"inspect", "--stick", stick},
       kExitFailure,
       "AUDIO.ODA does not exist\nMOTION.ODA does not exist\nLED.ODA does not exist\n"},
      {{"preview", "2go", "--audio", audio}, kExitFailure, "not a recording's name"},
      // No Qt module beside the tests' program to draw with.
      {{"preview", "ok", "--audio", audio}, kExitFailure, "velk_mur_qt"},
      {{}, kExitUsage, tryHelp},
      {{"frobnicate"}, kExitUsage, tryHelp},
      {{"test", "--bogus"}, kExitUsage, tryHelp},
      {{"test", "--yes", "--no"}, kExitUsage, tryHelp},
      {{"save", "--stick", std::string(kMaxPathText + 1, 'a')}, kExitUsage, "259"},
#ifdef VELK_MUR_WITH_IMPORT
      {{"import", "a.mp3", "b.mp3", "--name", "ab"}, kExitUsage, "one file only"},
      {{"say", "hello"}, kExitUsage, "--name"},
      {{"say", "hello", "--name", "hi", "--speed", "20"}, kExitUsage, "80 to 450"},
      // No import module beside the tests' program either.
      {{"say", "--list-voices"}, kExitFailure, "velk_mur_import"},
#endif
      // From here on the stick passes its check and the paths, written after '=', are stored.
      {{"test", stickPath, audioPath, "--no"}, kExitFailure, badName, "y\n", true},
      {{"test", stickPath, audioPath}, kExitFailure, badName, "y\n"},  // nobody to ask: No
      {{"test", stickPath, audioPath}, kExitSuccess, ready, "y\n", true},
      {{"test", stickPath, audioPath}, kExitFailure, badName, "n\n", true},
      {{"test", stickPath, audioPath, "--yes"}, kExitSuccess, ready},
  };
  for (const Invocation& c : cases) {
    std::ostringstream out, err;
    std::istringstream in(c.input);
    EXPECT_EQ(runCommandLine(c.arguments, {out, err, in, c.inputIsTerminal}, environment), c.status)
        << ::testing::PrintToString(c.arguments);
    const std::string written = c.status == kExitSuccess ? out.str() : err.str();
    EXPECT_NE(written.find(c.expected), std::string::npos) << written;
    if (c.status == kExitUsage) {
      EXPECT_EQ(out.str(), "");
      EXPECT_FALSE(fs::exists(settingsFilePath(environment)));
    }
  }
  const PathTexts stored = loadPathTexts(environment);
  EXPECT_EQ(stored.stickPath, stick);
  EXPECT_EQ(stored.audioPath, audio);
}

TEST(TerminalProgress, ShownOnATerminalOnceAPassHasLastedHalfASecond) {
  for (const bool onTerminal : {true, false}) {
    std::ostringstream out, err;
    std::istringstream in;
    int now = 0;
    platform::TerminalMessenger messenger(out, err, in, platform::AnswerPolicy::AlwaysNo,
                                          onTerminal,
                                          [&now] { return std::chrono::milliseconds(now); });
    messenger.progress("Generating", 0, 2);  // a pass that stopped early: the next waits anew
    const int stepTimesMs[] = {1000, 1499, 1500, 1900};
    for (int step = 0; step <= 3; ++step) {
      now = stepTimesMs[step];
      messenger.progress("Checking", step, 3);
    }
    EXPECT_EQ(err.str(), onTerminal ? "\rChecking 2/3\rChecking 3/3\n" : "");
    EXPECT_EQ(out.str(), "");
  }
}

}  // namespace
}  // namespace velk_mur
