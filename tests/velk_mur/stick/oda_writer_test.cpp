#include "velk_mur/stick/src/oda_writer.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/prefix_failures.h"
#include "tests/support/stick_tree.h"
#include "tests/support/temp_tree.h"

namespace fs = std::filesystem;
using platform::Bytes;
using testing_support::expectedArchive;
using testing_support::fileBytes;
using testing_support::OdaEntry;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;
using velk_mur::OdaWriter;

namespace {

TEST(OdaWriter, HeaderOfTwoSlotArchiveMatchesHandCheckedBytes) {
  platform::MemorySink sink;
  OdaWriter writer;
  ASSERT_TRUE(writer.createOn(sink, 2));
  ASSERT_TRUE(writer.finish());
  Bytes expected{0x4F, 0x44, 0x41, 0x52, 0x00, 0x00, 0x03, 0x00,
                 0x02, 0x00, 0x00, 0x00, 0x90, 0x00, 0x00, 0x00};
  expected.resize(64, 0);  // an archive without entries is its header alone
  EXPECT_EQ(sink.bytes(), expected);
}

// Slots, then the data without padding, a spare slot left zero; names keep their case, and an
// entry larger than one copy chunk comes whole.
TEST(OdaWriter, WritesSlotsThenData) {
  const std::vector<std::pair<platform::FourCC, OdaEntry>> entries = {
      {velk_mur::kMotionTag, {"OMTN", "h_any#any_7Hello", fileBytes("first", 1001)}},
      {velk_mur::kWaveTag, {"WAVE", std::string(127, 'n'), fileBytes("second", 70000)}},
      {velk_mur::kLedTag, {std::string("LED\0", 4), "x", {1, 2, 3}}}};
  TempDir dir;
  OdaWriter writer;
  ASSERT_TRUE(writer.create(dir / "OUT.ODA", 4));
  std::vector<OdaEntry> expected;
  for (const auto& [tag, entry] : entries) {
    writeFile(dir / entry.name, entry.data);
    ASSERT_TRUE(writer.addEntry(dir / entry.name, entry.name, tag));
    expected.push_back(entry);
  }
  ASSERT_TRUE(writer.finish());
  EXPECT_EQ(readFile(dir / "OUT.ODA"), expectedArchive(4, expected));
}

TEST(OdaWriter, RefusedAddsWriteNothing) {
  TempDir dir;
  writeFile(dir / "empty.wav", Bytes{});
  writeFile(dir / "ok.wav", Bytes{5, 6});
  const struct {
    const char* what;
    std::int32_t slots;
    fs::path source;
    std::string name;
  } rows[] = {
      {"empty source", 1, dir / "empty.wav", "a"},
      {"missing source", 1, dir / "missing.wav", "a"},
      {"name of 128 characters", 1, dir / "ok.wav", std::string(128, 'n')},
      {"beyond the slot count", 0, dir / "ok.wav", "a"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    platform::MemorySink sink;
    OdaWriter writer;
    ASSERT_TRUE(writer.createOn(sink, row.slots));
    EXPECT_FALSE(writer.addEntry(row.source, row.name, velk_mur::kWaveTag));
    ASSERT_TRUE(writer.finish());
    EXPECT_EQ(sink.bytes().size(), velk_mur::kOdaHeaderSize);  // an empty archive is its header
  }
}

TEST(OdaWriter, EveryFailedWriteFailsTheArchive) {
  TempDir dir;
  writeFile(dir / "a.wav", fileBytes("a", 300));
  writeFile(dir / "b.wav", fileBytes("b", 200));
  testing_support::expectEveryPrefixFails([&](platform::ByteSink& sink) {
    OdaWriter writer;
    return writer.createOn(sink, 2) && writer.addEntry(dir / "a.wav", "a", velk_mur::kWaveTag) &&
           writer.addEntry(dir / "b.wav", "b", velk_mur::kWaveTag) && writer.finish();
  });
}

}  // namespace
