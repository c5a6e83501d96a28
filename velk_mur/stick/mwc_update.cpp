#include "velk_mur/stick/mwc_update.h"

#include <algorithm>

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
constexpr std::string_view kCloseFailed = "Error: problem saving ERS-*.MWC data - aborting";

void putTag(platform::Bytes& out, const MwcTag& tag) {
  out.insert(out.end(), tag.begin(), tag.end());
}

bool hasTag(const std::uint8_t* bytes, const MwcTag& tag) {
  return std::equal(tag.begin(), tag.end(), bytes);
}

std::int32_t getLeSigned32(const std::uint8_t* bytes) {
  return static_cast<std::int32_t>(platform::getLe32(bytes));
}

// One CMAC record: its fixed bytes are copied whatever they hold; only tag and name length are
// checked.
bool copyOrDropCmacRecord(platform::ByteSource& oldFile, platform::ByteSink& newFile, bool kept) {
  std::array<std::uint8_t, kCmacFixedSize> fixed{};
  if (!oldFile.read(fixed) || !hasTag(fixed.data(), kCmacTag)) return false;
  std::array<std::uint8_t, 1> length{};
  if (!oldFile.read(length)) return false;
  if (length[0] < kMinRecordNameLength || length[0] > kMaxRecordNameLength) return false;
  platform::Bytes name(length[0]);
  if (!oldFile.read(name)) return false;
  if (!kept) return true;
  // Write failures are counted by the new file and checked before it replaces the old one.
  newFile.write(fixed);
  newFile.write(length);
  newFile.write(name);
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
  if (name.size() > kMaxCountedStringLength) return false;
  platform::Bytes bytes;
  putTag(bytes, kCmacTag);
  platform::putLe32(bytes, kindCode);
  platform::putLe32(bytes, kCmacWrittenValue);
  bytes.resize(bytes.size() + kCmacZeroBytes, 0);
  platform::putLe16(bytes, kCmacWrittenShort);
  platform::putLe16(bytes, kCmacTrailingZero);
  bytes.push_back(static_cast<std::uint8_t>(name.size()));
  bytes.insert(bytes.end(), name.begin(), name.end());
  return file.write(bytes);
}

int writeActionBlock(platform::ByteSink& file, std::int32_t actionNumber,
                     std::string_view actionName, bool hasFullBodyMotion, bool audioOnly) {
  const std::int32_t count = audioOnly           ? kAudioOnlyRecordCount
                             : hasFullBodyMotion ? kFullBodyRecordCount
                                                 : kHeadAndMouthRecordCount;
  platform::Bytes head;
  putTag(head, kMcidTag);
  platform::putLe32(head, static_cast<std::uint32_t>(actionNumber));
  platform::putLe32(head, static_cast<std::uint32_t>(count));
  file.write(head);

  if (!audioOnly && hasFullBodyMotion) {
    writeCmacRecord(file, kFullBodyMotionRecord,
                    motionName(actionName, kFullBodyKind, kRobotModel));
  } else if (!audioOnly) {
    writeCmacRecord(file, kHeadMotionRecord, motionName(actionName, kHeadKind, kRobotModel));
    writeCmacRecord(file, kMouthMotionRecord, motionName(actionName, kMouthKind, kRobotModel));
  }
  writeCmacRecord(file, kSoundRecord, actionName);
  if (!audioOnly) writeCmacRecord(file, kLedRecord, actionName);
  return count;
}

std::optional<BlockCopy> copyOrDropActionBlock(platform::ByteSource& oldFile,
                                               platform::ByteSink& newFile,
                                               std::int32_t lowestOwned,
                                               std::int32_t highestOwned) {
  std::array<std::uint8_t, kBlockHeadSize> head{};
  if (!oldFile.read(head) || !hasTag(head.data(), kMcidTag)) return std::nullopt;
  const std::int32_t number = getLeSigned32(head.data() + 4);
  const std::int32_t cmacCount = getLeSigned32(head.data() + 8);
  // A negative count would corrupt the new header's total.
  if (cmacCount < 0) return std::nullopt;

  const bool kept = number < lowestOwned || number > highestOwned;
  if (kept) newFile.write(head);
  for (std::int32_t i = 0; i < cmacCount; ++i) {
    if (!copyOrDropCmacRecord(oldFile, newFile, kept)) return std::nullopt;
  }
  return BlockCopy{kept, cmacCount};
}

bool copyConfigurationForUpdate(StickFile& newFile, const fs::path& stickRoot, MwcHeader& header,
                                fs::path& oldPath, platform::Messenger& messenger) {
  oldPath.clear();
  StickFile oldFile;
  if (!openOnStick(oldFile, stickRoot, kConfigurationName, kConfigurationExtension, StickMode::Read,
                   &oldPath)) {
    messenger.show(kOpenFailed, true);
    return false;
  }

  std::array<std::uint8_t, kMwcHeaderSize> oldHeader{};
  if (!oldFile.read(oldHeader) || !hasTag(oldHeader.data(), kMwcMagic) ||
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
  newFile.write(mwcHeaderBytes(header));  // placeholder until the true counts are known
  for (std::int32_t i = 0; i < declaredBlocks; ++i) {
    const std::optional<BlockCopy> block =
        copyOrDropActionBlock(oldFile, newFile, kFirstOwnedAction, kLastOwnedAction);
    if (!block) {
      messenger.show(kCorrupted, true);
      oldFile.close();
      return false;
    }
    if (!block->kept) continue;
    ++header.mcidCount;
    header.cmacTotal += block->cmacCount;
  }

  if (!oldFile.close()) {
    messenger.show(kCloseFailed, true);
    return false;
  }
  return true;
}

}  // namespace velk_mur
