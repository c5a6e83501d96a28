// The stick inspection on the example stick as saved, and on copies of it damaged one way
// each: every damage is named on a line of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>

#include "tests/support/temp_tree.h"
#include "velk_mur/stick/stick_inspection.h"

namespace fs = std::filesystem;

namespace {

using testing_support::readFile;
using testing_support::writeFile;

const fs::path kData = "OPEN-R/MW/DATA/P";

const fs::path kExampleStick = fs::path(VELK_SOURCE_DIR) / "examples/stick";

// Replaces the first occurrence of `from` in a file by `to`, of the same length.
void replaceInFile(const fs::path& path, std::string_view from, std::string_view to) {
  platform::Bytes bytes = readFile(path);
  const auto found = std::search(bytes.begin(), bytes.end(), from.begin(), from.end());
  ASSERT_NE(found, bytes.end()) << from;
  std::copy(to.begin(), to.end(), found);
  writeFile(path, bytes);
}

TEST(StickInspection, ExampleStickIsConsistentAndListsEveryFile) {
  // The inspection only reads: the example itself will do.
  const velk_mur::StickInspection inspection = velk_mur::inspectStick(kExampleStick);
  EXPECT_TRUE(inspection.problems.empty()) << inspection.problems.front();
  // Blocks outside 24001 to 25001 may name entries that live elsewhere on the robot.
  ASSERT_FALSE(inspection.notes.empty());
  EXPECT_EQ(inspection.notes.front(),
            "ERS-7.MWC block 1101: a_sit#any_sit (full-body motion) is not in MOTION.ODA (it may "
            "live elsewhere on the robot)");
  std::string listing;
  for (const std::string& line : inspection.listing) listing += line + "\n";
  for (const char* text :
       {"== ACTION.CFG", "| HELLO", "== AUDIO.ODA", "== MOTION.ODA", "== LED.ODA",
        "h_any#any_7hello", "== ERS-7.MWC", "* block  24001, 4 records"})
    EXPECT_NE(listing.find(text), std::string::npos) << text;
}

TEST(StickInspection, NamesEachDamageOnItsOwnLine) {
  struct Row {
    const char* what;
    std::function<void(const fs::path&)> damage;
    std::string problem;  // the line, or its start
  };
  const Row rows[] = {
      {"sound entry missing from the archive",
       [](const fs::path& root) {
         replaceInFile(root / kData / "AUDIO.ODA", std::string("hello\0", 6),
                       std::string("hellx\0", 6));
       },
       "ERS-7.MWC block 24001: hello (sound) is not in AUDIO.ODA"},
      {"catalogue number without a block",
       [](const fs::path& root) {
         const fs::path catalogue = root / "OPEN-R/APP/PC/AMS/ACTION.CFG";
         testing_support::writeTextFile(catalogue, testing_support::readTextFile(catalogue) +
                                                       "EXTRA           \t24999\t0\tEXTRA.WAV\r\n");
       },
       "ACTION.CFG line 4: action 24999 (EXTRA) has no block in ERS-7.MWC"},
      {"truncated archive",
       [](const fs::path& root) {
         const fs::path archive = root / kData / "LED.ODA";
         fs::resize_file(archive, fs::file_size(archive) - 1);
       },
       "LED.ODA: entry"},
      {"archive missing", [](const fs::path& root) { fs::remove(root / kData / "MOTION.ODA"); },
       "MOTION.ODA does not exist"},
      {"motion entry that is no motion file",
       [](const fs::path& root) {
         replaceInFile(root / kData / "MOTION.ODA", std::string("OMTN\0\0\0\0\x18", 9),
                       std::string("OMTX\0\0\0\0\x18", 9));
       },
       "MOTION.ODA entry h_any#any_7hello: not a motion file (no \"OMTN\" magic)"},
      {"sound entry without its format chunk",
       [](const fs::path& root) { replaceInFile(root / kData / "AUDIO.ODA", "fmt ", "fmx "); },
       "AUDIO.ODA entry hello: sound data before the format chunk"},
      {"configuration unreadable past its first block",
       [](const fs::path& root) {
         replaceInFile(root / "OPEN-R/MW/CONF/ERS-7.MWC", "CMAC", "CMAX");
       },
       "ERS-7.MWC: block"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const testing_support::TempDir folder;
    const fs::path root = folder / "stick";
    fs::copy(kExampleStick, root, fs::copy_options::recursive);
    row.damage(root);
    const velk_mur::StickInspection inspection = velk_mur::inspectStick(root);
    ASSERT_FALSE(inspection.problems.empty());
    EXPECT_EQ(inspection.problems.front().substr(0, row.problem.size()), row.problem)
        << inspection.problems.front();
  }
}

}  // namespace
