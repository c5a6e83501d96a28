#include "velk_mur/app/src/command_line.h"

#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/stick_tree.h"
#include "velk_mur/app/src/commands.h"

namespace fs = std::filesystem;
using testing_support::environmentIn;
using testing_support::makeValidStick;
using testing_support::TempDir;
using testing_support::writeReadyCompanions;
using testing_support::writeRecording;

namespace {

class CommandLineTest : public ::testing::Test {
 protected:
  CommandLineTest() : environment(environmentIn(dir)) {
    makeValidStick(dir / "stick");
    writeRecording(dir / "voices", "2go", 100);
    writeReadyCompanions(dir / "voices", "2go");
  }

  int run(const std::vector<std::string>& arguments, bool terminal = false) {
    out.str("");
    err.str("");
    return velk_mur::runCommandLine(arguments, {out, err, in, terminal}, environment);
  }
  std::string stick() const { return (dir / "stick").string(); }
  std::string audio() const { return (dir / "voices").string(); }

  TempDir dir;
  velk_mur::AppEnvironment environment;
  std::ostringstream out;
  std::ostringstream err;
  std::istringstream in;
};

enum class Stream { None, Out, Err };

struct Invocation {
  std::vector<std::string> arguments;
  int status;
  Stream writes;         // the one stream written to
  std::string expected;  // found in what was written
};

TEST_F(CommandLineTest, InvocationsExitWithTheirStatusAndWriteToTheirStream) {
  using velk_mur::kExitFailure, velk_mur::kExitSuccess, velk_mur::kExitUsage;
  const std::string tooLong(velk_mur::kMaxPathText + 1, 'a');
  const std::string tryHelp = "Try 'velk_mur --help'";
  const std::vector<Invocation> cases = {
      {{"--help"}, kExitSuccess, Stream::Out, "Exit status: 0"},
      {{"save", "--help"}, kExitSuccess, Stream::Out, "--stick"},
      {{"about"}, kExitSuccess, Stream::Out, "Murmelon\nanother Dravlen tool\nVersion .11\n"},
      {{"--version"}, kExitSuccess, Stream::Out, "velk_mur 0.11\n"},
      {{"test", "--stick", "nowhere", "--no"}, kExitFailure, Stream::Err, "nowhere"},
      {{}, kExitUsage, Stream::Err, tryHelp},
      {{"frobnicate"}, kExitUsage, Stream::Err, tryHelp},
      {{"test", "extra"}, kExitUsage, Stream::Err, tryHelp},
      {{"test", "--bogus"}, kExitUsage, Stream::Err, tryHelp},
      {{"test", "--yes", "--no"}, kExitUsage, Stream::Err, tryHelp},
      {{"save", "--stick", tooLong}, kExitUsage, Stream::Err, "259"},
      {{"preview"}, kExitUsage, Stream::Err, tryHelp},
      {{"preview", "2go", "--audio", audio()}, kExitFailure, Stream::Err, "not a recording's name"},
      // No Qt module beside the tests' program to draw with.
      {{"preview", "ok", "--audio", audio()}, kExitFailure, Stream::Err, "velk_mur_qt"},

#ifdef VELK_MUR_WITH_IMPORT
      {{"import", "a.mp3", "b.mp3", "--name", "ab"}, kExitUsage, Stream::Err, "one file only"},
      {{"import", "missing.mp3", "--audio", "."}, kExitFailure, Stream::Err, "missing.mp3"},
      {{"say", "hello"}, kExitUsage, Stream::Err, "--name"},
      {{"say", "hello", "--name", "hi", "--speed", "20"}, kExitUsage, Stream::Err, "80 to 450"},
      {{"say", "--list-voices"}, kExitSuccess, Stream::Out, "en-us  gmw/en-US  English (America)"},
#endif
      // Last: the stick passes its check, so this one stores the paths.
      {{"test", "--stick", stick(), "--audio", "missing"},
       kExitFailure,
       Stream::Err,
       "Audio data folder not found\nmissing"},
  };
  for (const Invocation& c : cases) {
    EXPECT_EQ(run(c.arguments), c.status) << ::testing::PrintToString(c.arguments);
    const std::string& written = c.writes == Stream::Out ? out.str() : err.str();
    const std::string& other = c.writes == Stream::Out ? err.str() : out.str();
    EXPECT_NE(written.find(c.expected), std::string::npos) << written;
    EXPECT_EQ(other, "") << ::testing::PrintToString(c.arguments);
    if (c.status == kExitUsage) {
      EXPECT_FALSE(fs::exists(velk_mur::settingsFilePath(environment)));
    }
  }
}

TEST_F(CommandLineTest, InspectExitsWithZeroOnlyOnAConsistentStick) {
  const fs::path example = fs::path(VELK_SOURCE_DIR) / "examples/stick";
  EXPECT_EQ(run({"inspect", "--stick", example.string()}), velk_mur::kExitSuccess);
  EXPECT_TRUE(out.str().ends_with("\nStick is consistent\n")) << out.str();
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(run({"inspect", "--stick", stick()}), velk_mur::kExitFailure);
  EXPECT_EQ(err.str(),
            "AUDIO.ODA does not exist\nMOTION.ODA does not exist\nLED.ODA does not exist\n");
}

TEST_F(CommandLineTest, PathsWrittenWithAnEqualsSignAreStoredAsGiven) {
  EXPECT_EQ(run({"test", "--stick=" + stick(), "--audio=" + audio(), "--yes"}),
            velk_mur::kExitSuccess);
  const velk_mur::PathTexts stored = velk_mur::loadPathTexts(environment);
  EXPECT_EQ(stored.stickPath, stick());
  EXPECT_EQ(stored.audioPath, audio());
}

struct AnswerCase {
  std::vector<std::string> options;
  bool terminal;
  std::string input;
  int expectedStatus;
};

TEST_F(CommandLineTest, QuestionsAreAnsweredByOptionOrTerminal) {
  const std::vector<AnswerCase> cases = {
      {{"--yes"}, false, "", velk_mur::kExitSuccess},
      {{"--no"}, true, "y\n", velk_mur::kExitFailure},
      {{}, false, "y\n", velk_mur::kExitFailure},  // nobody to ask: No
      {{}, true, "y\n", velk_mur::kExitSuccess},
      {{}, true, "n\n", velk_mur::kExitFailure}};
  for (const AnswerCase& c : cases) {
    std::vector<std::string> arguments = {"test", "--stick", stick(), "--audio", audio()};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    in.clear();
    in.str(c.input);
    EXPECT_EQ(run(arguments, c.terminal), c.expectedStatus)
        << ::testing::PrintToString(c.options) << c.terminal << c.input;
    EXPECT_NE(err.str().find("Bad file name (must be alphanumeric maybe with an '_')\n2go"),
              std::string::npos)
        << err.str();
  }
}

struct ProgressCase {
  bool onTerminal;
  std::vector<int> stepTimesMs;  // steps 0, 1, ... of a pass of size()-1 steps
  std::string expected;
};

TEST(TerminalProgress, ShownOnATerminalOnceAPassHasLastedHalfASecond) {
  const std::vector<ProgressCase> cases = {
      {true, {0, 499, 500, 900}, "\rChecking 2/3\rChecking 3/3\n"},
      {true, {0, 100, 200, 499}, ""},
      {false, {0, 600, 700, 800}, ""}};
  for (const ProgressCase& c : cases) {
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in;
    int now = 0;
    platform::TerminalMessenger messenger(out, err, in, platform::AnswerPolicy::AlwaysNo,
                                          c.onTerminal,
                                          [&now] { return std::chrono::milliseconds(now); });
    const int total = static_cast<int>(c.stepTimesMs.size()) - 1;
    for (int step = 0; step <= total; ++step) {
      now = c.stepTimesMs[step];
      messenger.progress("Checking", step, total);
    }
    EXPECT_EQ(err.str(), c.expected) << ::testing::PrintToString(c.stepTimesMs);
    EXPECT_EQ(out.str(), "");
  }
}

}  // namespace
