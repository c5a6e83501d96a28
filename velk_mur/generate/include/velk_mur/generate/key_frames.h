#pragma once
// Key-frame timing shared by the head and mouth motions: key frames 640 samples
// (80 ms) apart, N = q + 2 of them with q = ((L / 128) + 5) / 5.
#include <cstdint>

namespace velk_mur {

inline constexpr std::int64_t kKeyFrameSpacing = 640;

// The motion file stores N in 16 bits.
inline constexpr std::int64_t kMaxKeyFrames = 65535;

// The longest recording whose key-frame count fits: q = 65533, N = 65535 (about 87 minutes).
// Within this length every product of the generators fits in 32 bits, so their 64-bit
// arithmetic gives exactly the results of 32-bit arithmetic.
inline constexpr std::int64_t kMaxClipSamples = 41941119;

constexpr std::int64_t keyFrameQ(std::int64_t sampleCount) {
  return (sampleCount / 128 + 5) / 5;
}

constexpr std::int64_t keyFrameCount(std::int64_t sampleCount) {
  return keyFrameQ(sampleCount) + 2;
}

static_assert(keyFrameCount(kMaxClipSamples) == kMaxKeyFrames);
static_assert(keyFrameCount(kMaxClipSamples + 1) == kMaxKeyFrames + 1);

// Interpolated frames between key frames; the first key frame carries 0.
inline constexpr std::int32_t kInterpolationCount = 4;

}  // namespace velk_mur
