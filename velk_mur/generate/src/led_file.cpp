#include "velk_mur/generate/led_file.h"

#include <algorithm>
#include <array>

namespace velk_mur {

namespace {

constexpr std::uint32_t kMaxDeltaTime = 0x0FFFFFFF;
constexpr std::size_t kTrackLengthOffset = 4;  // from the start of the track chunk
constexpr std::uint32_t kTrackHeaderSize = 8;

// After the tag: length 6, format 0, one track, 120 ticks per quarter note.
constexpr std::array<std::uint8_t, 10> kHeaderChunkBody = {0x00, 0x00, 0x00, 0x06, 0x00,
                                                           0x00, 0x00, 0x01, 0x00, 0x78};
constexpr std::array<std::uint8_t, 27> kMetaEvents = {
    0x00, 0xFF, 0x03, 0x08, 'V',  'e',  'l',  'k', '_', 'M', 'u', 'r',  // track name
    0x00, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90,                           // tempo 250000 us
    0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08};                    // time signature 4/4
constexpr std::array<std::uint8_t, 4> kEndOfTrack = {0x00, 0xFF, 0x2F, 0x00};

// Status, note and velocity; running status is never used.
void writeNoteEvent(platform::Bytes& out, std::uint8_t status, std::uint8_t note,
                    std::uint8_t velocity) {
  out.insert(out.end(), {status, note, velocity});
}

}  // namespace

bool writeDeltaTime(platform::Bytes& out, std::uint32_t ticks) {
  if (ticks > kMaxDeltaTime) return false;
  for (int shift = 21; shift > 0; shift -= 7) {
    if (ticks >> shift) out.push_back(static_cast<std::uint8_t>(((ticks >> shift) & 0x7F) | 0x80));
  }
  out.push_back(static_cast<std::uint8_t>(ticks & 0x7F));
  return true;
}

bool writeLedFile(platform::Bytes& out, std::span<const std::uint32_t> masks) {
  platform::putTag(out, kMidiHeaderTag);
  out.insert(out.end(), kHeaderChunkBody.begin(), kHeaderChunkBody.end());
  const std::size_t trackStart = out.size();
  platform::putTag(out, kMidiTrackTag);
  platform::putBe32(out, 0);
  out.insert(out.end(), kMetaEvents.begin(), kMetaEvents.end());

  std::uint32_t previous = 0;
  std::uint32_t ticks = 0;
  for (std::size_t index = 0; index <= masks.size(); ++index) {
    const std::uint32_t current = index < masks.size() ? masks[index] : 0;
    for (int bit = 0; bit < kLedCount; ++bit) {
      const bool litNow = (current >> bit) & 1u;
      const bool litBefore = (previous >> bit) & 1u;
      if (litNow == litBefore) continue;
      if (!writeDeltaTime(out, ticks)) return false;
      writeNoteEvent(out, kNoteOnStatus, static_cast<std::uint8_t>(kFirstLedNote + bit),
                     litNow ? kLedOnVelocity : kLedOffVelocity);
      ticks = 0;
    }
    previous = current;
    ticks += kTicksPerStep;
  }
  out.insert(out.end(), kEndOfTrack.begin(), kEndOfTrack.end());

  // The track length is known only now: patch it in one step.
  platform::Bytes length;
  platform::putBe32(length, static_cast<std::uint32_t>(out.size() - trackStart - kTrackHeaderSize));
  std::copy(length.begin(), length.end(),
            out.begin() + static_cast<std::ptrdiff_t>(trackStart + kTrackLengthOffset));
  return true;
}

}  // namespace velk_mur
