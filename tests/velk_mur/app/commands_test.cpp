#include "velk_mur/app/commands.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/settings.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/stick_tree.h"
#include "velk_mur/generate/naming.h"

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

struct CollapseCase {
  std::string text;
  std::string expected;
};

TEST(CollapseDoubleBackslashes, EveryRunBecomesOne) {
  const std::vector<CollapseCase> cases = {{"E:\\\\OPEN-R", "E:\\OPEN-R"},
                                           {"E:\\OPEN-R", "E:\\OPEN-R"},
                                           {"\\\\\\\\a\\\\\\b", "\\a\\b"},
                                           {"\\\\server\\share", "\\server\\share"},
                                           {"", ""},
                                           {"a/b//c", "a/b//c"},
                                           {"E:\\copy\\\\OPEN-R\\", "E:\\copy\\OPEN-R\\"}};
  for (const CollapseCase& c : cases) {
    EXPECT_EQ(velk_mur::collapseDoubleBackslashes(c.text), c.expected) << c.text;
  }
}

#ifndef _WIN32
TEST(StickFileText, TrailingSeparatorOrNotGivesTheSamePath) {
  const std::vector<CollapseCase> cases = {
      {"/media/me/STICK", "/media/me/STICK/OPEN-R/MW/CONF/ERS-7.MWC"},
      {"/media/me/STICK/", "/media/me/STICK/OPEN-R/MW/CONF/ERS-7.MWC"},
      {"/media/me/STICK\\", "/media/me/STICK/OPEN-R/MW/CONF/ERS-7.MWC"},
      {"\\media\\\\me\\STICK", "/media/me/STICK/OPEN-R/MW/CONF/ERS-7.MWC"},
      {"//media/me/STICK//", "/media/me/STICK/OPEN-R/MW/CONF/ERS-7.MWC"},
      {"", "/OPEN-R/MW/CONF/ERS-7.MWC"}};
  for (const CollapseCase& c : cases) {
    EXPECT_EQ(velk_mur::stickFileText(c.text, "OPEN-R\\MW\\CONF\\ERS-7.MWC"), c.expected) << c.text;
  }
}

TEST(StickRootFromText, NamesTheSameFolderAsTheCheckedFiles) {
  EXPECT_EQ(velk_mur::stickRootFromText("/media/me/STICK"), fs::path("/media/me/STICK/"));
  EXPECT_EQ(velk_mur::stickRootFromText("/media/me/STICK\\"), fs::path("/media/me/STICK/"));
  EXPECT_EQ(velk_mur::stickRootFromText(""), fs::path("/"));
  EXPECT_EQ(velk_mur::audioFolderFromText("a\\\\b"), fs::path("a/b"));
  EXPECT_EQ(velk_mur::audioFolderFromText(""), fs::path("."));
}
#endif

class CommandTest : public ::testing::Test {
 protected:
  CommandTest() : environment(environmentIn(dir)) {}

  std::string stickText() const { return (dir / "stick").string(); }
  fs::path audioFolder() const { return dir / "voices"; }
  PathTexts validPaths() const { return {stickText(), audioFolder().string()}; }
  bool settingsWritten() const { return fs::exists(velk_mur::settingsFilePath(environment)); }

  TempDir dir;
  velk_mur::AppEnvironment environment;
  RecordingMessenger messenger;
};

TEST_F(CommandTest, StickMissingAFileGivesItsErrorMessagesAndStoresNothing) {
  struct Case {
    const char* present;
    std::string stickSuffix;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"OPEN-R/MW/CONF/ERS-7.MWC",
       "/",
       {"Invalid path for RCODE memory stick", "Be sure to install the VELK7 addon",
        stickText() + "/OPEN-R/APP/PC/AMS/ACTION.CFG"}},
      {"OPEN-R/APP/PC/AMS/ACTION.CFG",
       "",
       {"Invalid path for RCODE-7 memory stick", stickText() + "/OPEN-R/MW/CONF/ERS-7.MWC"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.present);
    fs::remove_all(dir / "stick");
    writeTextFile(dir / "stick" / c.present, "x");
    messenger.clear();
    EXPECT_FALSE(velk_mur::validateStickPath({stickText() + c.stickSuffix, "anything"}, environment,
                                             messenger));
    EXPECT_EQ(messenger.texts(), c.expected);
    for (const auto& entry : messenger.entries()) EXPECT_TRUE(entry.isError);
    EXPECT_FALSE(settingsWritten());
  }
}

TEST_F(CommandTest, ValidStickStoresBothPathsAsTyped) {
  makeValidStick(dir / "stick");
  const PathTexts paths{stickText() + "\\", "c:\\aibo\\mydata"};
  EXPECT_TRUE(velk_mur::validateStickPath(paths, environment, messenger));
  EXPECT_TRUE(messenger.entries().empty());
  EXPECT_EQ(velk_mur::loadPathTexts(environment), paths);
  EXPECT_EQ(readTextFile(velk_mur::settingsFilePath(environment)),
            "[VELK_MUR]\r\nMEMSTICK=" + paths.stickPath + "\r\nLOCALDATA=c:\\aibo\\mydata\r\n");
}

TEST_F(CommandTest, StickFilesAreFoundWithoutRegardToCase) {
  testing_support::makeStickTree(dir / "stick", testing_support::mwcFile({}), "",
                                 testing_support::StickNameCase::Lower);
  EXPECT_TRUE(velk_mur::validateStickPath(validPaths(), environment, messenger));
}

TEST_F(CommandTest, EveryCommandStopsAtAFailedPathCheck) {
  const PathTexts paths{stickText(), audioFolder().string()};
  writeRecording(audioFolder(), "hello", 100);
  EXPECT_FALSE(velk_mur::runGenerate(paths, environment, messenger).ok);
  EXPECT_FALSE(velk_mur::runTest(paths, environment, messenger).ok);
  const velk_mur::CommandResult save = velk_mur::runSaveToStick(paths, environment, messenger);
  EXPECT_FALSE(save.ok);
  EXPECT_FALSE(save.closeDialog);
  EXPECT_EQ(messenger.texts().size(), 9u);
  EXPECT_FALSE(fs::exists(velk_mur::generatedFolder(audioFolder())));
}

TEST_F(CommandTest, GenerateReportsWhatItCreatedThenNothing) {
  makeValidStick(dir / "stick");
  testing_support::writeWav(audioFolder() / "hello.wav", testing_support::halfSilentHalfLoud());
  const velk_mur::CommandResult first = velk_mur::runGenerate(validPaths(), environment, messenger);
  EXPECT_TRUE(first.ok);
  EXPECT_EQ(messenger.texts(),
            std::vector<std::string>{"Regenerated 2 motion files and 1 LED files\nReady to 'Save "
                                     "to Stick'"});
  EXPECT_TRUE(fs::is_directory(audioFolder() / "GEN"));
  messenger.clear();
  EXPECT_TRUE(velk_mur::runGenerate(validPaths(), environment, messenger).ok);
  EXPECT_EQ(messenger.texts(),
            std::vector<std::string>{"Nothing regenerated\nReady to 'Save to Stick'"});
}

TEST_F(CommandTest, GenerateAddsItsGeneralMessageAfterThePassFails) {
  makeValidStick(dir / "stick");
  writeRecording(audioFolder(), "2go", 100);
  EXPECT_FALSE(velk_mur::runGenerate(validPaths(), environment, messenger).ok);
  ASSERT_EQ(messenger.texts().size(), 2u);
  EXPECT_EQ(messenger.texts().back(), "Error during egeneration\nPlease fix error and try again");
  EXPECT_TRUE(messenger.entries().back().isError);
  EXPECT_TRUE(settingsWritten());
}

struct ReportCase {
  int count;
  std::int64_t bytes;
  std::string expected;
};

TEST(TestReport, ShowsMegabytesAndWarnsAboveThreeMillionBytes) {
  const std::vector<ReportCase> cases = {
      {3, 3000000, "3 actions ok and ready to 'Save to Stick'\n(3.00MB Audio)"},
      {3, 3000001, "3 actions ok and ready to 'Save to Stick'\n(3.00MB Audio - WARNING )"},
      {1, 8000, "1 actions ok and ready to 'Save to Stick'\n(0.01MB Audio)"},
      {2, 5000, "2 actions ok and ready to 'Save to Stick'\n(0.01MB Audio)"},
      {12, 12345678, "12 actions ok and ready to 'Save to Stick'\n(12.35MB Audio - WARNING )"},
      {1, 0, "1 actions ok and ready to 'Save to Stick'\n(0.00MB Audio)"}};
  for (const ReportCase& c : cases) {
    EXPECT_EQ(velk_mur::testReport(c.count, c.bytes), c.expected) << c.bytes;
  }
}

TEST_F(CommandTest, TestWarnsOnlyAboveThreeMillionBytesOfSound) {
  makeValidStick(dir / "stick");
  struct Case {
    std::vector<std::pair<const char*, std::size_t>> recordings;
    std::string expected;
  };
  const Case cases[] = {
      {{{"big", 3000000}}, "1 actions ok and ready to 'Save to Stick'\n(3.00MB Audio)"},
      {{{"big", 2999999}, {"tiny", 2}},
       "2 actions ok and ready to 'Save to Stick'\n(3.00MB Audio - WARNING )"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    fs::remove_all(audioFolder());
    for (const auto& [name, bytes] : c.recordings) {
      writeRecording(audioFolder(), name, bytes);
      writeReadyCompanions(audioFolder(), name);
    }
    messenger.clear();
    EXPECT_TRUE(velk_mur::runTest(validPaths(), environment, messenger).ok);
    EXPECT_EQ(messenger.texts(), std::vector<std::string>{c.expected});
  }
}

TEST_F(CommandTest, TestStoresBothPathsEvenWhenTheCheckFails) {
  makeValidStick(dir / "stick");
  fs::create_directories(audioFolder());
  EXPECT_FALSE(velk_mur::runTest(validPaths(), environment, messenger).ok);
  EXPECT_EQ(messenger.texts(),
            std::vector<std::string>{"No .WAV files found, please add some and try again"});
  EXPECT_EQ(velk_mur::loadPathTexts(environment), validPaths());
}

TEST_F(CommandTest, SaveStopsWithoutClosingWhenTheCheckFails) {
  makeValidStick(dir / "stick");
  writeRecording(audioFolder(), "hello", 100);
  const auto before = testing_support::snapshotTree(dir / "stick");
  const velk_mur::CommandResult result =
      velk_mur::runSaveToStick(validPaths(), environment, messenger);
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(result.closeDialog);
  EXPECT_EQ(testing_support::snapshotTree(dir / "stick"), before);
}

TEST_F(CommandTest, SaveWritesTheTreeThePathCheckAccepted) {
  testing_support::writeWav(audioFolder() / "hello.wav", testing_support::halfSilentHalfLoud());
  for (const std::string suffix : {"", "/", "\\", "//"}) {
    TempDir sticks;
    makeValidStick(sticks / "copy");
    const PathTexts paths{(sticks / "copy").string() + suffix, audioFolder().string()};
    ASSERT_TRUE(velk_mur::runGenerate(paths, environment, messenger).ok);
    messenger.clear();
    int busyCalls = 0;
    const velk_mur::CommandResult result = velk_mur::runSaveToStick(
        paths, environment, messenger, [&busyCalls](bool busy) { busyCalls += busy ? 1 : 10; });
    EXPECT_TRUE(result.ok) << suffix;
    EXPECT_TRUE(result.closeDialog);
    EXPECT_EQ(busyCalls, 11);
    EXPECT_EQ(messenger.texts(), std::vector<std::string>{"Memory Stick Update Complete"});
    EXPECT_EQ(readTextFile(sticks / "copy/OPEN-R/APP/PC/AMS/ACTION.CFG"),
              "HELLO           \t24001\t0\tHELLO.WAV + motion + leds\r\n");
    EXPECT_FALSE(fs::exists(sticks / "OPEN-R")) << suffix;
    messenger.clear();
  }
}

TEST_F(CommandTest, SaveWarnsAboutLargeAudioAndGoesOn) {
  makeValidStick(dir / "stick");
  writeRecording(audioFolder(), "big", 3000001);
  ASSERT_TRUE(velk_mur::runGenerate(validPaths(), environment, messenger).ok);
  messenger.clear();
  const velk_mur::CommandResult result =
      velk_mur::runSaveToStick(validPaths(), environment, messenger);
  EXPECT_TRUE(result.ok);
  const std::vector<std::string> expected = {
      "WARNING: You have a lot of .WAV files, they may not work", "Memory Stick Update Complete"};
  EXPECT_EQ(messenger.texts(), expected);
}

TEST_F(CommandTest, FailedSaveClosesWithoutCompletionMessage) {
  testing_support::makeStickTree(dir / "stick", platform::Bytes{'j', 'u', 'n', 'k'});
  writeRecording(audioFolder(), "hello", 100);
  writeReadyCompanions(audioFolder(), "hello");
  const velk_mur::CommandResult result =
      velk_mur::runSaveToStick(validPaths(), environment, messenger);
  EXPECT_FALSE(result.ok);
  EXPECT_TRUE(result.closeDialog);
  ASSERT_FALSE(messenger.texts().empty());
  for (const std::string& text : messenger.texts()) {
    EXPECT_NE(text, "Memory Stick Update Complete");
  }
}

TEST(About, ShowsTheVersion) {
  RecordingMessenger messenger;
  EXPECT_TRUE(velk_mur::showAbout(messenger).ok);
  EXPECT_EQ(messenger.texts(),
            std::vector<std::string>{"Murmelon\nanother Dravlen tool\nVersion .11"});
  EXPECT_FALSE(messenger.entries()[0].isError);
}

}  // namespace
