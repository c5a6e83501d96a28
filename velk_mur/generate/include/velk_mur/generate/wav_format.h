#pragma once
// The WAV files the robot plays: RIFF/WAVE with a "fmt " chunk of PCM, 8000 samples a second,
// one channel of unsigned 8-bit samples (128 is silence), then "data". Shared by the reader
// (wav_input.h) and the writer (wav_output.h).
#include <cstddef>
#include <cstdint>

#include "platform/byte_order.h"

namespace velk_mur {

// The robot's only sample rate.
inline constexpr int kRobotSampleRate = 8000;

// The RIFF form, its type and the two chunks the programs read and write.
inline constexpr platform::FourCC kRiffTag{'R', 'I', 'F', 'F'};
inline constexpr platform::FourCC kWaveFormTag{'W', 'A', 'V', 'E'};
inline constexpr platform::FourCC kFormatChunkTag{'f', 'm', 't', ' '};
inline constexpr platform::FourCC kDataTag{'d', 'a', 't', 'a'};

// The wave format the robot plays.
inline constexpr std::uint16_t kPcmFormatTag = 1;
inline constexpr std::uint16_t kMonoChannels = 1;
inline constexpr std::uint16_t kBitsPerSample = 8;
inline constexpr std::uint16_t kBlockAlignment = 1;  // bytes per sample of all channels

// The header's layout: the "fmt " chunk's size lies at 16 and its wave format at 20. The
// chunk holds 16 bytes, or 18 with an empty extension; the samples start after "data" and
// their length, at 44 or 46.
inline constexpr std::size_t kFmtSizeOffset = 16;
inline constexpr std::size_t kFormatBlockOffset = 20;
inline constexpr std::uint32_t kShortFmtSize = 16;
inline constexpr std::uint32_t kLongFmtSize = 18;
inline constexpr std::uint32_t kShortDataOffset = 44;
inline constexpr std::uint32_t kLongDataOffset = 46;
// The RIFF size counts everything after itself: the samples and, before them, this many bytes.
inline constexpr std::uint32_t kRiffSizeBeforeSamples = kShortDataOffset - 8;

}  // namespace velk_mur
