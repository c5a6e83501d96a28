#include "velk_mur/generate/led_reader.h"

#include <algorithm>

#include "platform/byte_order.h"
#include "velk_mur/generate/led_file.h"

namespace velk_mur {

namespace {

constexpr std::uint8_t kHeaderChunkId[] = {'M', 'T', 'h', 'd'};
constexpr std::uint8_t kTrackChunkId[] = {'M', 'T', 'r', 'k'};
constexpr std::size_t kChunkHeaderSize = 8;
constexpr std::uint32_t kMinHeaderLength = 6;
constexpr int kFirstLedNote = 48;
constexpr std::int64_t kDefaultTempo = 500000;  // microseconds per quarter note, by the standard
constexpr int kMaxVariableLengthBytes = 4;
constexpr std::uint8_t kMetaEvent = 0xFF;
constexpr std::uint8_t kEndOfTrackMeta = 0x2F;
constexpr std::uint8_t kTempoMeta = 0x51;
constexpr std::uint8_t kSysExStart = 0xF0;
constexpr std::uint8_t kSysExContinue = 0xF7;

bool hasId(std::span<const std::uint8_t> bytes, std::size_t at, const std::uint8_t (&id)[4]) {
  return bytes.size() - at >= 4 &&
         std::equal(id, id + 4, bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

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

}  // namespace

LedReadResult readLedFile(std::span<const std::uint8_t> bytes) {
  LedReadResult result;
  LedFileContents& pattern = result.pattern;
  const auto refuse = [&result](std::string problem) {
    result.problem = std::move(problem);
    return result;
  };
  if (!hasId(bytes, 0, kHeaderChunkId) || bytes.size() < kChunkHeaderSize + kMinHeaderLength) {
    return refuse("not a MIDI file (no \"MThd\" header)");
  }
  const std::uint32_t headerLength = platform::getBe32(&bytes[4]);
  if (headerLength < kMinHeaderLength || headerLength > bytes.size() - kChunkHeaderSize) {
    return refuse("header length " + std::to_string(headerLength) + " does not fit the file");
  }
  const std::uint16_t format = static_cast<std::uint16_t>(bytes[8] << 8 | bytes[9]);
  const std::uint16_t division = static_cast<std::uint16_t>(bytes[12] << 8 | bytes[13]);
  if (format != 0) return refuse("MIDI format " + std::to_string(format) + ", not 0");
  if (division == 0 || (division & 0x8000) != 0) {
    return refuse("time division is not in ticks per quarter note");
  }
  pattern.ticksPerQuarter = division;

  const std::size_t trackStart = kChunkHeaderSize + headerLength;
  if (!hasId(bytes, trackStart, kTrackChunkId) || bytes.size() - trackStart < kChunkHeaderSize) {
    return refuse("no \"MTrk\" track chunk after the header");
  }
  const std::uint32_t trackLength = platform::getBe32(&bytes[trackStart + 4]);
  if (trackLength != bytes.size() - trackStart - kChunkHeaderSize) {
    return refuse("track length " + std::to_string(trackLength) + ", but " +
                  std::to_string(bytes.size() - trackStart - kChunkHeaderSize) +
                  " bytes follow it");
  }

  TrackCursor track(bytes.subspan(trackStart + kChunkHeaderSize));
  const auto at = [&track] { return " at track byte " + std::to_string(track.offset()); };
  std::uint64_t tick = 0;
  std::int64_t microseconds = 0;
  std::int64_t tempo = kDefaultTempo;
  // Times are reckoned from the last tempo change, so that rounding does not add up.
  std::uint64_t tempoTick = 0;
  std::int64_t tempoMicroseconds = 0;
  std::uint8_t runningStatus = 0;
  bool lit[kLedCount] = {};
  while (true) {
    if (track.atEnd()) return refuse("the track has no end-of-track event");
    std::uint32_t delta = 0;
    if (!track.variableLength(delta)) return refuse("delta time cut or too long" + at());
    tick += delta;
    if (tick > UINT32_MAX) return refuse("the track lasts too long" + at());
    microseconds = tempoMicroseconds +
                   static_cast<std::int64_t>(tick - tempoTick) * tempo / pattern.ticksPerQuarter;

    std::uint8_t status = 0;
    if (track.atEnd()) return refuse("event cut" + at());
    if (track.peek() & 0x80) {
      track.byte(status);
    } else if (runningStatus != 0) {
      status = runningStatus;
    } else {
      return refuse("data byte without a status" + at());
    }

    if (status == kMetaEvent) {
      std::uint8_t type = 0;
      std::uint32_t length = 0;
      std::span<const std::uint8_t> body;
      if (!track.byte(type) || !track.variableLength(length) || !track.take(length, body)) {
        return refuse("meta event cut" + at());
      }
      if (type == kEndOfTrackMeta) {
        if (!track.atEnd()) return refuse("bytes after the end-of-track event");
        break;
      }
      if (type == kTempoMeta && length == 3) {
        tempoTick = tick;
        tempoMicroseconds = microseconds;
        tempo = body[0] << 16 | body[1] << 8 | body[2];
      }
      continue;
    }
    if (status == kSysExStart || status == kSysExContinue) {
      std::uint32_t length = 0;
      std::span<const std::uint8_t> body;
      if (!track.variableLength(length) || !track.take(length, body)) {
        return refuse("system exclusive event cut" + at());
      }
      continue;
    }
    if (status >= 0xF0) return refuse("unknown event " + std::to_string(status) + at());
    runningStatus = status;
    std::uint8_t data[2] = {};
    for (int index = 0; index < dataBytesOf(status); ++index) {
      if (!track.byte(data[index])) return refuse("channel event cut" + at());
      if (data[index] & 0x80) return refuse("data byte above 127" + at());
    }
    const std::uint8_t kind = status & 0xF0;
    const int led = data[0] - kFirstLedNote;
    if ((kind != 0x90 && kind != 0x80) || led < 0 || led >= kLedCount) continue;
    const bool on = kind == 0x90 && data[1] != 0;
    if (on == lit[led]) continue;
    lit[led] = on;
    pattern.switches.push_back({static_cast<std::uint32_t>(tick), microseconds, led, on});
  }
  pattern.endTick = static_cast<std::uint32_t>(tick);
  pattern.endMicroseconds = microseconds;
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
