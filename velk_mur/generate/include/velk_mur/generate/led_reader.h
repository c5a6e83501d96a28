#pragma once
// Reads an LED file (a Standard MIDI File) back into the moments at which each of the 14 face
// LEDs is lit and put out. Notes 48 to 61 are the LEDs; other notes and events are passed
// over. Every length and count is checked against the bytes at hand before it is used.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace velk_mur {

struct LedSwitch {
  std::uint32_t tick = 0;         // from the start of the track
  std::int64_t microseconds = 0;  // the same moment, through the tempo in force
  int led = 0;                    // 0 to 13
  bool lit = false;               // lit, or put out
};

struct LedFileContents {
  std::uint16_t ticksPerQuarter = 0;
  std::vector<LedSwitch> switches;  // in file order, so in time order
  std::uint32_t endTick = 0;        // the end of track
  std::int64_t endMicroseconds = 0;
};

struct LedReadResult {
  LedFileContents pattern;
  std::string problem;  // empty when the file was read; otherwise why it was refused
  bool ok() const { return problem.empty(); }
};

LedReadResult readLedFile(std::span<const std::uint8_t> bytes);

// The lit LEDs (bit b is LED b) at the start of each step of `ticksPerStep` ticks, up to the
// last step that lights any: the masks the writer needs to write the same file again.
std::vector<std::uint32_t> ledMasksPerStep(const LedFileContents& pattern,
                                           std::uint32_t ticksPerStep);

}  // namespace velk_mur
