#include "velk_mur/stick/oda_writer.h"

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "platform/byte_order.h"
#include "platform/file_faults.h"
#include "tests/support/temp_tree.h"

namespace fs = std::filesystem;
using platform::Bytes;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;
using velk_mur::OdaWriter;

namespace {

Bytes patternBytes(std::size_t size, std::uint8_t seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
  return bytes;
}

Bytes slice(const Bytes& bytes, std::size_t offset, std::size_t size) {
  return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
               bytes.begin() + static_cast<std::ptrdiff_t>(offset + size));
}

std::string slotName(const Bytes& archive, std::size_t slot) {
  const auto* field = archive.data() + 64 + slot * 144 + 4;
  return std::string(reinterpret_cast<const char*>(field));
}

std::uint32_t slotField(const Bytes& archive, std::size_t slot, std::size_t offsetInSlot) {
  return platform::getLe32(archive.data() + 64 + slot * 144 + offsetInSlot);
}

TEST(OdaWriter, HeaderOfTwoSlotArchiveMatchesHandCheckedBytes) {
  platform::MemorySink sink;
  OdaWriter writer;
  ASSERT_TRUE(writer.createOn(sink, 2));
  ASSERT_TRUE(writer.finish());
  const Bytes expectedStart{0x4F, 0x44, 0x41, 0x52, 0x00, 0x00, 0x03, 0x00,
                            0x02, 0x00, 0x00, 0x00, 0x90, 0x00, 0x00, 0x00};
  ASSERT_EQ(sink.bytes().size(), 64u);  // an archive without entries is its header alone
  EXPECT_EQ(slice(sink.bytes(), 0, 16), expectedStart);
  EXPECT_EQ(slice(sink.bytes(), 16, 48), Bytes(48, 0));
}

TEST(OdaWriter, OneEntryInTwoSlotsLeavesSecondSlotZeroAndDataAt352) {
  TempDir dir;
  const Bytes wave = patternBytes(1000, 3);
  writeFile(dir / "hello.WAV", wave);
  OdaWriter writer;
  ASSERT_TRUE(writer.create(dir / "AUDIO.ODA", 2));
  ASSERT_TRUE(writer.addEntry(dir / "hello.WAV", "hello", velk_mur::kWaveTag));
  ASSERT_TRUE(writer.finish());

  const Bytes archive = readFile(dir / "AUDIO.ODA");
  ASSERT_EQ(archive.size(), 1352u);
  EXPECT_EQ(slice(archive, 64, 4), (Bytes{'W', 'A', 'V', 'E'}));
  EXPECT_EQ(slotName(archive, 0), "hello");
  EXPECT_EQ(slice(archive, 68 + 5, 128 - 5), Bytes(123, 0));
  EXPECT_EQ(slotField(archive, 0, 132), 352u);
  EXPECT_EQ(slotField(archive, 0, 136), 1000u);
  EXPECT_EQ(slotField(archive, 0, 140), 0u);
  EXPECT_EQ(slice(archive, 208, 144), Bytes(144, 0));
  EXPECT_EQ(slice(archive, 352, 1000), wave);
}

TEST(OdaWriter, EntriesFollowEachOtherWithoutPaddingAndKeepNameCase) {
  TempDir dir;
  const Bytes first = patternBytes(1001, 1);
  const Bytes second = patternBytes(70000, 9);  // larger than one copy chunk
  writeFile(dir / "a.mtn", first);
  writeFile(dir / "b.mtn", second);
  platform::MemorySink sink;
  OdaWriter writer;
  ASSERT_TRUE(writer.createOn(sink, 3));
  ASSERT_TRUE(writer.addEntry(dir / "a.mtn", "h_any#any_7Hello", velk_mur::kMotionTag));
  ASSERT_TRUE(writer.addEntry(dir / "b.mtn", "m_any#any_hello", velk_mur::kMotionTag));
  ASSERT_TRUE(writer.finish());

  const Bytes& archive = sink.bytes();
  ASSERT_EQ(archive.size(), 496u + 1001u + 70000u);
  EXPECT_EQ(slotName(archive, 0), "h_any#any_7Hello");
  EXPECT_EQ(slotName(archive, 1), "m_any#any_hello");
  EXPECT_EQ(slotField(archive, 0, 132), 496u);
  EXPECT_EQ(slotField(archive, 1, 132), 496u + 1001u);
  EXPECT_EQ(slotField(archive, 1, 136), 70000u);
  EXPECT_EQ(slice(archive, 352, 144), Bytes(144, 0));
  EXPECT_EQ(slice(archive, 496, 1001), first);
  EXPECT_EQ(slice(archive, 1497, 70000), second);
}

TEST(OdaWriter, LedTagIsThreeLettersAndAZeroByte) {
  TempDir dir;
  writeFile(dir / "x.led", Bytes{1, 2, 3});
  platform::MemorySink sink;
  OdaWriter writer;
  ASSERT_TRUE(writer.createOn(sink, 1));
  ASSERT_TRUE(writer.addEntry(dir / "x.led", "x", velk_mur::kLedTag));
  ASSERT_TRUE(writer.finish());
  EXPECT_EQ(slice(sink.bytes(), 64, 4), (Bytes{'L', 'E', 'D', 0}));
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
    EXPECT_EQ(slice(sink.bytes(), 64, 144), Bytes(144, 0));
    EXPECT_EQ(slotName(sink.bytes(), 1), "b");
  }
}

TEST(OdaWriter, NameOf127CharactersFitsWithItsTerminatingZero) {
  TempDir dir;
  writeFile(dir / "ok.wav", Bytes{5});
  platform::MemorySink sink;
  OdaWriter writer;
  ASSERT_TRUE(writer.createOn(sink, 1));
  ASSERT_TRUE(writer.addEntry(dir / "ok.wav", std::string(127, 'n'), velk_mur::kWaveTag));
  ASSERT_TRUE(writer.finish());
  EXPECT_EQ(slotName(sink.bytes(), 0), std::string(127, 'n'));
  EXPECT_EQ(slotField(sink.bytes(), 0, 132), 64u + 144u);
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

TEST(OdaWriter, FailedWritesMakeAddOrFinishFail) {
  TempDir dir;
  writeFile(dir / "ok.wav", patternBytes(500, 2));
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
}

TEST(OdaWriter, FinishFailsWhenClosingTheFileFails) {
  TempDir dir;
  writeFile(dir / "ok.wav", Bytes{1, 2, 3});
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

TEST(ReadWholeFile, DeliversEveryByteAndRefusesEmptyOrMissingFiles) {
  TempDir dir;
  const Bytes content = patternBytes(3000, 4);
  writeFile(dir / "full", content);
  writeFile(dir / "empty", Bytes{});
  EXPECT_EQ(velk_mur::readWholeFile(dir / "full"), content);
  EXPECT_FALSE(velk_mur::readWholeFile(dir / "empty"));
  EXPECT_FALSE(velk_mur::readWholeFile(dir / "missing"));
}

}  // namespace
