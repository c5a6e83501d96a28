#pragma once
// The mouth motion: the mouth joint opens with the loudness of the sound, leading it by
// 170 to 250 ms.
#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

#include "platform/byte_sink.h"
#include "velk_mur/generate/wav_input.h"

namespace velk_mur {

inline constexpr std::int32_t kMouthClosed = -52359;     // -3 degrees
inline constexpr std::int32_t kMouthHalfOpen = -436332;  // -25 degrees
inline constexpr std::int32_t kMouthWideOpen = -872664;  // -50 degrees

// The loudness threshold and the per-key-frame windows of one recording. Building it reads
// the samples once (the histogram); the windows read them a second time.
class MouthAnalysis {
 public:
  explicit MouthAnalysis(std::span<const std::uint8_t> samples);

  std::int64_t keyFrameCount() const { return keyFrameCount_; }
  int threshold() const { return threshold_; }
  // The mouth value of key frame j (0 to keyFrameCount() - 1).
  std::int32_t valueAt(std::int64_t j) const;

 private:
  std::span<const std::uint8_t> samples_;
  std::int64_t q_;
  std::int64_t keyFrameCount_;
  int threshold_;
  std::array<std::uint8_t, 256> loud_{};  // 1 for a byte whose amplitude reaches the threshold
};

// Every key frame's value at once, for tests and measurements.
std::vector<std::int32_t> computeMouthValues(std::span<const std::uint8_t> samples);

// Writes the whole mouth motion file to a sink. Refuses a recording longer than
// kMaxClipSamples before writing anything.
bool writeMouthMotion(platform::ByteSink& sink, std::string_view motionName,
                      std::span<const std::uint8_t> samples);

// Creates the file and writes the mouth motion; on failure the incomplete file is removed.
bool generateMouthMotion(const std::filesystem::path& outputPath, std::string_view motionName,
                         const ClipSamples& clip);

}  // namespace velk_mur
