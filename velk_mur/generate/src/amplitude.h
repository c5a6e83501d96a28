#pragma once
// The loudness analysis shared by the mouth motion and the eye LEDs.
#include <array>
#include <cstdint>
#include <span>

namespace velk_mur {

// Amplitude levels 0 to 128: |s - 128| of an unsigned 8-bit sample.
inline constexpr int kAmplitudeLevels = 129;

constexpr int amplitudeOf(std::uint8_t sample) {
  return sample >= 128 ? sample - 128 : 128 - sample;
}

// Counter v holds the number of samples whose amplitude is v; the counters add up to L.
struct AmplitudeHistogram {
  std::array<std::int64_t, kAmplitudeLevels> counts{};
};

AmplitudeHistogram buildAmplitudeHistogram(std::span<const std::uint8_t> samples);

// The smallest level whose cumulative count exceeds `bound` strictly; 129 when none does.
int percentileLevel(const AmplitudeHistogram& histogram, std::int64_t bound);

// The number of samples whose amplitude is `level` or more (level 129: none).
std::int64_t countAtLeast(std::span<const std::uint8_t> samples, int level);

}  // namespace velk_mur
