#pragma once
// Recordings for tests: WAV files in the two header layouts the reader accepts, or in any
// format a test wants to see refused.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

#include "platform/byte_order.h"

namespace testing_support {

struct WavOptions {
  std::uint32_t fmtSize = 16;  // 16: data at 44; 18: two extension bytes, data at 46
  std::uint16_t formatTag = 1;
  std::uint16_t channels = 1;
  std::uint32_t sampleRate = 8000;
  std::uint16_t bitsPerSample = 8;
  platform::Bytes extraChunk;               // a whole chunk put between "fmt " and "data"
  std::optional<std::uint32_t> dataLength;  // announced length; by default the samples' size
};

// A RIFF/WAVE file holding `samples` as its sound data.
platform::Bytes makeWav(const platform::Bytes& samples, const WavOptions& options = {});

// A chunk: four-character id, little-endian size, `size` zero bytes.
platform::Bytes makeChunk(std::string_view id, std::uint32_t size);

// Writes makeWav(samples, options) to `path`, creating parent folders.
void writeWav(const std::filesystem::path& path, const platform::Bytes& samples,
              const WavOptions& options = {});

// `count` samples of silence (128).
platform::Bytes silence(std::size_t count);

// The one-second recording of the worked examples: 4000 samples of silence, then
// 4000 alternating between 0 and 255.
platform::Bytes halfSilentHalfLoud();

}  // namespace testing_support
