#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stick_fixture.h"
#include "velk7/rcode/program.h"
#include "velk7/rcode/start_up.h"

namespace fs = std::filesystem;

namespace velk7 {
namespace {

using Entry = platform::RecordingMessenger::Entry;
using testing::StickFixture;
using testing_support::writeTextFile;

TEST(LocateProgram, CommandLineIsTakenWhole) {
  const fs::path folder = "/home/user";
  EXPECT_EQ(locateProgram("my stick/R-CODE.R", folder), folder / "my stick/R-CODE.R");
  EXPECT_EQ(locateProgram("\"q\"", folder), folder / "\"q\"");
  EXPECT_EQ(locateProgram("/media/stick/R-CODE.R", folder), fs::path("/media/stick/R-CODE.R"));
}

// The example stick's program, found whatever the letter case, reads untranslated and
// writes back to the same bytes.
TEST(LoadProgram, ExampleStickLoadsAndSavesToIdenticalBytes) {
  const fs::path stick = fs::path(VELK_SOURCE_DIR) / "examples/stick";
  RcodeProgram program;
  ASSERT_TRUE(loadProgram(program, stick / "open-r/app/pc/ams/r-code.r"));
  EXPECT_EQ(program.text, testing_support::readTextFile(stick / "OPEN-R/APP/PC/AMS/R-CODE.R"));
  const RcodeProgram parsedProgram = testing::parsed(program.text);
  EXPECT_GT(parsedProgram.recordCount(), 0);
  EXPECT_EQ(testing::written(parsedProgram), program.text);
}

TEST(LoadProgram, RefusesMissingEmptyFolderOrHugeFiles) {
  testing_support::TempDir dir;
  writeTextFile(dir / "EMPTY.R", "");
  fs::create_directories(dir / "FOLDER.R");
  writeTextFile(dir / "HUGE.R", "x");
  fs::resize_file(dir / "HUGE.R", std::uint64_t{1} << 31);  // sparse
  for (const char* name : {"MISSING.R", "EMPTY.R", "FOLDER.R", "HUGE.R"}) {
    RcodeProgram refused;
    EXPECT_FALSE(loadProgram(refused, dir / name)) << name;
    EXPECT_TRUE(refused.text.empty()) << name;
  }
}

TEST(StartUp, CompleteStickLoadsFromTheDefaultPathEachFailureShowsOneErrorNamingTheFile) {
  const std::string smallProgram = "START\r\n//{ \"Events/Pat\"\r\n  WAIT\r\n//}\r\n";
  StickFixture stick;
  stick.write("R-CODE.R", smallProgram);
  stick.write("ACTION.EXT", "ERS-7\r\n");
  writeTextFile(stick.root / "OPEN-R/MW/CONF/ERS-7.MWC", "MWCM");
  fs::create_directories(stick.root / "VELK");
  platform::RecordingMessenger messenger;
  const std::optional<LoadedProgram> loaded = startUp("", stick.root / "VELK", messenger);
  ASSERT_TRUE(loaded.has_value());
  EXPECT_EQ(loaded->path, stick.root / "VELK" / ".." / "OPEN-R/APP/PC/AMS/R-CODE.R");
  EXPECT_EQ(loaded->program.records.at(0).name, "Events/Pat");
  EXPECT_TRUE(messenger.entries().empty());

  // The program text (none: missing), and the message before the path and after it. The last
  // row, a good program, fails on the missing ACTION.EXT, whose path the message names.
  const std::vector<std::tuple<std::optional<std::string>, std::string, std::string>> cases = {
      {std::nullopt, "ERROR: Can't open R-CODE.R file\n", ""},
      {"a\r\n//{ \"A\"\r\n//{ \"B\"\r\n", "ERROR: Invalid syntax in R-CODE.R file\n",
       " (Missing //} - nesting not allowed around line 3)"},
      {"PLAY ACTION SIT\r\n", "R-CODE program installed is not VELK enabled\n", ""},
      {smallProgram, "ERROR: Missing ACTION.EXT - please reinstall\n", ""}};
  for (const auto& [text, before, after] : cases) {
    fs::remove(stick.program());
    if (text) stick.write("R-CODE.R", *text);
    const bool good = text == smallProgram;
    if (good) fs::remove(stick.ams() / "ACTION.EXT");
    messenger.clear();
    EXPECT_FALSE(startUp(stick.program().string(), "/", messenger).has_value());
    const std::string named = (good ? stick.ams() / "ACTION.EXT" : stick.program()).string();
    EXPECT_EQ(messenger.entries(), (std::vector<Entry>{{false, true, before + named + after}}));
  }
}

}  // namespace
}  // namespace velk7
