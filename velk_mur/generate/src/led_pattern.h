#pragma once
// The eye-LED pattern: one mask of lit LEDs per 1/12 second, more LEDs the louder.
#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "amplitude.h"
#include "velk_mur/generate/wav_input.h"

namespace velk_mur {

inline constexpr int kLoudnessLevels = 8;

// The LEDs that each loudness level lights (bit b is LED b).
inline constexpr std::array<std::uint32_t, kLoudnessLevels> kLedLevelTable = {
    0x0800, 0x0C00, 0x0C30, 0x0C3C, 0x0CFC, 0x0CFF, 0x0FFF, 0x3000};

// One mask per step, reading the samples once more after the histogram (which the mouth
// motion shares).
std::vector<std::uint32_t> computeLedMasks(std::span<const std::uint8_t> samples,
                                           const AmplitudeHistogram& histogram);
// Builds the histogram itself.
std::vector<std::uint32_t> computeLedMasks(std::span<const std::uint8_t> samples);

// Computes the masks and writes the LED file; on failure the incomplete file is removed.
// A recording longer than kMaxClipSamples is refused before the file is created.
bool generateLedPattern(const std::filesystem::path& outputPath, const ClipSamples& clip,
                        const AmplitudeHistogram& histogram);

}  // namespace velk_mur
