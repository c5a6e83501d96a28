#include "velk_mur/generate/led_reader.h"

#include <algorithm>

#include "platform/byte_order.h"
#include "velk_mur/generate/led_file.h"

namespace velk_mur {

namespace {

constexpr std::size_t kChunkHeaderSize = 8;  // tag and length
constexpr std::uint32_t kMinHeaderLength = 6;
constexpr std::int64_t kDefaultTempo = 500000;  // microseconds per quarter note, by the standard
constexpr int kMaxVariableLengthBytes = 4;
constexpr std::uint8_t kMetaEvent = 0xFF;
constexpr std::uint8_t kEndOfTrackMeta = 0x2F;
constexpr std::uint8_t kTempoMeta = 0x51;
constexpr std::uint8_t kSysExStart = 0xF0;
constexpr std::uint8_t kSysExContinue = 0xF7;

class TrackCursor {
 public:
  explicit TrackCursor(std::span<const std::uint8_t> track) : track_(track) {}
  bool atEnd() const { return at_ == track_.size(); }
  bool byte(std::uint8_t& out) {
    if (atEnd()) return false;
    out = track_[at_++];
    return true;
  }
  std::uint8_t peek() const { return track_[at_]; }
  bool variableLength(std::uint32_t& out) {
    out = 0;
    for (int count = 0; count < kMaxVariableLengthBytes; ++count) {
      std::uint8_t next = 0;
      if (!byte(next)) return false;
      out = (out << 7) | (next & 0x7Fu);
      if ((next & 0x80) == 0) return true;
    }
    return false;
  }
  bool take(std::uint32_t count, std::span<const std::uint8_t>& out) {
    if (track_.size() - at_ < count) return false;
    out = track_.subspan(at_, count);
    at_ += count;
    return true;
  }
  std::size_t offset() const { return at_; }

 private:
  std::span<const std::uint8_t> track_;
  std::size_t at_ = 0;
};

// Data bytes that follow a channel message's status.
int dataBytesOf(std::uint8_t status) {
  const std::uint8_t kind = status & 0xF0;
  return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

struct TrackChunk {
  std::span<const std::uint8_t> events;  // after the chunk's tag and length
  std::uint16_t ticksPerQuarter = 0;
  std::string problem;  // empty when the header and the track chunk are sound
};

// The header chunk (format 0, ticks per quarter note) and the one track chunk after it, which
// must reach exactly to the end of the file.
TrackChunk findTrack(std::span<const std::uint8_t> bytes) {
  TrackChunk chunk;
  const auto refuse = [&chunk](std::string problem) {
    chunk.problem = std::move(problem);
    return chunk;
  };
  if (!platform::hasTag(bytes, 0, kMidiHeaderTag) ||
      bytes.size() < kChunkHeaderSize + kMinHeaderLength) {
    return refuse("not a MIDI file (no \"MThd\" header)");
  }
  const std::uint32_t headerLength = platform::getBe32(&bytes[4]);
  if (headerLength < kMinHeaderLength || headerLength > bytes.size() - kChunkHeaderSize) {
    return refuse("header length " + std::to_string(headerLength) + " does not fit the file");
  }
  const std::uint16_t format = platform::getBe16(&bytes[8]);
  const std::uint16_t division = platform::getBe16(&bytes[12]);
  if (format != 0) return refuse("MIDI format " + std::to_string(format) + ", not 0");
  if (division == 0 || (division & 0x8000) != 0) {
    return refuse("time division is not in ticks per quarter note");
  }
  chunk.ticksPerQuarter = division;

  const std::size_t trackStart = kChunkHeaderSize + headerLength;
  if (!platform::hasTag(bytes, trackStart, kMidiTrackTag) ||
      bytes.size() - trackStart < kChunkHeaderSize) {
    return refuse("no \"MTrk\" track chunk after the header");
  }
  const std::uint32_t trackLength = platform::getBe32(&bytes[trackStart + 4]);
  if (trackLength != bytes.size() - trackStart - kChunkHeaderSize) {
    return refuse("track length " + std::to_string(trackLength) + ", but " +
                  std::to_string(bytes.size() - trackStart - kChunkHeaderSize) +
                  " bytes follow it");
  }
  chunk.events = bytes.subspan(trackStart + kChunkHeaderSize);
  return chunk;
}

// Reads the track's events in order, keeping the clock through tempo changes and which LEDs
// are lit, and records each LED switch in `pattern`.
class TrackReader {
 public:
  TrackReader(std::span<const std::uint8_t> events, LedFileContents& pattern)
      : track_(events), pattern_(pattern) {}

  // Empty when the track was read to its end-of-track event; otherwise why it was refused.
  std::string readToEnd() {
    while (!ended_) {
      if (track_.atEnd()) return "the track has no end-of-track event";
      std::string problem = advanceClock();
      if (problem.empty()) problem = readEvent();
      if (!problem.empty()) return problem;
    }
    pattern_.endTick = static_cast<std::uint32_t>(tick_);
    pattern_.endMicroseconds = microseconds_;
    return {};
  }

 private:
  std::string at() const { return " at track byte " + std::to_string(track_.offset()); }

  std::string advanceClock() {
    std::uint32_t delta = 0;
    if (!track_.variableLength(delta)) return "delta time cut or too long" + at();
    tick_ += delta;
    if (tick_ > UINT32_MAX) return "the track lasts too long" + at();
    microseconds_ = tempoMicroseconds_ + static_cast<std::int64_t>(tick_ - tempoTick_) * tempo_ /
                                             pattern_.ticksPerQuarter;
    return {};
  }

  std::string readEvent() {
    std::uint8_t status = 0;
    if (track_.atEnd()) return "event cut" + at();
    if (track_.peek() & 0x80) {
      track_.byte(status);
    } else if (runningStatus_ != 0) {
      status = runningStatus_;
    } else {
      return "data byte without a status" + at();
    }
    if (status == kMetaEvent) return readMetaEvent();
    if (status == kSysExStart || status == kSysExContinue) {
      std::uint32_t length = 0;
      std::span<const std::uint8_t> body;
      if (!track_.variableLength(length) || !track_.take(length, body)) {
        return "system exclusive event cut" + at();
      }
      return {};
    }
    if (status >= 0xF0) return "unknown event " + std::to_string(status) + at();
    runningStatus_ = status;
    return readChannelEvent(status);
  }

  std::string readMetaEvent() {
    std::uint8_t type = 0;
    std::uint32_t length = 0;
    std::span<const std::uint8_t> body;
    if (!track_.byte(type) || !track_.variableLength(length) || !track_.take(length, body)) {
      return "meta event cut" + at();
    }
    if (type == kEndOfTrackMeta) {
      if (!track_.atEnd()) return "bytes after the end-of-track event";
      ended_ = true;
    } else if (type == kTempoMeta && length == 3) {
      tempoTick_ = tick_;
      tempoMicroseconds_ = microseconds_;
      tempo_ = body[0] << 16 | body[1] << 8 | body[2];
    }
    return {};
  }

  // A note on or off for one of the LEDs' notes switches that LED; other channel events pass.
  std::string readChannelEvent(std::uint8_t status) {
    std::uint8_t data[2] = {};
    for (int index = 0; index < dataBytesOf(status); ++index) {
      if (!track_.byte(data[index])) return "channel event cut" + at();
      if (data[index] & 0x80) return "data byte above 127" + at();
    }
    const std::uint8_t kind = status & 0xF0;
    const int led = data[0] - kFirstLedNote;
    if ((kind != 0x90 && kind != 0x80) || led < 0 || led >= kLedCount) return {};
    const bool on = kind == 0x90 && data[1] != 0;
    if (on == lit_[led]) return {};
    lit_[led] = on;
    pattern_.switches.push_back({static_cast<std::uint32_t>(tick_), microseconds_, led, on});
    return {};
  }

  TrackCursor track_;
  LedFileContents& pattern_;
  bool ended_ = false;
  std::uint64_t tick_ = 0;
  std::int64_t microseconds_ = 0;
  std::int64_t tempo_ = kDefaultTempo;
  // Times are reckoned from the last tempo change, so that rounding does not add up.
  std::uint64_t tempoTick_ = 0;
  std::int64_t tempoMicroseconds_ = 0;
  std::uint8_t runningStatus_ = 0;
  bool lit_[kLedCount] = {};
};

}  // namespace

LedReadResult readLedFile(std::span<const std::uint8_t> bytes) {
  LedReadResult result;
  const TrackChunk chunk = findTrack(bytes);
  if (!chunk.problem.empty()) {
    result.problem = chunk.problem;
    return result;
  }
  result.pattern.ticksPerQuarter = chunk.ticksPerQuarter;
  result.problem = TrackReader(chunk.events, result.pattern).readToEnd();
  return result;
}

std::vector<std::uint32_t> ledMasksPerStep(const LedFileContents& pattern,
                                           std::uint32_t ticksPerStep) {
  std::vector<std::uint32_t> masks;
  if (pattern.switches.empty() || ticksPerStep == 0) return masks;
  masks.resize(pattern.switches.back().tick / ticksPerStep);
  std::uint32_t mask = 0;
  auto next = pattern.switches.begin();
  for (std::size_t step = 0; step < masks.size(); ++step) {
    for (; next != pattern.switches.end() && next->tick <= step * ticksPerStep; ++next) {
      if (next->lit) {
        mask |= 1u << next->led;
      } else {
        mask &= ~(1u << next->led);
      }
    }
    masks[step] = mask;
  }
  // A switch between step starts can leave dark steps at the end, which a file does not keep.
  while (!masks.empty() && masks.back() == 0) masks.pop_back();
  return masks;
}

}  // namespace velk_mur
