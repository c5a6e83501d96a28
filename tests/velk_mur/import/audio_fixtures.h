#pragma once
// Sound files of every common format, encoded at test time with libavcodec's own encoders.
#include <filesystem>
#include <functional>
#include <string>

namespace testing_support {

struct AudioFormat {
  const char* label;
  const char* muxer;    // libavformat's name, e.g. "wav", "mp3", "ipod"
  const char* encoder;  // libavcodec's name, e.g. "pcm_s24le", "libmp3lame"
  const char* extension;
  int sampleRate = 44100;
  int channels = 1;
};

// Sample value at time t (seconds) on channel c, full scale ±1.
using Signal = std::function<double(double t, int c)>;

Signal tone(double frequency, double amplitude);

// Encodes `seconds` of `signal`; false (with a gtest failure) when the encoder is missing.
bool writeAudioFile(const std::filesystem::path& path, const AudioFormat& format,
                    const Signal& signal, double seconds);

}  // namespace testing_support
