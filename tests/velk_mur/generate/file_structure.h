#pragma once
// Helpers shared by the generator's tests, and structural checks of written files independent
// of the writers: a motion file must walk by its section sizes to its exact end, an LED file
// must be a well-formed Standard MIDI File.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/byte_order.h"

namespace generate_tests {

using Writer = std::function<bool(platform::Bytes&)>;

// What `writer` builds; a refusal fails the calling test.
platform::Bytes written(const Writer& writer);

// The one-second recording of the worked examples, made once.
const platform::Bytes& halfSilentHalfLoud();

struct MotionLayout {
  int keyFrames = 0;
  int joints = 0;
  std::string motionName;
  std::vector<std::vector<std::int32_t>> values;  // per key frame, per joint
  std::vector<std::int32_t> interpolation;        // per key frame
};

// Empty string when the file is well formed, else what is wrong; fills `layout`.
std::string checkMotionFile(const platform::Bytes& file, MotionLayout& layout);

struct NoteEvent {
  std::uint32_t tick = 0;  // absolute
  int note = 0;
  int velocity = 0;
};

// Empty string when the file is a well-formed format-0 MIDI file of note-on events with
// explicit status bytes and the end of track last; fills `events`.
std::string checkLedFile(const platform::Bytes& file, std::vector<NoteEvent>& events);

}  // namespace generate_tests
