#include "mwc_update.h"

#include "platform/files.h"

#include <algorithm>

#include "save_messages.h"
#include "velk_mur/generate/naming.h"

namespace fs = std::filesystem;

namespace velk_mur {

namespace {

constexpr std::uint32_t kCmacWrittenValue = 1;
constexpr std::size_t kCmacZeroBytes = 8;
constexpr std::uint16_t kCmacWrittenShort = 1;
constexpr std::uint16_t kCmacTrailingZero = 0;

constexpr std::int32_t kAudioOnlyRecordCount = 1;
constexpr std::int32_t kFullBodyRecordCount = 3;
constexpr std::int32_t kHeadAndMouthRecordCount = 4;

constexpr std::string_view kOpenFailed = "Failed to open old ERS-*.MWC files\nStick may be corrupt";
constexpr std::string_view kUnknownFormat = "ERS-*.MWC file unknown format\nMay be compressed";
constexpr std::string_view kCorrupted = "Original ERS*.MWC is corrupted\nRe-install Ulmaran";

using platform::hasTag;
using platform::putTag;

std::int32_t getLeSigned32(const std::uint8_t* bytes) {
  return static_cast<std::int32_t>(platform::getLe32(bytes));
}

// One CMAC record: its fixed bytes are copied whatever they hold; only tag and name length are
// checked.
bool copyOrDropCmacRecord(platform::ByteSource& oldFile, platform::Bytes& keptBlocks, bool kept) {
  std::array<std::uint8_t, kCmacFixedSize + 1> fixedAndLength{};
  if (!oldFile.read(fixedAndLength) || !hasTag(fixedAndLength, 0, kCmacTag)) return false;
  const std::uint8_t length = fixedAndLength.back();
  if (length < kMinRecordNameLength || length > kMaxRecordNameLength) return false;
  platform::Bytes name(length);
  if (!oldFile.read(name)) return false;
  if (!kept) return true;
  keptBlocks.insert(keptBlocks.end(), fixedAndLength.begin(), fixedAndLength.end());
  keptBlocks.insert(keptBlocks.end(), name.begin(), name.end());
  return true;
}

// 24 fixed bytes and the counted name; false, nothing appended, for a name over 255 characters.
bool appendCmacRecord(platform::Bytes& out, std::uint32_t kindCode, std::string_view name) {
  if (name.size() > kMaxCountedStringLength) return false;
  putTag(out, kCmacTag);
  platform::putLe32(out, kindCode);
  platform::putLe32(out, kCmacWrittenValue);
  out.resize(out.size() + kCmacZeroBytes, 0);
  platform::putLe16(out, kCmacWrittenShort);
  platform::putLe16(out, kCmacTrailingZero);
  out.push_back(static_cast<std::uint8_t>(name.size()));
  out.insert(out.end(), name.begin(), name.end());
  return true;
}

}  // namespace

platform::Bytes mwcHeaderBytes(const MwcHeader& header) {
  platform::Bytes bytes;
  putTag(bytes, kMwcMagic);
  platform::putLe32(bytes, header.version);
  platform::putLe32(bytes, static_cast<std::uint32_t>(header.mcidCount));
  platform::putLe32(bytes, static_cast<std::uint32_t>(header.cmacTotal));
  return bytes;
}

bool writeCmacRecord(platform::ByteSink& file, std::uint32_t kindCode, std::string_view name) {
  platform::Bytes bytes;
  return appendCmacRecord(bytes, kindCode, name) && file.write(bytes);
}

int writeActionBlock(platform::ByteSink& file, std::int32_t actionNumber,
                     std::string_view actionName, bool hasFullBodyMotion, bool audioOnly) {
  const std::int32_t count = audioOnly           ? kAudioOnlyRecordCount
                             : hasFullBodyMotion ? kFullBodyRecordCount
                                                 : kHeadAndMouthRecordCount;
  platform::Bytes block;
  putTag(block, kMcidTag);
  platform::putLe32(block, static_cast<std::uint32_t>(actionNumber));
  platform::putLe32(block, static_cast<std::uint32_t>(count));
  bool formed = true;
  if (!audioOnly && hasFullBodyMotion) {
    formed = appendCmacRecord(block, kFullBodyMotionRecord,
                              motionName(actionName, kFullBodyKind, kRobotModel));
  } else if (!audioOnly) {
    formed = appendCmacRecord(block, kHeadMotionRecord,
                              motionName(actionName, kHeadKind, kRobotModel)) &&
             appendCmacRecord(block, kMouthMotionRecord,
                              motionName(actionName, kMouthKind, kRobotModel));
  }
  formed = formed && appendCmacRecord(block, kSoundRecord, actionName);
  if (!audioOnly) formed = formed && appendCmacRecord(block, kLedRecord, actionName);
  return formed && file.write(block) ? count : 0;
}

std::optional<BlockCopy> copyOrDropActionBlock(platform::ByteSource& oldFile,
                                               platform::Bytes& keptBlocks,
                                               std::int32_t lowestOwned,
                                               std::int32_t highestOwned) {
  std::array<std::uint8_t, kBlockHeadSize> head{};
  if (!oldFile.read(head) || !hasTag(head, 0, kMcidTag)) return std::nullopt;
  const std::int32_t number = getLeSigned32(head.data() + 4);
  const std::int32_t cmacCount = getLeSigned32(head.data() + 8);
  // A negative count would corrupt the new header's total.
  if (cmacCount < 0) return std::nullopt;

  const bool kept = number < lowestOwned || number > highestOwned;
  if (kept) keptBlocks.insert(keptBlocks.end(), head.begin(), head.end());
  for (std::int32_t i = 0; i < cmacCount; ++i) {
    if (!copyOrDropCmacRecord(oldFile, keptBlocks, kept)) return std::nullopt;
  }
  return BlockCopy{kept, cmacCount};
}

bool copyConfigurationForUpdate(platform::ByteSink& newFile, const fs::path& stickRoot,
                                MwcHeader& header, fs::path& oldPath,
                                platform::Messenger& messenger) {
  oldPath.clear();
  StickFile oldFile;
  if (!openOnStick(oldFile, stickRoot, kConfigurationName, kConfigurationExtension, StickMode::Read,
                   &oldPath)) {
    messenger.show(kOpenFailed, true);
    return false;
  }

  std::array<std::uint8_t, kMwcHeaderSize> oldHeader{};
  if (!oldFile.read(oldHeader) || !hasTag(oldHeader, 0, kMwcMagic) ||
      platform::getLe32(oldHeader.data() + 4) != kMwcVersion) {
    messenger.show(kUnknownFormat, true);
    oldFile.close();
    return false;
  }

  // A negative count would copy nothing and drop every block silently; a count beyond what
  // the file holds fails on the block that is not there.
  const std::int32_t declaredBlocks = getLeSigned32(oldHeader.data() + 8);
  if (declaredBlocks < 0) {
    messenger.show(kCorrupted, true);
    oldFile.close();
    return false;
  }
  header = MwcHeader{};
  // The placeholder header until the true counts are known, then the kept blocks: one write.
  platform::Bytes kept = mwcHeaderBytes(header);
  for (std::int32_t i = 0; i < declaredBlocks; ++i) {
    const std::optional<BlockCopy> block =
        copyOrDropActionBlock(oldFile, kept, kFirstOwnedAction, kLastOwnedAction);
    if (!block) {
      messenger.show(kCorrupted, true);
      oldFile.close();
      return false;
    }
    if (!block->kept) continue;
    ++header.mcidCount;
    header.cmacTotal += block->cmacCount;
  }

  // Everything was read: a close that fails loses nothing.
  oldFile.close();
  if (!newFile.write(kept)) {
    messenger.show(kConfigurationSaveFailed, true);
    return false;
  }
  return true;
}

}  // namespace velk_mur
