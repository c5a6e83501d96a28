#include "platform/files.h"

#include <chrono>
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "platform/case_path.h"
#include "platform/folder_listing.h"
#include "tests/support/temp_tree.h"

namespace fs = std::filesystem;
using testing_support::readTextFile;
using testing_support::TempDir;
using testing_support::writeTextFile;

namespace {

TEST(ResolveCase, FindsEveryComponentWithoutRegardToCase) {
  TempDir dir;
  if (!testing_support::caseSensitive(dir.path())) {
    GTEST_SKIP() << "needs a folder that tells names apart by letter case";
  }
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

// The resolver remembers folders it scanned: what this program creates, renames and removes,
// and what others change (seen through the folder's time), must show in the next lookup.
TEST(ResolveCase, RemembersWhatChanged) {
  TempDir dir;
  if (!testing_support::caseSensitive(dir.path())) {
    GTEST_SKIP() << "needs a folder that tells names apart by letter case";
  }
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

  writeTextFile(dir / "x.cfg", "x");
  // Folder times may be coarse; move this one on as the next clock tick would.
  const auto later = fs::last_write_time(dir.path()) + std::chrono::seconds(2);
  fs::last_write_time(dir.path(), later);
  EXPECT_EQ(platform::resolveCase(dir / "X.CFG"), dir / "x.cfg");
  fs::remove(dir / "x.cfg");
  fs::last_write_time(dir.path(), later + std::chrono::seconds(2));
  EXPECT_EQ(platform::resolveCase(dir / "X.CFG"), dir / "X.CFG");
}

TEST(FileOperations, ReplaceTheFileOfAnotherCaseInsteadOfMakingATwin) {
  if (TempDir probe; !testing_support::caseSensitive(probe.path())) {
    GTEST_SKIP() << "needs a folder that tells names apart by letter case";
  }
  const struct {
    const char* name;
    std::function<bool(const TempDir&)> operation;
  } rows[] = {
      {"create",
       [](const TempDir& dir) {
         auto file = platform::OutputFile::create(dir / "ERS-7.MWC");
         return file && file->writeText("new") && file->close();
       }},
      {"rename",
       [](const TempDir& dir) {
         writeTextFile(dir / "ERS-7.NEW", "new");
         return platform::renameFile(dir / "ERS-7.NEW", dir / "ERS-7.MWC");
       }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    TempDir dir;
    writeTextFile(dir / "ers-7.mwc", "old");
    ASSERT_TRUE(row.operation(dir));
    EXPECT_FALSE(fs::exists(dir / "ERS-7.MWC"));
    EXPECT_FALSE(fs::exists(dir / "ERS-7.NEW"));
    EXPECT_EQ(readTextFile(dir / "ers-7.mwc"), "new");
  }
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
  EXPECT_EQ(readTextFile(dir / "f.bin"), "XY00abcd");
}

TEST(ListFolder, MatchesWithoutCaseAndSortsStably) {
  TempDir dir;
  if (!testing_support::caseSensitive(dir.path())) {
    GTEST_SKIP() << "needs a folder that tells names apart by letter case";
  }
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

}  // namespace
