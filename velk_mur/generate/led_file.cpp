#include "velk_mur/generate/led_file.h"

namespace velk_mur {

namespace {

constexpr std::uint8_t kFirstLedNote = 48;  // the character '0' of the table "0123456789:;<="
constexpr std::uint32_t kMaxDeltaTime = 0x0FFFFFFF;
constexpr std::uint64_t kTrackLengthOffset = 4;  // from the start of the track chunk
constexpr std::uint32_t kTrackHeaderSize = 8;

const platform::Bytes kHeaderChunk = {'M',  'T',  'h',  'd',  0x00, 0x00, 0x00,
                                      0x06, 0x00, 0x00, 0x00, 0x01, 0x00, 0x78};
const platform::Bytes kTrackChunkStart = {'M', 'T', 'r', 'k', 0x00, 0x00, 0x00, 0x00};
const platform::Bytes kMetaEvents = {
    0x00, 0xFF, 0x03, 0x08, 'V',  'e',  'l',  'k', '_', 'M', 'u', 'r',  // track name
    0x00, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90,                           // tempo 250000 us
    0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08};                    // time signature 4/4
const platform::Bytes kEndOfTrack = {0x00, 0xFF, 0x2F, 0x00};

// Status, note and velocity; running status is never used.
bool writeNoteEvent(platform::ByteSink& sink, std::uint8_t status, std::uint8_t note,
                    std::uint8_t velocity) {
  const platform::Bytes bytes{status, note, velocity};
  return sink.write(bytes);
}

}  // namespace

bool writeDeltaTime(platform::ByteSink& sink, std::uint32_t ticks) {
  if (ticks > kMaxDeltaTime) return false;
  platform::Bytes bytes;
  for (int shift = 21; shift > 0; shift -= 7) {
    if (ticks >> shift)
      bytes.push_back(static_cast<std::uint8_t>(((ticks >> shift) & 0x7F) | 0x80));
  }
  bytes.push_back(static_cast<std::uint8_t>(ticks & 0x7F));
  return sink.write(bytes);
}

bool writeLedFile(platform::ByteSink& sink, std::span<const std::uint32_t> masks) {
  if (!sink.write(kHeaderChunk)) return false;
  const std::uint64_t trackStart = sink.position();
  if (!sink.write(kTrackChunkStart) || !sink.write(kMetaEvents)) return false;

  std::uint32_t previous = 0;
  std::uint32_t ticks = 0;
  for (std::size_t index = 0; index <= masks.size(); ++index) {
    const std::uint32_t current = index < masks.size() ? masks[index] : 0;
    for (int bit = 0; bit < kLedCount; ++bit) {
      const bool litNow = (current >> bit) & 1u;
      const bool litBefore = (previous >> bit) & 1u;
      if (litNow == litBefore) continue;
      if (!writeDeltaTime(sink, ticks) ||
          !writeNoteEvent(sink, kNoteOnStatus, static_cast<std::uint8_t>(kFirstLedNote + bit),
                          litNow ? kLedOnVelocity : kLedOffVelocity)) {
        return false;
      }
      ticks = 0;
    }
    previous = current;
    ticks += kTicksPerStep;
  }
  if (!sink.write(kEndOfTrack)) return false;

  // The track length is known only now: patch it in one step.
  const std::uint64_t end = sink.position();
  platform::Bytes length;
  platform::putBe32(length, static_cast<std::uint32_t>(end - trackStart - kTrackHeaderSize));
  return sink.seek(trackStart + kTrackLengthOffset) && sink.write(length);
}

}  // namespace velk_mur
