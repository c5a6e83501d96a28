#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "tests/support/temp_tree.h"
#include "velk7/rcode/program.h"
#include "velk7/rcode/program_writer.h"

namespace fs = std::filesystem;

namespace velk7 {
namespace {

TEST(LocateProgram, EmptyCommandLineGivesTheDefaultBelowTheCurrentFolder) {
  const fs::path folder = fs::path("/stick") / "VELK";
  EXPECT_EQ(locateProgram("", folder),
            folder / ".." / "OPEN-R" / "APP" / "PC" / "AMS" / "R-CODE.R");
}

TEST(LocateProgram, CommandLineIsTakenWhole) {
  const fs::path folder = "/home/user";
  EXPECT_EQ(locateProgram("my stick/R-CODE.R", folder), folder / "my stick/R-CODE.R");
  EXPECT_EQ(locateProgram("\"q\"", folder), folder / "\"q\"");
  EXPECT_EQ(locateProgram("/media/stick/R-CODE.R", folder), fs::path("/media/stick/R-CODE.R"));
}

TEST(LoadProgram, ReadsTheWholeFileWithoutTranslation) {
  testing_support::TempDir dir;
  const std::string text = std::string("a\r\nb\n\0c\xFF", 8);
  testing_support::writeTextFile(dir / "R-CODE.R", text);
  RcodeProgram program;
  ASSERT_TRUE(loadProgram(program, dir / "R-CODE.R"));
  EXPECT_EQ(program.text, text);
  EXPECT_EQ(program.length(), 8);
}

TEST(LoadProgram, FindsTheFileWithoutRegardToCase) {
  testing_support::TempDir dir;
  testing_support::writeTextFile(dir / "open-r" / "r-code.r", "x");
  RcodeProgram program;
  EXPECT_TRUE(loadProgram(program, dir / "OPEN-R" / "R-CODE.R"));
}

TEST(LoadProgram, MissingEmptyOrFolderIsRefused) {
  testing_support::TempDir dir;
  testing_support::writeTextFile(dir / "EMPTY.R", "");
  fs::create_directories(dir / "FOLDER.R");
  RcodeProgram program;
  EXPECT_FALSE(loadProgram(program, dir / "MISSING.R"));
  EXPECT_FALSE(loadProgram(program, dir / "EMPTY.R"));
  EXPECT_FALSE(loadProgram(program, dir / "FOLDER.R"));
  EXPECT_TRUE(program.text.empty());
}

TEST(LoadProgram, FileTooLargeForOffsetsIsRefused) {
  testing_support::TempDir dir;
  const fs::path path = dir / "HUGE.R";
  testing_support::writeTextFile(path, "x");
  std::error_code error;
  fs::resize_file(path, std::uint64_t{1} << 31, error);  // sparse where supported
  if (error) GTEST_SKIP() << "cannot make a 2 GB file here";
  RcodeProgram program;
  EXPECT_FALSE(loadProgram(program, path));
  fs::remove(path);
}

TEST(ReleaseProgram, LeavesAnEmptyModel) {
  RcodeProgram program;
  program.text = "//{ \"A\"\nX\n//}\n";
  ASSERT_TRUE(parseRecords(program));
  releaseProgram(program);
  EXPECT_EQ(program.recordCount(), 0);
  EXPECT_EQ(program.length(), 0);
}

TEST(ExampleStick, ProgramLoadsAndSavesToIdenticalBytes) {
  const fs::path path = fs::path(VELK_SOURCE_DIR) / "examples" / "stick" / "OPEN-R" / "APP" / "PC" /
                        "AMS" / "R-CODE.R";
  if (!platform::fileExists(path)) GTEST_SKIP() << "no example stick";
  RcodeProgram program;
  ASSERT_TRUE(loadProgram(program, path));
  ASSERT_TRUE(parseRecords(program)) << program.errorText << " line " << program.lineNumber;
  EXPECT_GT(program.recordCount(), 0);
  platform::MemorySink sink;
  ASSERT_TRUE(writeProgram(program, sink));
  EXPECT_EQ(std::string(sink.bytes().begin(), sink.bytes().end()), program.text);
}

}  // namespace
}  // namespace velk7
