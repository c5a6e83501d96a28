#include "velk_mur/stick/mwc_update.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/file_faults.h"
#include "platform/messenger.h"
#include "tests/support/stick_tree.h"
#include "tests/support/temp_tree.h"

namespace fs = std::filesystem;
using platform::Bytes;
using testing_support::cmacRecord;
using testing_support::mcidBlock;
using testing_support::MwcBlock;
using testing_support::mwcFile;
using testing_support::mwcHeader;
using testing_support::TempDir;

namespace {

constexpr const char* kCorrupted = "Original ERS*.MWC is corrupted\nRe-install Ulmaran";
constexpr const char* kUnknown = "ERS-*.MWC file unknown format\nMay be compressed";

Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST(CmacRecord, SoundRecordOfHelloIsThirtyHandCheckedBytes) {
  platform::MemorySink sink;
  ASSERT_TRUE(velk_mur::writeCmacRecord(sink, velk_mur::kSoundRecord, "hello"));
  const Bytes expected{0x43, 0x4D, 0x41, 0x43, 0x10, 0x20, 0x00, 0x00, 0x01, 0x00,
                       0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                       0x01, 0x00, 0x00, 0x00, 0x05, 'h',  'e',  'l',  'l',  'o'};
  EXPECT_EQ(sink.bytes(), expected);
}

TEST(CmacRecord, NameLongerThanTheLengthByteIsRefused) {
  platform::MemorySink sink;
  EXPECT_FALSE(velk_mur::writeCmacRecord(sink, velk_mur::kSoundRecord, std::string(256, 'x')));
  EXPECT_TRUE(sink.bytes().empty());
  EXPECT_TRUE(velk_mur::writeCmacRecord(sink, velk_mur::kSoundRecord, std::string(255, 'x')));
  EXPECT_EQ(sink.bytes().size(), 24u + 1u + 255u);
  EXPECT_EQ(sink.bytes()[24], 255);
}

TEST(ActionBlock, RecordsFollowTheKindOfAction) {
  struct Case {
    const char* name;
    bool fullBody;
    bool audioOnly;
    Bytes expected;
  };
  const Case cases[] = {
      {"hello", false, false,
       mcidBlock(24001,
                 {cmacRecord(0x1030, "h_any#any_7hello"), cmacRecord(0x1020, "m_any#any_hello"),
                  cmacRecord(0x2010, "hello"), cmacRecord(0x3030, "hello")})},
      {"hello", true, false,
       mcidBlock(24001, {cmacRecord(0x1010, "a_any#any_hello"), cmacRecord(0x2010, "hello"),
                         cmacRecord(0x3030, "hello")})},
      {"hi_snd", false, true, mcidBlock(24001, {cmacRecord(0x2010, "hi_snd")})},
      {"hi_snd", true, true, mcidBlock(24001, {cmacRecord(0x2010, "hi_snd")})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + (c.fullBody ? " full body" : "") +
                 (c.audioOnly ? " audio only" : ""));
    platform::MemorySink sink;
    const int count = velk_mur::writeActionBlock(sink, 24001, c.name, c.fullBody, c.audioOnly);
    EXPECT_EQ(sink.bytes(), c.expected);
    EXPECT_EQ(count, static_cast<int>(platform::getLe32(c.expected.data() + 8)));
  }
}

TEST(ActionBlock, HelloBlockStartsWithHandCheckedHeadAndFirstNameLength) {
  platform::MemorySink sink;
  velk_mur::writeActionBlock(sink, 24001, "hello", false, false);
  const Bytes head{'M', 'C', 'I', 'D', 0xC1, 0x5D, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00};
  ASSERT_GE(sink.bytes().size(), 37u);
  EXPECT_EQ(Bytes(sink.bytes().begin(), sink.bytes().begin() + 12), head);
  EXPECT_EQ(sink.bytes()[12 + 24], 16);  // h_any#any_7hello
}

struct BlockCase {
  const char* what;
  Bytes block;
  bool expectedKept;
  std::int32_t expectedCount;
};

TEST(CopyOrDropActionBlock, KeepsBlocksOutsideTheOwnedRangeByteForByte) {
  Bytes oddRecord = cmacRecord(0x1234, "xy");
  oddRecord[9] = 0x77;  // fixed fields are carried over whatever they hold
  const BlockCase cases[] = {
      {"24000 kept", mcidBlock(24000, {cmacRecord(0x2010, "below"), oddRecord}), true, 2},
      {"25002 kept", mcidBlock(25002, {cmacRecord(0x2010, "above")}), true, 1},
      {"no records kept", mcidBlock(100, {}), true, 0},
      {"24001 dropped", mcidBlock(24001, {cmacRecord(0x2010, "first")}), false, 1},
      {"25001 dropped", mcidBlock(25001, {cmacRecord(0x2010, "last"), oddRecord}), false, 2},
  };
  for (const BlockCase& c : cases) {
    SCOPED_TRACE(c.what);
    const Bytes input = concat({c.block, Bytes{0xEE}});
    platform::MemorySource source(input);
    platform::MemorySink sink;
    const auto result = velk_mur::copyOrDropActionBlock(source, sink, 24001, 25001);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->kept, c.expectedKept);
    EXPECT_EQ(result->cmacCount, c.expectedCount);
    EXPECT_EQ(sink.bytes(), c.expectedKept ? c.block : Bytes{});
  }
}

TEST(CopyOrDropActionBlock, MalformedBlocksFailInKeptAndDroppedRanges) {
  Bytes badTag = mcidBlock(100, {cmacRecord(0x2010, "ok")});
  badTag[0] = 'X';
  Bytes badRecordTag = mcidBlock(24001, {cmacRecord(0x2010, "ok")});
  badRecordTag[12] = 'X';
  Bytes negativeCount = mcidBlock(100, {});
  negativeCount[11] = 0xFF;
  const Bytes truncated = mcidBlock(100, {cmacRecord(0x2010, "truncated")});
  const BlockCase cases[] = {
      {"name length 1, kept block", mcidBlock(100, {cmacRecord(0x2010, "a")}), false, 0},
      {"name length 1, dropped block", mcidBlock(24500, {cmacRecord(0x2010, "a")}), false, 0},
      {"name length 101", mcidBlock(24001, {cmacRecord(0x2010, std::string(101, 'n'))}), false, 0},
      {"wrong block tag", badTag, false, 0},
      {"wrong record tag", badRecordTag, false, 0},
      {"negative record count", negativeCount, false, 0},
      {"truncated name", Bytes(truncated.begin(), truncated.end() - 1), false, 0},
      {"truncated head", Bytes(truncated.begin(), truncated.begin() + 11), false, 0},
  };
  for (const BlockCase& c : cases) {
    SCOPED_TRACE(c.what);
    platform::MemorySource source(c.block);
    platform::MemorySink sink;
    EXPECT_FALSE(velk_mur::copyOrDropActionBlock(source, sink, 24001, 25001));
  }
  // Lengths 2 and 100 are the limits that still pass.
  for (std::size_t length : {2u, 100u}) {
    const Bytes block = mcidBlock(100, {cmacRecord(0x2010, std::string(length, 'n'))});
    platform::MemorySource source(block);
    platform::MemorySink sink;
    EXPECT_TRUE(velk_mur::copyOrDropActionBlock(source, sink, 24001, 25001));
  }
}

struct ConfigurationRun {
  bool ok = false;
  Bytes newFile;
  velk_mur::MwcHeader header;
  fs::path oldPath;
  std::vector<std::string> messages;
};

ConfigurationRun runCopy(const Bytes& oldMwc) {
  TempDir dir;
  const auto tree = testing_support::makeStickTree(dir.path(), oldMwc);
  ConfigurationRun run;
  velk_mur::StickFile newFile;
  EXPECT_TRUE(newFile.open(dir / "new.bin", velk_mur::StickMode::Write));
  platform::RecordingMessenger messenger;
  run.ok =
      velk_mur::copyConfigurationForUpdate(newFile, dir.path(), run.header, run.oldPath, messenger);
  newFile.close();
  run.newFile = testing_support::readFile(dir / "new.bin");
  run.messages = messenger.texts();
  EXPECT_EQ(run.oldPath, tree.configuration);
  return run;
}

TEST(CopyConfiguration, KeepsForeignBlocksBehindAPlaceholderAndCountsThem) {
  const Bytes kept1 = mcidBlock(24000, {cmacRecord(0x2010, "keep"), cmacRecord(0x3030, "keep")});
  const Bytes kept2 = mcidBlock(25002, {cmacRecord(0x2010, "too")});
  const Bytes kept3 = mcidBlock(7, {});
  const Bytes oldMwc = mwcFile({{24000, {cmacRecord(0x2010, "keep"), cmacRecord(0x3030, "keep")}},
                                {24001, {cmacRecord(0x2010, "old")}},
                                {25002, {cmacRecord(0x2010, "too")}},
                                {25001, {cmacRecord(0x2010, "old2")}},
                                {7, {}}});
  const ConfigurationRun run = runCopy(concat({oldMwc, Bytes{'t', 'a', 'i', 'l'}}));
  ASSERT_TRUE(run.ok);
  EXPECT_TRUE(run.messages.empty());
  EXPECT_EQ(run.header.mcidCount, 3);
  EXPECT_EQ(run.header.cmacTotal, 3);
  // The trailing bytes after the declared blocks are not carried over.
  EXPECT_EQ(run.newFile, concat({mwcHeader(0, 0), kept1, kept2, kept3}));
}

TEST(CopyConfiguration, EmptyConfigurationGivesTheHeaderAlone) {
  const ConfigurationRun run = runCopy(mwcHeader(0, 0));
  ASSERT_TRUE(run.ok);
  EXPECT_EQ(run.newFile, mwcHeader(0, 0));
  EXPECT_EQ(run.header.mcidCount, 0);
}

TEST(CopyConfiguration, RefusesUnknownOrCorruptedFilesWithTheirMessage) {
  const Bytes good = mcidBlock(100, {cmacRecord(0x2010, "ok")});
  struct Case {
    const char* what;
    Bytes oldMwc;
    const char* message;
  };
  const Case cases[] = {
      {"version 2", concat({mwcHeader(1, 1, 2), good}), kUnknown},
      {"wrong magic", concat({mwcHeader(1, 1, 1, "MWCX"), good}), kUnknown},
      {"truncated header", Bytes{'M', 'W', 'C', 'M', 1, 0}, kUnknown},
      {"empty file", Bytes{}, kUnknown},
      {"more blocks declared than present", concat({mwcHeader(2, 2), good}), kCorrupted},
      {"name length 1 in a dropped block",
       concat({mwcHeader(2, 2), good, mcidBlock(24001, {cmacRecord(0x2010, "a")})}), kCorrupted},
      {"name length 101 in a kept block",
       concat({mwcHeader(1, 1), mcidBlock(5, {cmacRecord(0x2010, std::string(101, 'x'))})}),
       kCorrupted},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ConfigurationRun run = runCopy(c.oldMwc);
    EXPECT_FALSE(run.ok);
    EXPECT_EQ(run.messages, std::vector<std::string>{c.message});
  }
}

TEST(CopyConfiguration, MissingOldFileAndFailedCloseHaveTheirMessages) {
  TempDir dir;
  velk_mur::StickFile newFile;
  ASSERT_TRUE(newFile.open(dir / "new.bin", velk_mur::StickMode::Write));
  velk_mur::MwcHeader header;
  fs::path oldPath = "stale";
  platform::RecordingMessenger messenger;
  EXPECT_FALSE(
      velk_mur::copyConfigurationForUpdate(newFile, dir.path(), header, oldPath, messenger));
  EXPECT_EQ(messenger.texts(),
            std::vector<std::string>{"Failed to open old ERS-*.MWC files\nStick may be corrupt"});
  EXPECT_EQ(oldPath, dir / "OPEN-R/MW/CONF/ERS-7.MWC");

  testing_support::makeStickTree(dir.path(), mwcHeader(0, 0));
  messenger.clear();
  platform::ScopedFault fault(1, {platform::FileOp::Close});
  EXPECT_FALSE(
      velk_mur::copyConfigurationForUpdate(newFile, dir.path(), header, oldPath, messenger));
  EXPECT_EQ(messenger.texts(),
            std::vector<std::string>{"Error: problem saving ERS-*.MWC data - aborting"});
}

TEST(StickFile, CountsFailedWritesAndAFailedClose) {
  TempDir dir;
  velk_mur::StickFile file;
  ASSERT_TRUE(file.open(dir / "f.bin", velk_mur::StickMode::Write));
  {
    platform::ScopedFault fault(2, {platform::FileOp::Write, platform::FileOp::Close});
    EXPECT_TRUE(file.writeText("ab"));
    EXPECT_FALSE(file.writeText("cd"));
    EXPECT_TRUE(file.writeText("ef"));
  }
  EXPECT_EQ(file.failedWrites(), 1);
  platform::ScopedFault fault(1, {platform::FileOp::Close});
  EXPECT_FALSE(file.close());
  EXPECT_EQ(file.failedWrites(), 2);
  ASSERT_TRUE(file.open(dir / "f.bin", velk_mur::StickMode::Write));
  EXPECT_EQ(file.failedWrites(), 0);
}

TEST(OpenOnStick, FormsThePathUnderTheRootFolderWithOrWithoutSeparator) {
  TempDir dir;
  const auto tree = testing_support::makeStickTree(dir / "copy", mwcHeader(0, 0));
  for (const fs::path& root : {dir / "copy", fs::path((dir / "copy").string() + "/")}) {
    SCOPED_TRACE(root.string());
    velk_mur::StickFile file;
    fs::path fullPath;
    EXPECT_TRUE(velk_mur::openOnStick(file, root, velk_mur::kConfigurationName,
                                      velk_mur::kConfigurationExtension, velk_mur::StickMode::Read,
                                      &fullPath));
    EXPECT_TRUE(fs::equivalent(fullPath, tree.configuration));
  }
}

TEST(OpenOnStick, FindsLowerCaseNamesOfACopiedStick) {
  TempDir dir;
  const auto tree = testing_support::makeStickTree(dir.path(), mwcHeader(0, 0), "",
                                                   testing_support::StickNameCase::Lower);
  velk_mur::StickFile file;
  fs::path fullPath;
  EXPECT_TRUE(velk_mur::openOnStick(file, dir.path(), velk_mur::kConfigurationName,
                                    velk_mur::kConfigurationExtension, velk_mur::StickMode::Read,
                                    &fullPath));
  EXPECT_EQ(fullPath, tree.configuration);
}

}  // namespace
