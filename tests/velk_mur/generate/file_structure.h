#pragma once
// Helpers shared by the generator's tests, and a reader of LED files independent of the writer:
// it must find a well-formed Standard MIDI File.
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

struct NoteEvent {
  std::uint32_t tick = 0;  // absolute
  int note = 0;
  int velocity = 0;
};

// Empty string when the file is a well-formed format-0 MIDI file of note-on events with
// explicit status bytes and the end of track last; fills `events`.
std::string checkLedFile(const platform::Bytes& file, std::vector<NoteEvent>& events);

}  // namespace generate_tests
