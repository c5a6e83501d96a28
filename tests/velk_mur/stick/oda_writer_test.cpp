#include "velk_mur/stick/src/oda_writer.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/stick_tree.h"
#include "tests/support/temp_tree.h"

namespace fs = std::filesystem;
using testing_support::fileBytes;
using testing_support::OdaEntry;
using testing_support::TempDir;
using testing_support::writeFile;
using velk_mur::OdaWriter;

namespace {

// Slots, then the data without padding, a spare slot left zero; names keep their case, and an
// entry larger than one copy chunk comes whole. A refused add writes nothing.
TEST(OdaWriter, WritesSlotsThenDataAndNothingOfARefusedAdd) {
  const std::vector<std::pair<platform::FourCC, OdaEntry>> entries = {
      {velk_mur::kMotionTag, {"OMTN", "h_any#any_7Hello", fileBytes("first", 1001)}},
      {velk_mur::kWaveTag, {"WAVE", std::string(127, 'n'), fileBytes("second", 70000)}},
      {velk_mur::kLedTag, {std::string("LED\0", 4), "x", {1, 2, 3}}}};
  TempDir dir;
  platform::MemorySink sink;
  OdaWriter writer;
  ASSERT_TRUE(writer.createOn(sink, 4));
  std::vector<OdaEntry> expected;
  for (const auto& [tag, entry] : entries) {
    writeFile(dir / entry.name, entry.data);
    ASSERT_TRUE(writer.addEntry(dir / entry.name, entry.name, tag));
    expected.push_back(entry);
  }
  EXPECT_FALSE(writer.addEntry(dir / "x", std::string(128, 'n'), velk_mur::kWaveTag));
  ASSERT_TRUE(writer.finish());
  EXPECT_EQ(sink.bytes(), testing_support::expectedArchive(4, expected));

  // An entry beyond the slot count: the archive stays its header alone.
  platform::MemorySink noSlots;
  OdaWriter full;
  ASSERT_TRUE(full.createOn(noSlots, 0));
  EXPECT_FALSE(full.addEntry(dir / "x", "x", velk_mur::kWaveTag));
  ASSERT_TRUE(full.finish());
  EXPECT_EQ(noSlots.bytes().size(), velk_mur::kOdaHeaderSize);
}

}  // namespace
