#pragma once
// Any sound to the robot's recording: 8000 samples per second, mono, 8-bit unsigned. Decoding
// and resampling go through FFmpeg's libraries; levelling, trimming and quantising are here.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/byte_order.h"
#include "velk_mur/generate/wav_format.h"
#include "velk_mur/import/import_options.h"

namespace velk_mur {

// Sound at kRobotSampleRate, one channel, full scale at ±1.
using MonoSound = std::vector<float>;

struct DecodeResult {
  bool ok = false;
  std::string reason;  // the decoder's words when !ok
  MonoSound sound;
};

// Decodes the first audio stream of any file FFmpeg reads, mixing its channels to mono (their
// average) and resampling with a low-pass that keeps everything above 4 kHz out.
DecodeResult decodeAudioFile(const std::filesystem::path& path);

// Mixes and resamples interleaved 16-bit samples, for sound made in memory (speech).
MonoSound resampleMono16(std::span<const std::int16_t> samples, int sampleRate);

inline constexpr double kPeakDbfs = -1.0;
inline constexpr double kSilenceDbfs = -40.0;
inline constexpr double kTrimMarginSeconds = 0.05;

// Levels and trims as the options say, then quantises with triangular dither to unsigned
// 8-bit samples (128 is silence). The dither is seeded the same every time, so one sound
// always gives the same bytes.
platform::Bytes finishRecording(MonoSound sound, const ConversionOptions& options);

}  // namespace velk_mur
