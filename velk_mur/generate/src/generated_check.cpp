#include "generated_check.h"

#include <algorithm>
#include <array>
#include <optional>

#include "platform/byte_order.h"
#include "platform/files.h"

namespace velk_mur {

namespace {

constexpr std::array<std::uint8_t, 4> kMotionMagic{'O', 'M', 'T', 'N'};
constexpr std::uint32_t kMotionSections = 4;
constexpr std::size_t kSectionHeadSize = 8;
constexpr std::size_t kSectionCountOffset = 4 + kSectionHeadSize;

constexpr std::array<std::uint8_t, 14> kMidiHeader{'M', 'T', 'h', 'd', 0, 0, 0,
                                                   6,   0,   0,   0,   1, 0, 0};
constexpr std::size_t kMidiDivisionOffset = 12;
constexpr std::array<std::uint8_t, 4> kTrackTag{'M', 'T', 'r', 'k'};
constexpr std::size_t kTrackStart = kMidiHeader.size();

// Generated files are small; a larger one is not ours.
constexpr std::uint64_t kMaxGeneratedSize = std::uint64_t{1} << 28;

}  // namespace

bool isWellFormedMotion(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kSectionCountOffset + 4 ||
      !std::equal(kMotionMagic.begin(), kMotionMagic.end(), bytes.begin()) ||
      platform::getLe32(bytes.data() + kSectionCountOffset) != kMotionSections) {
    return false;
  }
  std::uint64_t offset = kMotionMagic.size();
  for (std::uint32_t section = 0; section < kMotionSections; ++section) {
    if (offset + kSectionHeadSize > bytes.size()) return false;
    const std::uint32_t size = platform::getLe32(bytes.data() + offset + 4);
    if (platform::getLe32(bytes.data() + offset) != section || size < kSectionHeadSize) {
      return false;
    }
    offset += size;
  }
  return offset == bytes.size();
}

bool isWellFormedLed(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kTrackStart + kSectionHeadSize ||
      !std::equal(kMidiHeader.begin(), kMidiHeader.begin() + kMidiDivisionOffset, bytes.begin()) ||
      !std::equal(kTrackTag.begin(), kTrackTag.end(), bytes.begin() + kTrackStart)) {
    return false;
  }
  const std::uint64_t trackLength = platform::getBe32(bytes.data() + kTrackStart + 4);
  return kTrackStart + kSectionHeadSize + trackLength == bytes.size();
}

bool isWellFormedGeneratedFile(const std::filesystem::path& path, GeneratedKind kind) {
  const std::optional<platform::Bytes> bytes = platform::readWholeFile(path, kMaxGeneratedSize);
  if (!bytes) return false;
  return kind == GeneratedKind::Motion ? isWellFormedMotion(*bytes) : isWellFormedLed(*bytes);
}

}  // namespace velk_mur
