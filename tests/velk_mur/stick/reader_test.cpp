// The archive and configuration readers refuse damaged files with a reason. What they read
// from a whole stick is checked through the inspection of the example stick, their bounds by
// the fuzz corpora.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/support/stick_tree.h"
#include "velk_mur/stick/src/mwc_reader.h"
#include "velk_mur/stick/src/oda_reader.h"

namespace {

using platform::Bytes;

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
  // Two slots, one entry of 1000 bytes at 352: slot 0 at 64, its offset at 196, size at 200.
  const Bytes good = testing_support::expectedArchive(
      2, {{"WAVE", "hello", testing_support::fileBytes("w", 1000)}});
  // Undamaged, its spare slot is counted as empty.
  ASSERT_EQ(velk_mur::readOdaArchive(good).archive.emptySlots, 1u);
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
