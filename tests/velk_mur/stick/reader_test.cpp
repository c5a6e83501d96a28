// The archive and configuration readers against the writers: what the save writes reads back
// entry by entry and block by block and writes again to the same bytes; damaged files are
// refused with a reason.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/stick_tree.h"
#include "tests/support/temp_tree.h"
#include "velk_mur/stick/src/mwc_reader.h"
#include "velk_mur/stick/src/mwc_update.h"
#include "velk_mur/stick/src/oda_reader.h"
#include "velk_mur/stick/src/oda_writer.h"

namespace {

using platform::Bytes;
using testing_support::TempDir;

struct Entry {
  platform::FourCC tag;
  std::string name;
  Bytes data;
};

Bytes archiveOf(std::int32_t slots, const std::vector<Entry>& entries, const TempDir& folder) {
  platform::MemorySink sink;
  velk_mur::OdaWriter writer;
  EXPECT_TRUE(writer.createOn(sink, slots));
  for (std::size_t index = 0; index < entries.size(); ++index) {
    const auto source = folder / ("entry" + std::to_string(index));
    testing_support::writeFile(source, entries[index].data);
    EXPECT_TRUE(writer.addEntry(source, entries[index].name, entries[index].tag));
  }
  EXPECT_TRUE(writer.finish());
  return sink.bytes();
}

TEST(OdaReader, ReadsBackWhatTheWriterWroteAndWritesItAgain) {
  // Mixed tags, a name of 127 characters and unfilled slots.
  const std::vector<Entry> entries = {
      {velk_mur::kMotionTag, "h_any#any_7hello", testing_support::fileBytes("head", 596)},
      {velk_mur::kLedTag, std::string(127, 'n'), {1}}};
  TempDir folder;
  const Bytes archive = archiveOf(5, entries, folder);
  const velk_mur::OdaReadResult read = velk_mur::readOdaArchive(archive);
  ASSERT_TRUE(read.ok()) << read.problem;
  EXPECT_EQ(read.archive.slotCount, 5u);
  EXPECT_EQ(read.archive.emptySlots, 3u);
  ASSERT_EQ(read.archive.entries.size(), entries.size());
  std::vector<Entry> again;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const velk_mur::OdaEntry& entry = read.archive.entries[i];
    const auto data = velk_mur::odaEntryData(archive, entry);
    again.push_back({entry.tag, entry.name, Bytes(data.begin(), data.end())});
    EXPECT_EQ(again.back().tag, entries[i].tag);
    EXPECT_EQ(again.back().name, entries[i].name);
    EXPECT_EQ(again.back().data, entries[i].data);
  }
  EXPECT_EQ(archiveOf(5, again, folder), archive);
}

void put32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

struct DamageRow {
  const char* what;
  std::function<void(Bytes&)> damage;
  const char* reason;
};

TEST(OdaReader, RefusesDamagedArchivesWithAReason) {
  TempDir folder;
  // Two slots, one entry of 1000 bytes at 352: slot 0 at 64, its offset at 196, size at 200.
  const Bytes good = archiveOf(
      2, {{velk_mur::kWaveTag, "hello", testing_support::fileBytes("wave", 1000)}}, folder);
  const DamageRow rows[] = {
      {"header cut", [](Bytes& b) { b.resize(63); }, "no \"ODAR\" header"},
      {"other slot size", [](Bytes& b) { put32(b, 12, 128); }, "slot size 128 instead of 144"},
      {"slot count near 2^32", [](Bytes& b) { put32(b, 8, 0xFFFFFFFF); }, "runs past the end"},
      {"data cut", [](Bytes& b) { b.resize(1351); }, "1000 bytes at offset 352 lie outside"},
      {"size wrapping past 2^32", [](Bytes& b) { put32(b, 200, 0xFFFFFF00); }, "lie outside"},
      {"name without its zero", [](Bytes& b) { std::fill(b.begin() + 68, b.begin() + 196, 'n'); },
       "slot 0: name without terminating zero"},
  };
  for (const DamageRow& row : rows) {
    Bytes bytes = good;
    row.damage(bytes);
    const velk_mur::OdaReadResult read = velk_mur::readOdaArchive(bytes);
    EXPECT_NE(read.problem.find(row.reason), std::string::npos) << row.what << ": " << read.problem;
  }
}

struct Action {
  std::int32_t number;
  std::string name;
  bool fullBody;
  bool audioOnly;
};

Bytes configurationOf(const std::vector<Action>& actions) {
  platform::MemorySink sink;
  velk_mur::MwcHeader header;
  sink.write(velk_mur::mwcHeaderBytes(header));
  for (const Action& action : actions) {
    header.cmacTotal += velk_mur::writeActionBlock(sink, action.number, action.name,
                                                   action.fullBody, action.audioOnly);
    ++header.mcidCount;
  }
  sink.seek(0);
  sink.write(velk_mur::mwcHeaderBytes(header));
  return sink.bytes();
}

TEST(MwcReader, ReadsBackTheSavedBlocksAndWritesThemAgain) {
  const std::vector<Action> actions = {{24001, "hello", false, false},
                                       {24002, "hi_snd", false, true},
                                       {24003, "dance", true, false},
                                       {25001, std::string(89, 'x'), false, false}};
  const Bytes file = configurationOf(actions);
  const velk_mur::MwcReadResult read = velk_mur::readMwcFile(file);
  ASSERT_TRUE(read.ok()) << read.problem;
  EXPECT_EQ(read.configuration.trailingBytes, 0u);
  ASSERT_EQ(read.configuration.blocks.size(), actions.size());
  std::vector<Action> again;
  for (const velk_mur::MwcBlock& block : read.configuration.blocks) {
    const auto& records = block.records;
    const auto sound = std::find_if(records.begin(), records.end(),
                                    [](const auto& r) { return r.kind == velk_mur::kSoundRecord; });
    ASSERT_NE(sound, records.end());
    again.push_back({block.number, sound->name,
                     records.front().kind == velk_mur::kFullBodyMotionRecord, records.size() == 1});
  }
  EXPECT_EQ(configurationOf(again), file);
}

TEST(MwcReader, RefusesDamagedConfigurationsWithAReason) {
  using testing_support::cmacRecord;
  // One block 7 with two records: the block head at 16, the first record at 28, its name
  // length at 52, the second record at 58 ("ab") .
  const Bytes good =
      testing_support::mwcFile({{7, {cmacRecord(0x2010, "abcde"), cmacRecord(0x3030, "ab")}}});
  const DamageRow rows[] = {
      {"other magic", [](Bytes& b) { b[0] = 'X'; }, "no \"MWCM\" header"},
      {"version 2", [](Bytes& b) { b[4] = 2; }, "version 2"},
      {"more blocks declared than held", [](Bytes& b) { b[8] = 2; }, "block 2 of 2: no \"MCID\""},
      {"negative record count", [](Bytes& b) { put32(b, 24, 0x80000000); },
       "negative record count"},
      {"record tag wrong", [](Bytes& b) { b[28] = 'X'; }, "record 1: no complete \"CMAC\""},
      {"name of one character", [](Bytes& b) { b[52] = 1; }, "name length 1 outside 2 to 100"},
      {"name past the end", [](Bytes& b) { b.resize(b.size() - 1); }, "record 2: name runs past"},
  };
  for (const DamageRow& row : rows) {
    Bytes bytes = good;
    row.damage(bytes);
    const velk_mur::MwcReadResult read = velk_mur::readMwcFile(bytes);
    EXPECT_NE(read.problem.find(row.reason), std::string::npos) << row.what << ": " << read.problem;
  }
}

}  // namespace
