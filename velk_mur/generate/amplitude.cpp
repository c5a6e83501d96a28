#include "velk_mur/generate/amplitude.h"

#include <algorithm>

namespace velk_mur {

AmplitudeHistogram buildAmplitudeHistogram(std::span<const std::uint8_t> samples) {
  // Counting raw byte values first keeps the loop free of arithmetic; two tables side by side
  // keep successive equal samples from waiting on one another's increments (more tables
  // measured slower). 32-bit counters, emptied into the histogram every 2^31 samples.
  constexpr std::size_t kChunk = std::size_t{1} << 31;
  AmplitudeHistogram histogram;
  for (std::size_t start = 0; start < samples.size(); start += kChunk) {
    const std::span<const std::uint8_t> chunk =
        samples.subspan(start, std::min(kChunk, samples.size() - start));
    std::array<std::array<std::uint32_t, 256>, 2> byValue{};
    std::size_t i = 0;
    for (; i + 2 <= chunk.size(); i += 2) {
      ++byValue[0][chunk[i]];
      ++byValue[1][chunk[i + 1]];
    }
    if (i < chunk.size()) ++byValue[0][chunk[i]];
    for (int value = 0; value < 256; ++value) {
      histogram.counts[amplitudeOf(static_cast<std::uint8_t>(value))] +=
          std::int64_t{byValue[0][value]} + byValue[1][value];
    }
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

namespace {

// Sixteen samples side by side, each lane counting in a byte; 255 rounds fill a byte at most.
constexpr std::size_t kLanes = 16;
constexpr std::size_t kMaxRounds = 255;
constexpr std::uint8_t kSilence = 128;

template <std::size_t N>
void countWindow(std::span<const std::uint8_t> samples, const std::array<std::uint8_t, N>& levels,
                 std::array<std::int64_t, N>& counts) {
  std::array<std::array<std::uint8_t, kLanes>, N> lanes{};
  std::size_t i = 0;
  for (; i + kLanes <= samples.size(); i += kLanes) {
    // |s - 128| in bytes throughout, so that no lane widens.
    std::array<std::uint8_t, kLanes> amplitudes{};
    for (std::size_t lane = 0; lane < kLanes; ++lane) {
      const std::uint8_t sample = samples[i + lane];
      amplitudes[lane] =
          static_cast<std::uint8_t>(std::max(sample, kSilence) - std::min(sample, kSilence));
    }
    for (std::size_t k = 0; k < N; ++k) {
      for (std::size_t lane = 0; lane < kLanes; ++lane) {
        lanes[k][lane] =
            static_cast<std::uint8_t>(lanes[k][lane] + (amplitudes[lane] >= levels[k]));
      }
    }
  }
  for (std::size_t k = 0; k < N; ++k) {
    for (const std::uint8_t laneCount : lanes[k]) counts[k] += laneCount;
  }
  for (; i < samples.size(); ++i) {
    const int amplitude = amplitudeOf(samples[i]);
    for (std::size_t k = 0; k < N; ++k) counts[k] += amplitude >= levels[k] ? 1 : 0;
  }
}

// Written so that the compiler keeps the lanes in vector registers: several times faster than
// a table lookup per sample on an 80-minute recording.
template <std::size_t N>
std::array<std::int64_t, N> countReaching(std::span<const std::uint8_t> samples,
                                          const std::array<int, N>& levels) {
  // In bytes; 255 stands for 129, which no amplitude reaches.
  std::array<std::uint8_t, N> byteLevels{};
  for (std::size_t k = 0; k < N; ++k) {
    byteLevels[k] =
        static_cast<std::uint8_t>(levels[k] >= kAmplitudeLevels ? 255 : std::max(levels[k], 0));
  }
  std::array<std::int64_t, N> counts{};
  constexpr std::size_t kWindow = kLanes * kMaxRounds;
  for (std::size_t start = 0; start < samples.size(); start += kWindow) {
    countWindow<N>(samples.subspan(start, std::min(kWindow, samples.size() - start)), byteLevels,
                   counts);
  }
  return counts;
}

}  // namespace

std::int64_t countAtLeast(std::span<const std::uint8_t> samples, int level) {
  return countReaching<1>(samples, {level})[0];
}

std::array<std::int64_t, 8> countEachAtLeast(std::span<const std::uint8_t> samples,
                                             const std::array<int, 8>& levels) {
  return countReaching<8>(samples, levels);
}

}  // namespace velk_mur
