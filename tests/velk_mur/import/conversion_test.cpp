// Conversion quality measured on the sound.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/support/temp_tree.h"
#include "tests/velk_mur/import/audio_fixtures.h"
#include "velk_mur/import/conversion.h"

namespace velk_mur {
namespace {

using testing_support::AudioFormat;
using testing_support::tone;

constexpr AudioFormat kWav16{"WAV 16-bit 44.1 kHz", "wav", "pcm_s16le", "wav", 44100, 1};
constexpr AudioFormat kWav16Stereo{"WAV 16-bit stereo", "wav", "pcm_s16le", "wav", 44100, 2};

// Root mean square at full scale 1: of decoded sound, or of 8-bit samples around 128.
double rms(const auto& samples, double zero = 0, double fullScale = 1) {
  double sum = 0;
  for (const auto s : samples) sum += (s - zero) * (s - zero);
  return std::sqrt(sum / static_cast<double>(samples.size())) / fullScale;
}

double decibels(double ratio) {
  return 20 * std::log10(ratio);
}

MonoSound decoded(const std::filesystem::path& path, const AudioFormat& format,
                  const testing_support::Signal& signal, double seconds) {
  EXPECT_TRUE(testing_support::writeAudioFile(path, format, signal, seconds));
  DecodeResult result = decodeAudioFile(path);
  EXPECT_TRUE(result.ok) << result.reason;
  return result.sound;
}

TEST(Conversion, ToneAboveTheNewNyquistDoesNotFoldBackAndOppositeChannelsCancel) {
  testing_support::TempDir dir;
  // Faded in and out over 50 ms: an abrupt start or end has energy at every frequency.
  const auto faded = [](double frequency) {
    return [frequency](double t, int c) {
      const double fade = std::min({1.0, t / 0.05, (1.0 - t) / 0.05});
      return fade * tone(frequency, 0.5)(t, c);
    };
  };
  const MonoSound kept = decoded(dir / "1k.wav", kWav16, faded(1000), 1.0);
  const MonoSound folded = decoded(dir / "6k.wav", kWav16, faded(6000), 1.0);
  EXPECT_LE(decibels(rms(folded) / rms(kept)), -50.0);

  const auto opposite = [](double t, int c) { return (c == 0 ? 1 : -1) * tone(440, 0.5)(t, c); };
  const MonoSound sound = decoded(dir / "opposite.wav", kWav16Stereo, opposite, 1.0);
  ASSERT_FALSE(sound.empty());
  EXPECT_LE(rms(sound), 1e-6);
}

TEST(Conversion, LevelledToThePeakAndTrimmedToTheSoundWithFiftyMillisecondsEachSide) {
  testing_support::TempDir dir;
  // 0.5 s of near silence (-60 dBFS hiss), 1 s at half scale, 0.7 s of near silence.
  const auto burst = [](double t, int c) {
    return (t >= 0.5 && t < 1.5 ? 1.0 : 0.002) * tone(700, 0.5)(t, c);
  };
  const MonoSound sound = decoded(dir / "burst.wav", kWav16, burst, 2.2);
  const platform::Bytes finished = finishRecording(sound, {});
  const platform::Bytes kept = finishRecording(sound, {.keepLevel = true, .keepSilence = true});
  EXPECT_NEAR(finished.size(), (1.0 + 2 * kTrimMarginSeconds) * kRobotSampleRate, 480);
  EXPECT_NEAR(kept.size(), 2.2 * kRobotSampleRate, 480);
  // A sine's RMS is its peak over the square root of two; the sound fills 1 s of the length.
  const double sine = 1 / std::sqrt(2.0);
  EXPECT_NEAR(decibels(rms(finished, 128, 128)),
              kPeakDbfs + decibels(sine * std::sqrt(1.0 / (1.0 + 2 * kTrimMarginSeconds))), 1.0);
  EXPECT_NEAR(decibels(rms(kept, 128, 128)), decibels(0.5 * sine * std::sqrt(1.0 / 2.2)), 1.0);
}

}  // namespace
}  // namespace velk_mur
