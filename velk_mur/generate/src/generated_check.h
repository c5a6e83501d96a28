#pragma once
// Whether a file in GEN has the shape of what the generator writes, so that a damaged one
// (empty, cut short, overwritten) is refused by the check pass instead of packed on the stick.
#include <cstdint>
#include <filesystem>
#include <span>

namespace velk_mur {

// An "OMTN" motion: its four sections numbered 0 to 3, their sizes adding up to the file's.
bool isWellFormedMotion(std::span<const std::uint8_t> bytes);

// A MIDI file of format 0 with one track, the track's length reaching exactly the file's end.
bool isWellFormedLed(std::span<const std::uint8_t> bytes);

enum class GeneratedKind { Motion, Led };

// Reads the file and checks its shape; false also when it cannot be read.
bool isWellFormedGeneratedFile(const std::filesystem::path& path, GeneratedKind kind);

}  // namespace velk_mur
