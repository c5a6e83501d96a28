#include "platform/files.h"

#include <chrono>
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/case_path.h"
#include "platform/file_faults.h"
#include "platform/folder_listing.h"
#include "tests/support/prefix_failures.h"
#include "tests/support/temp_tree.h"

namespace fs = std::filesystem;
using platform::Bytes;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeTextFile;

namespace {

TEST(ResolveCase, FindsEveryComponentWithoutRegardToCase) {
  TempDir dir;
  writeTextFile(dir / "open-r/mw/conf/ers-7.mwc", "x");
  EXPECT_EQ(platform::resolveCase(dir / "OPEN-R/MW/CONF/ERS-7.MWC"),
            dir / "open-r/mw/conf/ers-7.mwc");
  // A missing leaf keeps its spelling under the resolved folders.
  EXPECT_EQ(platform::resolveCase(dir / "OPEN-R/MW/CONF/ERS-7.NEW"),
            dir / "open-r/mw/conf/ERS-7.NEW");
  // Exact names win over case-insensitive ones.
  writeTextFile(dir / "open-r/MW/x", "y");
  EXPECT_EQ(platform::resolveCase(dir / "open-r/MW/x"), dir / "open-r/MW/x");
  // ".." stays as written.
  EXPECT_EQ(platform::resolveCase(dir / "OPEN-R/../OPEN-R"), dir / "open-r/../open-r");
}

TEST(ResolveCase, NoticesEntriesOthersAddAndRemove) {
  TempDir dir;
  writeTextFile(dir / "sub/keep", "k");
  // The first lookup scans the folder and remembers it.
  EXPECT_EQ(platform::resolveCase(dir / "sub/X.CFG"), dir / "sub/X.CFG");
  writeTextFile(dir / "sub/x.cfg", "x");
  // Folder times may be coarse; move this one on as the next clock tick would.
  const auto later = fs::last_write_time(dir / "sub") + std::chrono::seconds(2);
  fs::last_write_time(dir / "sub", later);
  EXPECT_EQ(platform::resolveCase(dir / "sub/X.CFG"), dir / "sub/x.cfg");
  fs::remove(dir / "sub/x.cfg");
  fs::last_write_time(dir / "sub", later + std::chrono::seconds(2));
  EXPECT_EQ(platform::resolveCase(dir / "sub/X.CFG"), dir / "sub/X.CFG");
}

TEST(ResolveCase, RemembersWhatItCreatedRenamedAndRemoved) {
  TempDir dir;
  writeTextFile(dir / "other", "o");
  EXPECT_EQ(platform::resolveCase(dir / "NEW.BIN"), dir / "NEW.BIN");
  auto file = platform::OutputFile::create(dir / "new.bin");
  ASSERT_TRUE(file);
  ASSERT_TRUE(file->close());
  EXPECT_EQ(platform::resolveCase(dir / "NEW.BIN"), dir / "new.bin");
  ASSERT_TRUE(platform::renameFile(dir / "NEW.BIN", dir / "moved.bin"));
  EXPECT_EQ(platform::resolveCase(dir / "NEW.BIN"), dir / "NEW.BIN");
  EXPECT_EQ(platform::resolveCase(dir / "MOVED.BIN"), dir / "moved.bin");
  ASSERT_TRUE(platform::removeFile(dir / "Moved.Bin"));
  EXPECT_EQ(platform::resolveCase(dir / "MOVED.BIN"), dir / "MOVED.BIN");
}

TEST(OutputFile, ReplacesAFileOfAnotherCaseInsteadOfCreatingATwin) {
  TempDir dir;
  writeTextFile(dir / "action.cfg", "old");
  auto file = platform::OutputFile::create(dir / "ACTION.CFG");
  ASSERT_TRUE(file);
  ASSERT_TRUE(file->writeText("new"));
  ASSERT_TRUE(file->close());
  EXPECT_EQ(testing_support::readTextFile(dir / "action.cfg"), "new");
  EXPECT_FALSE(fs::exists(dir / "ACTION.CFG"));
}

TEST(OutputFile, SeeksBackToPatchAHeader) {
  TempDir dir;
  auto file = platform::OutputFile::create(dir / "f.bin");
  ASSERT_TRUE(file);
  ASSERT_TRUE(file->writeText("0000abcd"));
  ASSERT_TRUE(file->seek(0));
  ASSERT_TRUE(file->writeText("XY"));
  EXPECT_EQ(file->position(), 2u);
  ASSERT_TRUE(file->close());
  EXPECT_EQ(testing_support::readTextFile(dir / "f.bin"), "XY00abcd");
}

TEST(RenameFile, ReplacesTheTargetOfAnotherCase) {
  TempDir dir;
  writeTextFile(dir / "ers-7.mwc", "old");
  writeTextFile(dir / "ERS-7.NEW", "new");
  ASSERT_TRUE(platform::renameFile(dir / "ERS-7.NEW", dir / "ERS-7.MWC"));
  EXPECT_EQ(testing_support::readTextFile(dir / "ers-7.mwc"), "new");
  EXPECT_FALSE(fs::exists(dir / "ERS-7.MWC"));
  EXPECT_FALSE(fs::exists(dir / "ERS-7.NEW"));
}

TEST(FaultInjection, FailsExactlyTheNthOperationOfTheChosenKinds) {
  TempDir dir;
  platform::ScopedFault fault(2, {platform::FileOp::Write});
  auto file = platform::OutputFile::create(dir / "f.bin");
  ASSERT_TRUE(file);
  EXPECT_TRUE(file->writeText("a"));
  EXPECT_FALSE(file->writeText("b"));
  EXPECT_TRUE(file->writeText("c"));
  EXPECT_TRUE(file->close());
  EXPECT_TRUE(platform::FaultInjection::failureReached());
  EXPECT_EQ(platform::FaultInjection::operationsSeen(), 3);
  EXPECT_EQ(testing_support::readTextFile(dir / "f.bin"), "ac");
}

TEST(FaultInjection, CoversCreateCloseRenameAndRemove) {
  TempDir dir;
  writeTextFile(dir / "a", "a");
  {
    platform::ScopedFault fault(1, {platform::FileOp::Create});
    EXPECT_FALSE(platform::OutputFile::create(dir / "b"));
  }
  {
    platform::ScopedFault fault(1, {platform::FileOp::Close});
    auto file = platform::OutputFile::create(dir / "b");
    ASSERT_TRUE(file);
    EXPECT_FALSE(file->close());
  }
  {
    platform::ScopedFault fault(1, {platform::FileOp::Rename});
    EXPECT_FALSE(platform::renameFile(dir / "a", dir / "c"));
    EXPECT_TRUE(fs::exists(dir / "a"));
  }
  {
    platform::ScopedFault fault(1, {platform::FileOp::Remove});
    EXPECT_FALSE(platform::removeFile(dir / "a"));
    EXPECT_TRUE(fs::exists(dir / "a"));
  }
  EXPECT_TRUE(platform::removeFile(dir / "A"));
  EXPECT_FALSE(fs::exists(dir / "a"));
}

TEST(ReadWholeFile, RefusesMissingFoldersAndOversizedFiles) {
  TempDir dir;
  writeTextFile(dir / "data.bin", "12345");
  EXPECT_EQ(platform::readWholeFile(dir / "DATA.BIN"), Bytes({'1', '2', '3', '4', '5'}));
  EXPECT_FALSE(platform::readWholeFile(dir / "data.bin", 4));
  EXPECT_FALSE(platform::readWholeFile(dir / "missing"));
  EXPECT_FALSE(platform::readWholeFile(dir.path()));
  EXPECT_TRUE(platform::fileExists(dir / "Data.Bin"));
  EXPECT_FALSE(platform::fileExists(dir.path()));
}

TEST(InputFile, ReadsExactlyOrFails) {
  TempDir dir;
  writeTextFile(dir / "f", "abc");
  auto file = platform::InputFile::open(dir / "f");
  ASSERT_TRUE(file);
  EXPECT_EQ(file->size(), 3u);
  Bytes two(2), two_more(2);
  EXPECT_TRUE(file->read(two));
  EXPECT_FALSE(file->read(two_more));
  EXPECT_TRUE(file->close());
}

TEST(ListFolder, MatchesWithoutCaseAndSortsStably) {
  TempDir dir;
  for (const char* name : {"b.WAV", "a.wav", "B.wav", "c.txt", "notes.wav.txt"})
    writeTextFile(dir / name, "x");
  fs::create_directory(dir / "dir.wav");
  const std::vector<std::string> expected = {"a.wav", "B.wav", "b.WAV"};
  EXPECT_EQ(platform::listFolder(dir.path(), "*.wav"), expected);
  EXPECT_TRUE(platform::listFolder(dir / "missing", "*.wav").empty());
  // The folder itself is found without regard to case.
  fs::create_directory(dir / "Voices");
  writeTextFile(dir / "Voices/x.wav", "x");
  EXPECT_EQ(platform::listFolder(dir / "voices", "*.wav"), std::vector<std::string>{"x.wav"});
}

TEST(MemorySinks, FailingSinkStopsAtItsLimit) {
  platform::FailingSink sink(3);
  EXPECT_TRUE(sink.writeText("ab"));
  EXPECT_FALSE(sink.writeText("cd"));
  EXPECT_EQ(sink.bytes(), Bytes({'a', 'b', 'c'}));
  platform::MemorySink memory;
  memory.writeText("abcd");
  ASSERT_TRUE(memory.seek(1));
  memory.writeText("X");
  EXPECT_EQ(memory.bytes(), Bytes({'a', 'X', 'c', 'd'}));
  EXPECT_FALSE(memory.seek(5));
}

}  // namespace
