#include "velk_mur/generate/amplitude.h"

namespace velk_mur {

AmplitudeHistogram buildAmplitudeHistogram(std::span<const std::uint8_t> samples) {
  // Counting raw byte values first keeps the loop free of arithmetic; four tables side by side
  // keep successive equal samples from waiting on one another's increments.
  std::array<std::array<std::int64_t, 256>, 4> byValue{};
  std::size_t i = 0;
  for (; i + 4 <= samples.size(); i += 4) {
    ++byValue[0][samples[i]];
    ++byValue[1][samples[i + 1]];
    ++byValue[2][samples[i + 2]];
    ++byValue[3][samples[i + 3]];
  }
  for (; i < samples.size(); ++i) ++byValue[0][samples[i]];

  AmplitudeHistogram histogram;
  for (int value = 0; value < 256; ++value) {
    const std::int64_t count =
        byValue[0][value] + byValue[1][value] + byValue[2][value] + byValue[3][value];
    histogram.counts[amplitudeOf(static_cast<std::uint8_t>(value))] += count;
  }
  return histogram;
}

int percentileLevel(const AmplitudeHistogram& histogram, std::int64_t bound) {
  std::int64_t below = 0;
  for (int level = 0; level < kAmplitudeLevels; ++level) {
    below += histogram.counts[level];
    if (below > bound) return level;
  }
  return kAmplitudeLevels;
}

}  // namespace velk_mur
