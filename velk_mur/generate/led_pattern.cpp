#include "velk_mur/generate/led_pattern.h"

#include <algorithm>

#include "velk_mur/generate/amplitude.h"
#include "velk_mur/generate/generated_file.h"
#include "velk_mur/generate/key_frames.h"
#include "velk_mur/generate/led_file.h"

namespace velk_mur {

namespace {

constexpr std::int64_t kStepsPerSecond = 12;
constexpr std::int64_t kSampleRate = 8000;
constexpr std::int64_t kStepRounding = 132;
constexpr std::int64_t kMaxStepSamples = 666;

// W = (12 L + 132) / 8000 steps.
std::int64_t ledStepCount(std::int64_t sampleCount) {
  return (kStepsPerSecond * sampleCount + kStepRounding) / kSampleRate;
}

// Threshold k: the amplitude at or below which more than (k + 1) tenths of the samples lie.
std::array<int, kLoudnessLevels> loudnessThresholds(std::span<const std::uint8_t> samples) {
  const AmplitudeHistogram histogram = buildAmplitudeHistogram(samples);
  const auto length = static_cast<std::int64_t>(samples.size());
  std::array<int, kLoudnessLevels> thresholds{};
  for (int k = 0; k < kLoudnessLevels; ++k) {
    thresholds[k] = percentileLevel(histogram, (k + 1) * length / 10);
  }
  return thresholds;
}

}  // namespace

std::vector<std::uint32_t> computeLedMasks(std::span<const std::uint8_t> samples) {
  const auto length = static_cast<std::int64_t>(samples.size());
  const std::array<int, kLoudnessLevels> thresholds = loudnessThresholds(samples);
  std::vector<std::uint32_t> masks(static_cast<std::size_t>(ledStepCount(length)), 0);

  // Per step, an amplitude histogram of its samples; the count of samples reaching a
  // threshold is then a suffix sum, whatever the order of the thresholds.
  std::array<std::int32_t, kAmplitudeLevels + 1> stepCounts{};
  for (std::size_t i = 0; i < masks.size(); ++i) {
    const std::int64_t start = kSampleRate * static_cast<std::int64_t>(i) / kStepsPerSecond;
    const std::int64_t count = std::min(length - start, kMaxStepSamples);
    if (count <= 0) continue;
    stepCounts.fill(0);
    const std::uint8_t* step = samples.data() + start;
    for (std::int64_t s = 0; s < count; ++s) ++stepCounts[amplitudeOf(step[s])];
    // stepCounts[v] becomes the number of samples of amplitude v or more; [129] stays 0.
    for (int level = kAmplitudeLevels - 1; level >= 0; --level) {
      stepCounts[level] += stepCounts[level + 1];
    }
    std::uint32_t mask = 0;
    for (int k = 0; k < kLoudnessLevels; ++k) {
      if (stepCounts[thresholds[k]] > count / 2) mask |= kLedLevelTable[k];
    }
    masks[i] = mask;
  }
  return masks;
}

bool generateLedPattern(const std::filesystem::path& outputPath, const ClipSamples& clip) {
  if (static_cast<std::int64_t>(clip.size()) > kMaxClipSamples) return false;
  const std::vector<std::uint32_t> masks = computeLedMasks(clip.samples);
  return writeGeneratedFile(outputPath,
                            [&](platform::ByteSink& sink) { return writeLedFile(sink, masks); });
}

}  // namespace velk_mur
