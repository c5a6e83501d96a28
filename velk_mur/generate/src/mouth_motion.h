#pragma once
// The mouth motion: the mouth joint opens with the loudness of the sound, leading it by
// 170 to 250 ms.
#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

#include "amplitude.h"
#include "platform/byte_order.h"
#include "velk_mur/generate/wav_input.h"

namespace velk_mur {

inline constexpr std::int32_t kMouthClosed = -52359;     // -3 degrees
inline constexpr std::int32_t kMouthHalfOpen = -436332;  // -25 degrees
inline constexpr std::int32_t kMouthWideOpen = -872664;  // -50 degrees

// The loudness threshold and the per-key-frame windows of one recording. The threshold comes
// from the recording's amplitude histogram, which the LED pattern shares; the windows read the
// samples once more.
class MouthAnalysis {
 public:
  MouthAnalysis(std::span<const std::uint8_t> samples, const AmplitudeHistogram& histogram);
  // Builds the histogram itself.
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
};

// Appends the whole mouth motion file. Refuses a recording longer than kMaxClipSamples before
// appending anything.
bool writeMouthMotion(platform::Bytes& out, std::string_view motionName,
                      const MouthAnalysis& analysis);

// Creates the file and writes the mouth motion; on failure the incomplete file is removed.
bool generateMouthMotion(const std::filesystem::path& outputPath, std::string_view motionName,
                         const ClipSamples& clip, const AmplitudeHistogram& histogram);

}  // namespace velk_mur
