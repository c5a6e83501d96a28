#include "velk_mur/commands/commands.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/path_text.h"
#include "tests/support/file_faults.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/stick_tree.h"

namespace fs = std::filesystem;
using testing_support::snapshotTree;

namespace velk_mur {
namespace {

// A path as messages show it: with the system's own separator.
std::string native(const std::string& text) {
  return platform::pathToText(platform::textToPath(text));
}

TEST(PathTexts, BecomeTheFilesTheCommandsUse) {
  const AppEnvironment environment{"/work", "/home/me"};
  const std::pair<std::string, std::string> cases[] = {
      {collapseDoubleBackslashes("\\\\\\\\a\\\\\\b"), "\\\\a\\b"},  // a network path
      {collapseDoubleBackslashes("a\\\\\\b\\\\"), "a\\b\\"},
      {expandPathText("~/aibo", environment), platform::pathToText("/home/me") + "/aibo"},
      {expandPathText("~me/aibo", environment), "~me/aibo"},
      {expandPathText("file:///media/my%20stick", environment), "/media/my stick"},
#ifndef _WIN32
      {stickFileText("\\media\\\\STICK//", "OPEN-R\\MW"), "/media/STICK/OPEN-R/MW"},
      {stickRootFromText("/media/STICK\\").string(), "/media/STICK/"},
      {audioFolderFromText("a\\\\b").string(), "a/b"},
#else
      {stickFileText("E:", "OPEN-R\\MW"), "E:\\OPEN-R\\MW"},
      {stickFileText("e:/STICK//", "OPEN-R\\MW"), "e:\\STICK\\OPEN-R\\MW"},
      {stickRootFromText("E:").string(), "E:\\"},
      {stickRootFromText("E:\\").string(), "E:\\"},
      {audioFolderFromText("c:/aibo//mydata").string(), "c:\\aibo\\mydata"},
#endif
      {audioFolderFromText("").string(), "."}};
  for (const auto& [actual, expected] : cases) EXPECT_EQ(actual, expected);
}

TEST(TestReport, ShowsMegabytesAndWarnsAboveThreeMillionBytes) {
  EXPECT_EQ(testReport(3, 3000000), "3 actions ok and ready to 'Save to Stick'\n(3.00MB Audio)");
  EXPECT_EQ(testReport(3, 3000001),
            "3 actions ok and ready to 'Save to Stick'\n(3.00MB Audio - WARNING )");
}

// Says "stop" at one progress step, as the user's Cancel does.
class CancellingMessenger : public platform::RecordingMessenger {
 public:
  std::string step;
  bool progress(std::string_view what, int done, int total) override {
    RecordingMessenger::progress(what, done, total);
    return progressSteps().back() != step;
  }
};

class CommandTest : public ::testing::Test {
 protected:
  CommandTest() : environment(testing_support::environmentIn(dir)) {
    fs::create_directories(dir / "home");
  }
  std::string path(const char* name) const { return (dir / name).string(); }

  testing_support::TempDir dir;
  AppEnvironment environment;
  CancellingMessenger messenger;
};

// One session over a stick and three recordings: the stick path is checked first and stored as
// typed, each command shows its outcome last, and a cancelled one ends quietly with complete
// files and the stick as it was.
TEST_F(CommandTest, CommandsCheckThePathsReportTheirOutcomeOrEndQuietlyWhenCancelled) {
  // Stick file names in lower case, as on a stick copied to a case-sensitive file system.
  testing_support::makeStickTree(dir / "stick", testing_support::mwcFile({}), "",
                                 testing_support::StickNameCase::Lower);
  testing_support::writeTextFile(dir / "half/OPEN-R/APP/PC/AMS/ACTION.CFG", "");
  for (const char* name : {"one", "two"})
    testing_support::writeRecording(dir / "voices", name, 800);
  testing_support::writeRecording(dir / "voices", "six", kAudioWarningBytes + 1);
  testing_support::writeRecording(dir / "bad", "2go", 100);
  int busyCalls = 0;
  using Command =
      std::function<CommandResult(const PathTexts&, const AppEnvironment&, platform::Messenger&)>;
  const Command generate = runGenerate, test = runTest;
  const Command save = [&](const auto& paths, const auto& environment, auto& messenger) {
    return runSaveToStick(paths, environment, messenger,
                          [&](bool on) { busyCalls += on ? 1 : 10; });
  };
  const std::string warning = "WARNING: You have a lot of .WAV files, they may not work";
  const std::string ready = "\nReady to 'Save to Stick'", saved = "Memory Stick Update Complete";
  const std::string stick = path("stick"), half = path("half"), missing = path("missing");
  const std::string configuration = native(half + "/OPEN-R/MW/CONF/ERS-7.MWC");
  const PathTexts paths{stick + "\\", path("voices")};
  using Texts = std::vector<std::string>;
  const Texts noCatalogue = {
      "Invalid path for RCODE memory stick\nBe sure to install the VELK7 addon\n" +
      native(stick + "x/OPEN-R/APP/PC/AMS/ACTION.CFG")};
  const std::string badName = "Bad file name (must be alphanumeric maybe with an '_')\n2go";
  const std::string failed = "Error during egeneration\nPlease fix error and try again";
  const std::string notGenerated =
      "Missing motion/led files for 3 actions\n(one,six,two)\nPlease Generate new ones";
  // The command, its paths, the step cancelled at, the messages, the files in GEN after.
  const std::tuple<Command, PathTexts, std::string, Texts, std::size_t> rows[] = {
      {generate, {stick + "x", "a"}, "", noCatalogue, 0},
      {test, {half + "/", "a"}, "", {"Invalid path for RCODE-7 memory stick\n" + configuration}, 0},
      {generate, {stick, missing}, "", {"Audio data folder not found\n" + missing}, 0},
      {generate, {stick, path("bad")}, "", {badName, failed}, 0},
      {save, paths, "", {notGenerated}, 0},
      {generate, paths, "Generating 1/3", {}, 3},
      {generate, paths, "", {"Regenerated 4 motion files and 2 LED files" + ready}, 9},
      {generate, {"file://" + stick, "~/../voices"}, "", {"Nothing regenerated" + ready}, 9},
      {test, paths, "Checking 2/3", {}, 9},
      {save, paths, "Saving 3/3", {warning}, 9},
      {save, paths, "", {warning, saved}, 9}};
  for (const auto& [command, rowPaths, cancelAt, texts, filesInGen] : rows) {
    SCOPED_TRACE(rowPaths.stickPath + " " + rowPaths.audioPath + " " + cancelAt);
    const bool checked = fs::exists(settingsFilePath(environment));
    messenger.clear();
    messenger.step = cancelAt;
    const auto stickBefore = snapshotTree(dir / "stick");
    const CommandResult result = command(rowPaths, environment, messenger);
    const std::string last = texts.empty() ? "" : texts.back();
    EXPECT_EQ(result.ok, last.ends_with(ready) || last == saved);
    EXPECT_EQ(result.closeDialog, last == saved);
    EXPECT_EQ(messenger.texts(), texts);
    const std::vector<std::string>& steps = messenger.progressSteps();
    EXPECT_TRUE(cancelAt.empty() || (!steps.empty() && steps.back() == cancelAt));
    EXPECT_EQ(snapshotTree(dir / "stick") == stickBefore, last != saved);
    EXPECT_EQ(snapshotTree(dir / "voices").size(), 3 + filesInGen);
    // Paths that fail the check (the rows with the audio path "a") are not stored.
    EXPECT_EQ(fs::exists(settingsFilePath(environment)), checked || rowPaths.audioPath != "a");
  }
  EXPECT_EQ(busyCalls, 22);
  EXPECT_FALSE(fs::exists(dir / "missing"));
  EXPECT_EQ(testing_support::readTextFile(settingsFilePath(environment)),
            "[VELK_MUR]\r\nMEMSTICK=" + stick + "\\\r\nLOCALDATA=" + paths.audioPath + "\r\n");

  // A file that could not be checked is not taken for absent: the path is not called invalid.
  messenger.clear();
  const platform::ScopedFault unreadable(platform::textToPath(configuration),
                                         {platform::FileOp::Check});
  EXPECT_FALSE(validateStickPath({half, "a"}, environment, messenger));
  EXPECT_EQ(messenger.texts(), std::vector<std::string>{"Could not read " + configuration +
                                                        "\nThe memory stick may be unreadable or "
                                                        "locked"});
}

// A name whose play line in VELK7 would pass the robot's 127 bytes is saved with a warning
// naming it; 43 characters still fit (44 with the audio-only ending's shorter note).
TEST_F(CommandTest, SaveWarnsOfNamesTooLongForAPlayLineInVelk7) {
  testing_support::makeStickTree(dir / "stick", testing_support::mwcFile({}), "");
  const std::string fits(43, 'a');
  const std::string tooLong(44, 'b');
  const std::string soundOnly = std::string(40, 'c') + "_snd";
  for (const std::string& name : {fits, tooLong, soundOnly}) {
    testing_support::writeRecording(dir / "voices", name.c_str(), 800);
  }
  const PathTexts paths{path("stick"), path("voices")};
  ASSERT_TRUE(runGenerate(paths, environment, messenger).ok);
  messenger.clear();
  EXPECT_TRUE(runSaveToStick(paths, environment, messenger, {}).ok);
  EXPECT_EQ(messenger.texts(),
            (std::vector<std::string>{
                "WARNING: VELK7 cannot add these actions to an event: the line that plays them "
                "would be longer than the 127 bytes the robot reads. Give them shorter names to "
                "use them there.\n" +
                    tooLong + " (128 bytes)",
                "Memory Stick Update Complete"}));
}

}  // namespace
}  // namespace velk_mur
