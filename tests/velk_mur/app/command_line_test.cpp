#include "velk_mur/app/command_line.h"

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/stick_tree.h"
#include "velk_mur/app/commands.h"

namespace fs = std::filesystem;
using testing_support::environmentIn;
using testing_support::makeValidStick;
using testing_support::TempDir;
using testing_support::writeReadyCompanions;
using testing_support::writeRecording;
using testing_support::writeTextFile;

namespace {

class CommandLineTest : public ::testing::Test {
 protected:
  CommandLineTest() : environment(environmentIn(dir)) {}

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

TEST_F(CommandLineTest, BadUsageExitsWithTwoAndExplains) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"frobnicate"},
      {"test", "extra"},
      {"test", "--stick"},
      {"test", "--audio"},
      {"test", "--bogus"},
      {"test", "--yes", "--no"},
      {"about", "--stick", "x"},
      {"about", "--yes"},
      {"save", "--stick", std::string(velk_mur::kMaxPathText + 1, 'a')},
      {"generate", "test"}};
  for (const auto& arguments : cases) {
    EXPECT_EQ(run(arguments), velk_mur::kExitUsage) << ::testing::PrintToString(arguments);
    EXPECT_NE(err.str().find("velk_mur --help"), std::string::npos) << err.str();
    EXPECT_TRUE(out.str().empty());
  }
  EXPECT_FALSE(fs::exists(velk_mur::settingsFilePath(environment)));
}

TEST_F(CommandLineTest, HelpAndAboutPrintTheirTextAndSucceed) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--help"}, velk_mur::usageText()},
      {{"-h"}, velk_mur::usageText()},
      {{"save", "--help"}, velk_mur::usageText()},
      {{"about", "--help"}, velk_mur::usageText()},
      {{"about"}, "Murmelon\nanother Dravlen tool\nVersion .11\n"}};
  for (const auto& [arguments, expected] : cases) {
    EXPECT_EQ(run(arguments), velk_mur::kExitSuccess) << ::testing::PrintToString(arguments);
    EXPECT_EQ(out.str(), expected);
    EXPECT_TRUE(err.str().empty());
  }
  for (const char* word : {"generate", "test", "save", "about", "--stick", "--audio", "--yes",
                           "--no", "VELK.INI", "Exit status"}) {
    EXPECT_NE(velk_mur::usageText().find(word), std::string::npos) << word;
  }
}

TEST_F(CommandLineTest, FailedPathCheckPrintsErrorsAndExitsWithOne) {
  EXPECT_EQ(run({"test", "--stick", stick(), "--audio", audio()}), velk_mur::kExitFailure);
  EXPECT_EQ(err.str(), "Invalid path for RCODE memory stick\nBe sure to install the VELK7 addon\n" +
                           stick() + "/OPEN-R/APP/PC/AMS/ACTION.CFG\n");
  EXPECT_TRUE(out.str().empty());
  EXPECT_FALSE(fs::exists(velk_mur::settingsFilePath(environment)));
}

TEST_F(CommandLineTest, MissingPathsComeFromTheSettingsFile) {
  makeValidStick(dir / "stick");
  writeRecording(dir / "voices", "hello", 8000);
  writeReadyCompanions(dir / "voices", "hello");
  writeTextFile(velk_mur::settingsFilePath(environment),
                "[VELK_MUR]\r\nMEMSTICK=" + stick() + "\r\nLOCALDATA=" + audio() + "\r\n");
  EXPECT_EQ(run({"test"}), velk_mur::kExitSuccess);
  EXPECT_EQ(out.str(), "1 actions ok and ready to 'Save to Stick'\n(0.01MB Audio)\n");
  EXPECT_EQ(run({"test", "--audio", (dir / "elsewhere").string()}), velk_mur::kExitFailure);
  EXPECT_EQ(err.str(), "No .WAV files found, please add some and try again\n");
}

TEST_F(CommandLineTest, WithoutSettingsTheStickDefaultsToTheMountPoint) {
  EXPECT_EQ(run({"test"}), velk_mur::kExitFailure);
  const std::string tested = velk_mur::stickFileText(velk_mur::defaultStickPath(environment),
                                                     "OPEN-R\\APP\\PC\\AMS\\ACTION.CFG");
  EXPECT_NE(err.str().find(tested + "\n"), std::string::npos) << err.str();
}

TEST_F(CommandLineTest, PassingCommandStoresBothPaths) {
  makeValidStick(dir / "stick");
  fs::create_directories(dir / "voices");
  EXPECT_EQ(run({"generate", "--stick=" + stick(), "--audio=" + audio()}), velk_mur::kExitSuccess);
  EXPECT_EQ(out.str(), "Nothing regenerated\nReady to 'Save to Stick'\n");
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
  makeValidStick(dir / "stick");
  writeRecording(dir / "voices", "2go", 100);
  writeReadyCompanions(dir / "voices", "2go");
  const std::vector<AnswerCase> cases = {
      {{"--yes"}, false, "", velk_mur::kExitSuccess},
      {{"--no"}, true, "y\n", velk_mur::kExitFailure},
      {{}, false, "y\n", velk_mur::kExitFailure},  // nobody to ask: No
      {{}, true, "y\n", velk_mur::kExitSuccess},
      {{}, true, "n\n", velk_mur::kExitFailure},
      {{}, true, "", velk_mur::kExitFailure}};
  for (const AnswerCase& c : cases) {
    std::vector<std::string> arguments = {"test", "--stick", stick(), "--audio", audio()};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    in.clear();
    in.str(c.input);
    EXPECT_EQ(run(arguments, c.terminal), c.expectedStatus)
        << ::testing::PrintToString(c.options) << c.terminal << c.input;
    EXPECT_NE(out.str().find("Bad file name (must be alphanumeric maybe with an '_')\n2go"),
              std::string::npos)
        << out.str();
  }
}

TEST_F(CommandLineTest, SaveRunsTheWholeCommand) {
  makeValidStick(dir / "stick");
  testing_support::writeWav(dir / "voices/hello.wav", testing_support::halfSilentHalfLoud());
  const std::vector<std::string> paths = {"--stick", stick() + "\\", "--audio", audio()};
  std::vector<std::string> save = {"save"};
  save.insert(save.end(), paths.begin(), paths.end());
  EXPECT_EQ(run(save), velk_mur::kExitFailure);  // motions not generated yet
  std::vector<std::string> generate = {"generate"};
  generate.insert(generate.end(), paths.begin(), paths.end());
  EXPECT_EQ(run(generate), velk_mur::kExitSuccess);
  EXPECT_EQ(run(save), velk_mur::kExitSuccess);
  EXPECT_EQ(out.str(), "Memory Stick Update Complete\n");
  EXPECT_TRUE(fs::exists(dir / "stick/OPEN-R/MW/DATA/P/AUDIO.ODA"));
}

}  // namespace
