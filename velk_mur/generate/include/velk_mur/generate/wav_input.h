#pragma once
// Which recordings are usable, and their sound data in memory.
#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

#include "platform/byte_order.h"
#include "velk_mur/generate/wav_format.h"

namespace velk_mur {

// The result of reading a recording's header.
enum class WavCheck {
  Unreadable = 0,        // the file cannot be opened for reading
  WrongFormat = 1,       // not RIFF/WAVE, shorter than 46 bytes, or not 8 kHz 8-bit mono PCM
  ExtraInformation = 2,  // "fmt " not 16 or 18 bytes, or not followed directly by "data"
  Good = 3,
};

struct WavHeaderInfo {
  std::array<std::uint8_t, 16> formatBlock{};  // the PCM wave format as stored
  std::uint32_t dataOffset = 0;                // 44 or 46
  std::uint32_t dataLength = 0;                // the value behind "data", unchanged
};

// Bytes the header reader looks at: the 18-byte layout's header.
inline constexpr std::size_t kWavHeaderBytes = kLongDataOffset;

// Opens the file, reads its first 46 bytes in one read, closes it and checks them (all of them
// when it holds fewer). `info` is filled once the layout tests pass.
WavCheck readWavHeader(const std::filesystem::path& path, WavHeaderInfo& info);

// A recording's name: an ASCII letter, then ASCII letters, digits and underscores.
bool isValidClipName(std::string_view name);

// One recording's sound data: unsigned 8-bit samples, 128 is silence, 8000 per second.
struct ClipSamples {
  platform::UninitializedBytes samples;
  std::size_t size() const { return samples.size(); }
};

enum class ClipLoadStatus { Loaded, Missing, ReadError };

struct ClipLoadResult {
  ClipLoadStatus status = ClipLoadStatus::ReadError;
  ClipSamples clip;  // empty unless loaded
};

// Reads exactly the announced data length from the data offset. A length of 0, or one the
// file does not hold, is the read error; it is found before any memory is taken for it.
ClipLoadResult loadClipSamples(const std::filesystem::path& path, const WavHeaderInfo& info);

}  // namespace velk_mur
