// Conversion quality measured on the sound, and every common input format accepted.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/support/recording_messenger.h"
#include "tests/support/temp_tree.h"
#include "tests/velk_mur/import/audio_fixtures.h"
#include "velk_mur/generate/wav_input.h"
#include "velk_mur/import/conversion.h"
#include "velk_mur/import/recording_import.h"

namespace velk_mur {
namespace {

using testing_support::AudioFormat;
using testing_support::tone;

constexpr AudioFormat kWav16{"WAV 16-bit 44.1 kHz", "wav", "pcm_s16le", "wav", 44100, 1};
constexpr AudioFormat kWav16Stereo{"WAV 16-bit stereo", "wav", "pcm_s16le", "wav", 44100, 2};

double rms(const MonoSound& sound) {
  double sum = 0;
  for (const float x : sound) sum += static_cast<double>(x) * x;
  return std::sqrt(sum / static_cast<double>(sound.size()));
}

double rmsOfSamples(const platform::Bytes& samples) {
  double sum = 0;
  for (const std::uint8_t s : samples) sum += (s - 128.0) * (s - 128.0);
  return std::sqrt(sum / static_cast<double>(samples.size())) / 128.0;
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

TEST(Conversion, ToneKeepsItsLevelOrIsLevelledToTheTargetPeak) {
  testing_support::TempDir dir;
  const MonoSound sound = decoded(dir / "tone.wav", kWav16, tone(1000, 0.5), 1.0);
  const double sine = 1 / std::sqrt(2.0);
  EXPECT_NEAR(decibels(rmsOfSamples(finishRecording(sound, {.keepLevel = true}))),
              decibels(0.5 * sine), 1.0);
  EXPECT_NEAR(decibels(rmsOfSamples(finishRecording(sound, {}))), kPeakDbfs + decibels(sine), 1.0);
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

  const auto opposite = [](double t, int c) {
    return (c == 0 ? 0.5 : -0.5) * std::sin(2 * 3.14159265 * 440 * t);
  };
  const MonoSound sound = decoded(dir / "opposite.wav", kWav16Stereo, opposite, 1.0);
  ASSERT_FALSE(sound.empty());
  EXPECT_LE(rms(sound), 1e-6);
}

TEST(Conversion, TrimmingKeepsTheSoundAndFiftyMillisecondsEachSide) {
  testing_support::TempDir dir;
  // 0.5 s of near silence (-60 dBFS hiss), 1 s of speech level, 0.7 s of near silence.
  const auto burst = [](double t, int) {
    const double loud = t >= 0.5 && t < 1.5 ? 0.5 : 0.001;
    return loud * std::sin(2 * 3.14159265 * 700 * t);
  };
  const MonoSound sound = decoded(dir / "burst.wav", kWav16, burst, 2.2);
  const auto seconds = [](const platform::Bytes& samples) {
    return static_cast<double>(samples.size()) / kRobotSampleRate;
  };
  EXPECT_NEAR(seconds(finishRecording(sound, {})), 1.0 + 2 * kTrimMarginSeconds, 0.06);
  EXPECT_NEAR(seconds(finishRecording(sound, {.keepSilence = true})), 2.2, 0.06);
}

class InputFormat : public testing::TestWithParam<AudioFormat> {};

TEST_P(InputFormat, GivesARecordingTheCheckPassAccepts) {
  const AudioFormat& format = GetParam();
  testing_support::TempDir dir;
  const auto source = dir / (std::string("voice.") + format.extension);
  ASSERT_TRUE(testing_support::writeAudioFile(source, format, tone(440, 0.3), 1.0));
  std::filesystem::create_directory(dir / "audio");
  platform::RecordingMessenger messenger;
  const auto imported = importAudioFile(source, dir / "audio", std::nullopt, {}, messenger);
  ASSERT_TRUE(imported) << testing::PrintToString(messenger.texts());
  EXPECT_EQ(imported->name, "voice");
  // Encoders add up to a few frames of padding.
  EXPECT_NEAR(imported->seconds, 1.0, 0.1);
  WavHeaderInfo info;
  ASSERT_EQ(readWavHeader(dir / "audio" / "voice.wav", info), WavCheck::Good);
  EXPECT_EQ(loadClipSamples(dir / "audio" / "voice.wav", info).status, ClipLoadStatus::Loaded);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, InputFormat,
    testing::Values(AudioFormat{"wav_u8_11k", "wav", "pcm_u8", "wav", 11025, 1},
                    AudioFormat{"wav_s24_48k_stereo", "wav", "pcm_s24le", "wav", 48000, 2},
                    AudioFormat{"wav_float_22k", "wav", "pcm_f32le", "wav", 22050, 1},
                    AudioFormat{"wav_8k_already", "wav", "pcm_u8", "wav", 8000, 1},
                    AudioFormat{"mp3", "mp3", "libmp3lame", "mp3", 44100, 2},
                    AudioFormat{"m4a_aac", "ipod", "aac", "m4a", 44100, 2},
                    AudioFormat{"flac", "flac", "flac", "flac", 48000, 2},
                    AudioFormat{"opus", "ogg", "libopus", "opus", 48000, 2}),
    [](const testing::TestParamInfo<AudioFormat>& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace velk_mur
