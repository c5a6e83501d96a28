#include "velk_mur/app/src/commands.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/path_text.h"
#include "platform/src/file_faults.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/stick_tree.h"

namespace fs = std::filesystem;
using platform::RecordingMessenger;
using testing_support::environmentIn;
using testing_support::makeValidStick;
using testing_support::readTextFile;
using testing_support::TempDir;
using testing_support::writeReadyCompanions;
using testing_support::writeRecording;
using testing_support::writeTextFile;
using velk_mur::PathTexts;

namespace {

// A path as messages show it: with the system's own separator.
std::string native(const std::string& text) {
  return platform::pathToText(platform::textToPath(text));
}

TEST(PathTexts, BecomeTheFilesTheCommandsUse) {
  const velk_mur::AppEnvironment environment{"/work", "/home/me"};
  const std::string home = platform::pathToText(environment.homeFolder);
  const std::pair<std::string, std::string> cases[] = {
      {velk_mur::collapseDoubleBackslashes("\\\\\\\\a\\\\\\b"), "\\a\\b"},
      {velk_mur::expandPathText("~/aibo", environment), home + "/aibo"},
      {velk_mur::expandPathText("~me/aibo", environment), "~me/aibo"},
      {velk_mur::expandPathText("file:///media/my%20stick", environment), "/media/my stick"},
#ifndef _WIN32
      {velk_mur::stickFileText("\\media\\\\STICK//", "OPEN-R\\MW"), "/media/STICK/OPEN-R/MW"},
      {velk_mur::stickRootFromText("/media/STICK\\").string(), "/media/STICK/"},
      {velk_mur::audioFolderFromText("a\\\\b").string(), "a/b"},
#else
      {velk_mur::stickFileText("E:", "OPEN-R\\MW"), "E:\\OPEN-R\\MW"},
      {velk_mur::stickFileText("e:/STICK//", "OPEN-R\\MW"), "e:\\STICK\\OPEN-R\\MW"},
      {velk_mur::stickRootFromText("E:").string(), "E:\\"},
      {velk_mur::stickRootFromText("E:\\").string(), "E:\\"},
      {velk_mur::audioFolderFromText("c:/aibo//mydata").string(), "c:\\aibo\\mydata"},
#endif
      {velk_mur::audioFolderFromText("").string(), "."}};
  for (const auto& [actual, expected] : cases) EXPECT_EQ(actual, expected);
}

class CommandTest : public ::testing::Test {
 protected:
  CommandTest() : environment(environmentIn(dir)) { fs::create_directories(dir / "home"); }

  std::string stick() const { return (dir / "stick").string(); }
  std::string audio(const char* name = "voices") const { return (dir / name).string(); }

  TempDir dir;
  velk_mur::AppEnvironment environment;
  RecordingMessenger messenger;
};

TEST_F(CommandTest, ValidateStickPathNamesWhatIsMissingAndStoresThePathsAsTyped) {
  writeTextFile(dir / "half/OPEN-R/APP/PC/AMS/ACTION.CFG", "");
  testing_support::makeStickTree(dir / "stick", testing_support::mwcFile({}), "",
                                 testing_support::StickNameCase::Lower);
  const std::string half = (dir / "half").string();
  const std::pair<PathTexts, std::vector<std::string>> cases[] = {
      {{stick() + "x", "a"},
       {"Invalid path for RCODE memory stick", "Be sure to install the VELK7 addon",
        native(stick() + "x/OPEN-R/APP/PC/AMS/ACTION.CFG")}},
      {{half + "/", "a"},
       {"Invalid path for RCODE-7 memory stick", native(half + "/OPEN-R/MW/CONF/ERS-7.MWC")}},
      {{stick() + "\\", "c:\\aibo\\mydata"}, {}}};
  for (const auto& [paths, expected] : cases) {
    messenger.clear();
    EXPECT_EQ(velk_mur::validateStickPath(paths, environment, messenger), expected.empty());
    EXPECT_EQ(messenger.texts(), expected);
    EXPECT_EQ(fs::exists(velk_mur::settingsFilePath(environment)), expected.empty());
  }
  EXPECT_EQ(readTextFile(velk_mur::settingsFilePath(environment)),
            "[VELK_MUR]\r\nMEMSTICK=" + stick() + "\\\r\nLOCALDATA=c:\\aibo\\mydata\r\n");

  // A file that could not be checked is not taken for absent: the path is not called invalid.
  messenger.clear();
  const platform::ScopedFault unreadable(1, {platform::FileOp::Check});
  EXPECT_FALSE(velk_mur::validateStickPath({half, "a"}, environment, messenger));
  EXPECT_EQ(messenger.texts(), std::vector<std::string>{
                                   "Could not read " + native(half + "/OPEN-R/MW/CONF/ERS-7.MWC") +
                                   "\nThe memory stick may be unreadable or locked"});
}

TEST_F(CommandTest, GenerateReportsItsOutcomeLast) {
  makeValidStick(dir / "stick");
  testing_support::writeWav(dir / "voices/hello.wav", testing_support::halfSilentHalfLoud());
  writeRecording(dir / "bad", "2go", 100);
  const std::pair<PathTexts, std::string> cases[] = {
      {{audio(), audio()}, native(audio() + "/OPEN-R/APP/PC/AMS/ACTION.CFG")},
      {{stick(), audio("missing")}, "Audio data folder not found\n" + audio("missing")},
      {{stick(), audio("bad")}, "Error during egeneration\nPlease fix error and try again"},
      {{stick(), audio()}, "Regenerated 2 motion files and 1 LED files\nReady to 'Save to Stick'"},
      {{"file://" + stick(), "~/../voices"}, "Nothing regenerated\nReady to 'Save to Stick'"}};
  for (const auto& [paths, expected] : cases) {
    messenger.clear();
    const bool ok = velk_mur::runGenerate(paths, environment, messenger).ok;
    ASSERT_FALSE(messenger.entries().empty());
    EXPECT_EQ(messenger.texts().back(), expected);
    EXPECT_EQ(ok, !messenger.entries().back().isError) << expected;
  }
  EXPECT_FALSE(fs::exists(dir / "missing"));
}

TEST(TestReport, ShowsMegabytesAndWarnsAboveThreeMillionBytes) {
  const std::pair<std::int64_t, std::string> cases[] = {
      {3000000, "3 actions ok and ready to 'Save to Stick'\n(3.00MB Audio)"},
      {3000001, "3 actions ok and ready to 'Save to Stick'\n(3.00MB Audio - WARNING )"},
      {12345678, "3 actions ok and ready to 'Save to Stick'\n(12.35MB Audio - WARNING )"}};
  for (const auto& [bytes, expected] : cases) EXPECT_EQ(velk_mur::testReport(3, bytes), expected);
}

TEST_F(CommandTest, SaveWarnsWritesAndClosesTheDialogEvenWhenItFails) {
  makeValidStick(dir / "stick");
  writeRecording(dir / "voices", "big", 3000001);
  EXPECT_FALSE(velk_mur::runSaveToStick({stick(), audio()}, environment, messenger).closeDialog);
  ASSERT_TRUE(velk_mur::runGenerate({stick(), audio()}, environment, messenger).ok);
  messenger.clear();
  int busyCalls = 0;
  const velk_mur::CommandResult saved = velk_mur::runSaveToStick(
      {stick(), audio()}, environment, messenger, [&](bool busy) { busyCalls += busy ? 1 : 10; });
  EXPECT_TRUE(saved.ok && saved.closeDialog);
  EXPECT_EQ(busyCalls, 11);
  const std::vector<RecordingMessenger::Entry> expected = {
      {false, true, "WARNING: You have a lot of .WAV files, they may not work"},
      {false, false, "Memory Stick Update Complete"}};
  EXPECT_EQ(messenger.entries(), expected);
}

}  // namespace
