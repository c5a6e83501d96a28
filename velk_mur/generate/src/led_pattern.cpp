#include "led_pattern.h"

#include <algorithm>

#include "generated_file.h"
#include "velk_mur/generate/key_frames.h"
#include "velk_mur/generate/led_file.h"
#include "velk_mur/generate/wav_format.h"

namespace velk_mur {

namespace {

constexpr std::int64_t kStepsPerSecond = 12;
constexpr std::int64_t kSampleRate = kRobotSampleRate;
constexpr std::int64_t kStepRounding = 132;
constexpr std::int64_t kMaxStepSamples = 666;

// W = (12 L + 132) / 8000 steps.
std::int64_t ledStepCount(std::int64_t sampleCount) {
  return (kStepsPerSecond * sampleCount + kStepRounding) / kSampleRate;
}

// Threshold k: the amplitude at or below which more than (k + 1) tenths of the samples lie.
std::array<int, kLoudnessLevels> loudnessThresholds(const AmplitudeHistogram& histogram) {
  std::int64_t length = 0;
  for (std::int64_t count : histogram.counts) length += count;
  std::array<int, kLoudnessLevels> thresholds{};
  for (int k = 0; k < kLoudnessLevels; ++k) {
    thresholds[k] = percentileLevel(histogram, (k + 1) * length / 10);
  }
  return thresholds;
}

}  // namespace

std::vector<std::uint32_t> computeLedMasks(std::span<const std::uint8_t> samples) {
  return computeLedMasks(samples, buildAmplitudeHistogram(samples));
}

std::vector<std::uint32_t> computeLedMasks(std::span<const std::uint8_t> samples,
                                           const AmplitudeHistogram& histogram) {
  const auto length = static_cast<std::int64_t>(samples.size());
  const std::array<int, kLoudnessLevels> thresholds = loudnessThresholds(histogram);
  std::vector<std::uint32_t> masks(static_cast<std::size_t>(ledStepCount(length)), 0);

  for (std::size_t i = 0; i < masks.size(); ++i) {
    const std::int64_t start = kSampleRate * static_cast<std::int64_t>(i) / kStepsPerSecond;
    const std::int64_t count = std::min(length - start, kMaxStepSamples);
    if (count <= 0) continue;
    const std::span<const std::uint8_t> step =
        samples.subspan(static_cast<std::size_t>(start), static_cast<std::size_t>(count));
    // The thresholds rise with k, so the levels a step reaches are the first few: find how many
    // by halving, counting the samples at three thresholds instead of eight.
    int reached = 0;
    int notReached = kLoudnessLevels;
    while (reached < notReached) {
      const int middle = (reached + notReached) / 2;
      if (countAtLeast(step, thresholds[middle]) > count / 2) {
        reached = middle + 1;
      } else {
        notReached = middle;
      }
    }
    std::uint32_t mask = 0;
    for (int k = 0; k < reached; ++k) mask |= kLedLevelTable[k];
    masks[i] = mask;
  }
  return masks;
}

bool generateLedPattern(const std::filesystem::path& outputPath, const ClipSamples& clip,
                        const AmplitudeHistogram& histogram) {
  if (static_cast<std::int64_t>(clip.size()) > kMaxClipSamples) return false;
  platform::Bytes file;
  return writeLedFile(file, computeLedMasks(clip.samples, histogram)) &&
         writeGeneratedFile(outputPath, file);
}

}  // namespace velk_mur
