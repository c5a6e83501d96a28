#include "velk_mur/stick/oda_writer.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/file_faults.h"
#include "tests/support/temp_tree.h"
#include "tests/velk_mur/stick/stick_test_bytes.h"

namespace fs = std::filesystem;
using platform::Bytes;
using stick_testing::expectedArchive;
using stick_testing::fileBytes;
using stick_testing::OdaEntry;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;
using velk_mur::OdaWriter;

namespace {

std::string slotName(const Bytes& archive, std::size_t slot) {
  return std::string(reinterpret_cast<const char*>(archive.data() + 64 + slot * 144 + 4));
}

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

TEST(OdaWriter, WritesSlotsThenDataWithoutPaddingAndKeepsNameCase) {
  struct Added {
    platform::FourCC tag;
    OdaEntry expected;
  };
  struct Case {
    const char* what;
    std::uint32_t slots;
    std::vector<Added> entries;
  };
  const std::string led("LED\0", 4);
  const Case cases[] = {
      {"one entry, second slot zero, data at 352",
       2,
       {{velk_mur::kWaveTag, {"WAVE", "hello", fileBytes("wave", 1000)}}}},
      {"second entry larger than one copy chunk",
       3,
       {{velk_mur::kMotionTag, {"OMTN", "h_any#any_7Hello", fileBytes("first", 1001)}},
        {velk_mur::kMotionTag, {"OMTN", "m_any#any_hello", fileBytes("second", 70000)}}}},
      {"LED tag is three letters and a zero byte", 1, {{velk_mur::kLedTag, {led, "x", {1, 2, 3}}}}},
      {"name of 127 characters", 1, {{velk_mur::kWaveTag, {"WAVE", std::string(127, 'n'), {5}}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    OdaWriter writer;
    ASSERT_TRUE(writer.create(dir / "OUT.ODA", static_cast<std::int32_t>(c.slots)));
    std::vector<OdaEntry> expected;
    for (std::size_t i = 0; i < c.entries.size(); ++i) {
      const fs::path source = dir / std::to_string(i);
      writeFile(source, c.entries[i].expected.data);
      ASSERT_TRUE(writer.addEntry(source, c.entries[i].expected.name, c.entries[i].tag));
      expected.push_back(c.entries[i].expected);
    }
    ASSERT_TRUE(writer.finish());
    EXPECT_EQ(readFile(dir / "OUT.ODA"), expectedArchive(c.slots, expected));
  }
}

TEST(OdaWriter, RefusedAddsWriteNothingOutsideTheirSlot) {
  TempDir dir;
  writeFile(dir / "empty.wav", Bytes{});
  writeFile(dir / "ok.wav", Bytes{5, 6});
  struct Case {
    const char* what;
    fs::path source;
    std::string name;
  };
  const Case cases[] = {
      {"empty source", dir / "empty.wav", "a"},
      {"missing source", dir / "missing.wav", "a"},
      {"name of 128 characters", dir / "ok.wav", std::string(128, 'n')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    platform::MemorySink sink;
    OdaWriter writer;
    ASSERT_TRUE(writer.createOn(sink, 2));
    EXPECT_FALSE(writer.addEntry(c.source, c.name, velk_mur::kWaveTag));
    EXPECT_EQ(writer.entryCount(), 1);  // the slot is used up all the same
    EXPECT_EQ(sink.bytes().size(), 64u);
    // The next entry goes into slot 1; slot 0 stays zero.
    ASSERT_TRUE(writer.addEntry(dir / "ok.wav", "b", velk_mur::kWaveTag));
    ASSERT_TRUE(writer.finish());
    EXPECT_EQ(Bytes(sink.bytes().begin() + 64, sink.bytes().begin() + 208), Bytes(144, 0));
    EXPECT_EQ(slotName(sink.bytes(), 1), "b");
  }
}

TEST(OdaWriter, AddBeyondSlotCountIsRefusedAndWritesNothing) {
  TempDir dir;
  writeFile(dir / "ok.wav", Bytes{5, 6, 7});
  platform::MemorySink sink;
  OdaWriter writer;
  ASSERT_TRUE(writer.createOn(sink, 1));
  ASSERT_TRUE(writer.addEntry(dir / "ok.wav", "a", velk_mur::kWaveTag));
  const Bytes before = sink.bytes();
  EXPECT_FALSE(writer.addEntry(dir / "ok.wav", "b", velk_mur::kWaveTag));
  EXPECT_EQ(sink.bytes(), before);
  EXPECT_TRUE(writer.finish());
}

TEST(OdaWriter, FailedWritesOrCloseMakeAddOrFinishFail) {
  TempDir dir;
  writeFile(dir / "ok.wav", fileBytes("ok", 500));
  // Header fails, slot fails, data fails part way.
  for (std::size_t limit : {10u, 100u, 400u}) {
    SCOPED_TRACE(limit);
    platform::FailingSink sink(limit);
    OdaWriter writer;
    if (!writer.createOn(sink, 1)) {
      EXPECT_LT(limit, 64u);
      EXPECT_FALSE(writer.finish());
      continue;
    }
    EXPECT_FALSE(writer.addEntry(dir / "ok.wav", "a", velk_mur::kWaveTag));
    EXPECT_FALSE(writer.finish());
  }
  OdaWriter writer;
  ASSERT_TRUE(writer.create(dir / "LED.ODA", 1));
  ASSERT_TRUE(writer.addEntry(dir / "ok.wav", "a", velk_mur::kLedTag));
  platform::ScopedFault fault(1, {platform::FileOp::Close});
  EXPECT_FALSE(writer.finish());
  EXPECT_TRUE(platform::FaultInjection::failureReached());
}

TEST(OdaWriter, CreateFailsWithoutAFileOrWithANegativeSlotCount) {
  TempDir dir;
  OdaWriter writer;
  EXPECT_FALSE(writer.create(dir / "no-such-folder" / "AUDIO.ODA", 1));
  EXPECT_FALSE(writer.addEntry(dir / "x", "x", velk_mur::kWaveTag));
  platform::MemorySink sink;
  EXPECT_FALSE(writer.createOn(sink, -1));
  EXPECT_TRUE(sink.bytes().empty());
}

}  // namespace
