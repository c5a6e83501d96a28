#include "platform/files.h"

#include <chrono>
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/case_path.h"
#include "platform/folder_listing.h"
#include "tests/support/temp_tree.h"

namespace fs = std::filesystem;
using platform::resolveCase;
using testing_support::readTextFile;
using testing_support::TempDir;
using testing_support::writeTextFile;

namespace {

// What these tests show needs a folder that tells names apart by letter case.
#define SKIP_UNLESS_CASE_SENSITIVE(dir) \
  if (!testing_support::caseSensitive((dir).path())) GTEST_SKIP() << "folder ignores case"

TEST(ResolveCase, FindsEveryComponentWithoutRegardToCaseAndRemembersWhatChanged) {
  TempDir dir;
  SKIP_UNLESS_CASE_SENSITIVE(dir);
  writeTextFile(dir / "open-r/mw/conf/ers-7.mwc", "x");
  writeTextFile(dir / "open-r/X", "y");
  writeTextFile(dir / "open-r/x", "y");
  writeTextFile(dir / "open-r/aB", "z");
  writeTextFile(dir / "open-r/Ab", "z");
  const std::pair<const char*, const char*> rows[] = {
      // asked, found
      {"OPEN-R/MW/CONF/ERS-7.MWC", "open-r/mw/conf/ers-7.mwc"},
      {"OPEN-R/MW/CONF/ERS-7.NEW",
       "open-r/mw/conf/ERS-7.NEW"},              // a missing leaf keeps its spelling
      {"OPEN-R/x", "open-r/x"},                  // exact names win
      {"OPEN-R/AB", "open-r/Ab"},                // else the first in listing order
      {"OPEN-R/../OPEN-R", "open-r/../open-r"},  // ".." stays as written
  };
  for (const auto& [asked, found] : rows) EXPECT_EQ(resolveCase(dir / asked), dir / found);

  // Creating or renaming onto a name of another case replaces that file instead of a twin.
  const fs::path conf = dir / "open-r/mw/conf";
  auto created = platform::OutputFile::create(dir / "OPEN-R/MW/CONF/ERS-7.MWC");
  ASSERT_TRUE(created && created->writeText("created") && created->close());
  EXPECT_EQ(readTextFile(conf / "ers-7.mwc"), "created");
  writeTextFile(conf / "ERS-7.NEW", "renamed");
  ASSERT_TRUE(platform::renameFile(conf / "ERS-7.NEW", dir / "OPEN-R/MW/CONF/ERS-7.MWC"));
  EXPECT_EQ(readTextFile(conf / "ers-7.mwc"), "renamed");
  EXPECT_EQ(std::distance(fs::directory_iterator(conf), fs::directory_iterator()), 1);

  // Scanned folders are remembered: what this program creates, renames and removes, and what
  // others change (seen through the folder's time), must show in the next lookup.
  EXPECT_EQ(resolveCase(dir / "open-r/NEW.BIN"), dir / "open-r/NEW.BIN");
  auto file = platform::OutputFile::create(dir / "open-r/new.bin");
  ASSERT_TRUE(file && file->close());
  EXPECT_EQ(resolveCase(dir / "open-r/NEW.BIN"), dir / "open-r/new.bin");
  ASSERT_TRUE(platform::renameFile(dir / "open-r/NEW.BIN", dir / "open-r/moved.bin"));
  EXPECT_EQ(resolveCase(dir / "open-r/NEW.BIN"), dir / "open-r/NEW.BIN");
  EXPECT_EQ(resolveCase(dir / "open-r/MOVED.BIN"), dir / "open-r/moved.bin");
  ASSERT_TRUE(platform::removeFile(dir / "open-r/Moved.Bin"));
  EXPECT_EQ(resolveCase(dir / "open-r/MOVED.BIN"), dir / "open-r/MOVED.BIN");

  writeTextFile(dir / "x.cfg", "x");
  // Folder times may be coarse; move this one on as the next clock tick would.
  const auto later = fs::last_write_time(dir.path()) + std::chrono::seconds(2);
  fs::last_write_time(dir.path(), later);
  EXPECT_EQ(resolveCase(dir / "X.CFG"), dir / "x.cfg");
  fs::remove(dir / "x.cfg");
  fs::last_write_time(dir.path(), later + std::chrono::seconds(2));
  EXPECT_EQ(resolveCase(dir / "X.CFG"), dir / "X.CFG");
}

TEST(ListFolder, MatchesWithoutCaseAndSortsStably) {
  TempDir dir;
  SKIP_UNLESS_CASE_SENSITIVE(dir);
  for (const char* name : {"b.WAV", "a.wav", "B.wav", "c.txt", "notes.wav.txt", "Voices/x.wav"})
    writeTextFile(dir / name, "x");
  fs::create_directory(dir / "dir.wav");
  // A folder that cannot be read: a link that leads to itself fails as an I/O error would.
  std::error_code error;
  fs::create_directory_symlink(dir / "loop", dir / "loop", error);
  struct Row {
    fs::path folder;
    std::vector<std::string> names;
    platform::FileState state;
  };
  const Row rows[] = {
      {dir.path(), {"a.wav", "B.wav", "b.WAV"}, platform::FileState::Present},
      {dir / "voices", {"x.wav"}, platform::FileState::Present},
      {dir / "missing", {}, platform::FileState::Absent},
      {dir / "a.wav", {}, platform::FileState::Absent},
      {dir / "loop", {}, error ? platform::FileState::Absent : platform::FileState::Unknown},
  };
  for (const Row& row : rows) {
    const platform::FolderListing listing = platform::listFolder(row.folder, "*.wav");
    EXPECT_EQ(listing.names, row.names) << row.folder;
    EXPECT_EQ(listing.folder, row.state) << row.folder;
  }
}

}  // namespace
