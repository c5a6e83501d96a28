#include "velk_mur/stick/mwc_update.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/file_faults.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/stick_tree.h"
#include "tests/support/temp_tree.h"

namespace fs = std::filesystem;
using platform::Bytes;
using testing_support::cmacRecord;
using testing_support::mwcHeader;
using testing_support::TempDir;

namespace {

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

TEST(ActionBlock, HelloBlockStartsWithHandCheckedHeadAndFirstNameLength) {
  platform::MemorySink sink;
  velk_mur::writeActionBlock(sink, 24001, "hello", false, false);
  const Bytes head{'M', 'C', 'I', 'D', 0xC1, 0x5D, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00};
  ASSERT_GE(sink.bytes().size(), 37u);
  EXPECT_EQ(Bytes(sink.bytes().begin(), sink.bytes().begin() + 12), head);
  EXPECT_EQ(sink.bytes()[12 + 24], 16);  // h_any#any_7hello
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

TEST(OpenOnStick, FormsThePathUnderTheRootWithOrWithoutSeparatorAndInLowerCase) {
  for (const auto nameCase :
       {testing_support::StickNameCase::Upper, testing_support::StickNameCase::Lower}) {
    TempDir dir;
    const auto tree = testing_support::makeStickTree(dir / "copy", mwcHeader(0, 0), "", nameCase);
    for (const fs::path& root : {dir / "copy", fs::path((dir / "copy").string() + "/")}) {
      SCOPED_TRACE(root.string() +
                   (nameCase == testing_support::StickNameCase::Lower ? " lower" : ""));
      velk_mur::StickFile file;
      fs::path fullPath;
      EXPECT_TRUE(velk_mur::openOnStick(file, root, velk_mur::kConfigurationName,
                                        velk_mur::kConfigurationExtension,
                                        velk_mur::StickMode::Read, &fullPath));
      EXPECT_TRUE(fs::equivalent(fullPath, tree.configuration));
    }
  }
}

}  // namespace
