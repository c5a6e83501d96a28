#pragma once
// The LED file: a Standard MIDI File (format 0, one track) in which LED b is note
// 48 + b; a note-on with velocity 96 lights it, velocity 0 puts it out. Big-endian throughout.
#include <cstdint>
#include <span>

#include "platform/byte_order.h"

namespace velk_mur {

inline constexpr platform::FourCC kMidiHeaderTag{'M', 'T', 'h', 'd'};
inline constexpr platform::FourCC kMidiTrackTag{'M', 'T', 'r', 'k'};
inline constexpr std::uint8_t kFirstLedNote = 48;  // LED 0; "0123456789:;<=" as characters
inline constexpr std::uint8_t kNoteOnStatus = 0x90;
inline constexpr std::uint8_t kLedOnVelocity = 0x60;
inline constexpr std::uint8_t kLedOffVelocity = 0x00;
inline constexpr int kLedCount = 14;
inline constexpr std::uint32_t kTicksPerStep = 40;

// Appends the header chunk, the track chunk with its length filled in afterwards, the three meta
// events, the note events of every step (all LEDs out after the last one) and the end of
// track. False, with the file incomplete, only for a gap too long for a delta time.
bool writeLedFile(platform::Bytes& out, std::span<const std::uint32_t> masks);

// A MIDI variable-length number of ticks: one to three bytes up to 2097151; larger gaps (only
// in recordings over 72 minutes) take the standard fourth byte.
// Beyond the standard's 0x0FFFFFFF it is refused.
bool writeDeltaTime(platform::Bytes& out, std::uint32_t ticks);

}  // namespace velk_mur
