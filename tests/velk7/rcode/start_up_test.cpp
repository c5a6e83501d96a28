#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stick_fixture.h"
#include "velk7/rcode/start_up.h"

namespace fs = std::filesystem;

namespace velk7 {
namespace {

using testing::StickFixture;

TEST(StartUp, CompleteStickFromTheDefaultPath) {
  StickFixture stick;
  stick.writeComplete();
  fs::create_directories(stick.root / "VELK");
  platform::RecordingMessenger messenger;
  const std::optional<LoadedProgram> loaded = startUp("", stick.root / "VELK", messenger);
  ASSERT_TRUE(loaded.has_value());
  EXPECT_TRUE(messenger.entries().empty());
  EXPECT_EQ(loaded->path,
            stick.root / "VELK" / ".." / "OPEN-R" / "APP" / "PC" / "AMS" / "R-CODE.R");
  ASSERT_EQ(loaded->program.recordCount(), 1);
  EXPECT_EQ(loaded->program.records[0].name, "Events/Pat");
}

TEST(StartUp, CommandLinePathWithBlanks) {
  StickFixture stick;
  stick.writeComplete();
  const fs::path folder = stick.ams() / "my copy";
  fs::create_directories(folder);
  fs::copy_file(stick.program(), folder / "R-CODE.R");
  fs::copy_file(stick.ams() / "ACTION.EXT", folder / "ACTION.EXT");
  // Three folders up from "my copy" is APP, so the configuration file is looked for there.
  testing_support::writeTextFile(stick.root / "OPEN-R" / "APP" / "MW" / "CONF" / "ERS-7.MWC", "M");
  platform::RecordingMessenger messenger;
  const std::optional<LoadedProgram> loaded = startUp("my copy/R-CODE.R", stick.ams(), messenger);
  ASSERT_TRUE(loaded.has_value()) << (messenger.texts().empty() ? "" : messenger.texts()[0]);
}

TEST(StartUp, EachFailureShowsOneMessage) {
  struct Case {
    const char* what;
    std::optional<std::string> program;
    bool ext;
    std::string message;  // "%s" stands for the path of R-CODE.R
  };
  const std::vector<Case> cases = {
      {"missing", std::nullopt, true, "ERROR: Can't open R-CODE.R file\n%s"},
      {"empty", "", true, "ERROR: Can't open R-CODE.R file\n%s"},
      {"syntax", "a\r\n//{ \"A\"\r\n//{ \"B\"\r\n", true,
       "ERROR: Invalid syntax in R-CODE.R file\n%s (Missing //} - nesting not allowed around "
       "line 3)"},
      {"unclosed", "//{ \"A\"\r\n", true,
       "ERROR: Invalid syntax in R-CODE.R file\n%s (missing //} for last VELK around line -1)"},
      {"no records", "PLAY ACTION SIT\r\n", true,
       "R-CODE program installed is not VELK enabled\n%s"},
      {"no ACTION.EXT", testing::kSmallProgram, false,
       "ERROR: Missing ACTION.EXT - please reinstall\n%e"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StickFixture stick;
    stick.writeComplete();
    if (c.program) {
      stick.writeProgram(*c.program);
    } else {
      fs::remove(stick.program());
    }
    if (!c.ext) fs::remove(stick.ams() / "ACTION.EXT");
    platform::RecordingMessenger messenger;
    EXPECT_FALSE(startUp(stick.program().string(), "/", messenger).has_value());
    std::string expected = c.message;
    if (const std::size_t slot = expected.find("%s"); slot != std::string::npos) {
      expected.replace(slot, 2, stick.program().string());
    }
    if (const std::size_t slot = expected.find("%e"); slot != std::string::npos) {
      expected.replace(slot, 2, (stick.ams() / "ACTION.EXT").string());
    }
    ASSERT_EQ(messenger.entries().size(), 1u);
    EXPECT_EQ(messenger.entries()[0].text, expected);
    EXPECT_TRUE(messenger.entries()[0].isError);
  }
}

}  // namespace
}  // namespace velk7
