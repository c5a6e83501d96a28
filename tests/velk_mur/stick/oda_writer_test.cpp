#include "velk_mur/stick/src/oda_writer.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/stick_tree.h"
#include "tests/support/temp_tree.h"

namespace fs = std::filesystem;
using platform::Bytes;
using testing_support::fileBytes;
using testing_support::OdaEntry;
using testing_support::TempDir;
using testing_support::writeFile;
using velk_mur::OdaWriter;

namespace {

// Slots, then the data without padding, a spare slot left zero; names keep their case, and an
// entry larger than one copy chunk comes whole.
TEST(OdaWriter, WritesSlotsThenData) {
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
  ASSERT_TRUE(writer.finish());
  EXPECT_EQ(sink.bytes(), testing_support::expectedArchive(4, expected));
}

TEST(OdaWriter, RefusedAddsWriteNothing) {
  TempDir dir;
  writeFile(dir / "ok.wav", Bytes{5, 6});
  const struct {
    const char* what;
    std::int32_t slots;
    std::string name;
  } rows[] = {
      {"name of 128 characters", 1, std::string(128, 'n')},
      {"beyond the slot count", 0, "a"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    platform::MemorySink sink;
    OdaWriter writer;
    ASSERT_TRUE(writer.createOn(sink, row.slots));
    EXPECT_FALSE(writer.addEntry(dir / "ok.wav", row.name, velk_mur::kWaveTag));
    ASSERT_TRUE(writer.finish());
    EXPECT_EQ(sink.bytes().size(), velk_mur::kOdaHeaderSize);  // an empty archive is its header
  }
}

}  // namespace
