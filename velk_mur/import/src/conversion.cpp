#include "velk_mur/import/conversion.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "platform/path_text.h"
#include "velk_mur/generate/key_frames.h"
#include "velk_mur/generate/wav_input.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace velk_mur {

namespace {

// A Kaiser-windowed sinc low-pass (the library's default window) of 64 taps per phase, passing up
// to 90 % of the new Nyquist frequency: the transition ends before 4 kHz, so nothing folds back
// into the passband.
constexpr int kFilterSize = 64;
constexpr double kCutoff = 0.9;

constexpr std::size_t kTrimMarginSamples =
    static_cast<std::size_t>(kTrimMarginSeconds * kRobotSampleRate);

std::string errorText(int code) {
  char buffer[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, buffer, sizeof buffer);
  return buffer;
}

// The core prints nothing; the decoder's reasons come back as values.
void silenceLibraryLog() {
  static const bool silenced = [] {
    av_log_set_level(AV_LOG_QUIET);
    return true;
  }();
  (void)silenced;
}

// Channels averaged to one, resampled to the robot's rate, collected as float.
class MonoResampler {
 public:
  MonoResampler() = default;
  MonoResampler(const MonoResampler&) = delete;
  MonoResampler& operator=(const MonoResampler&) = delete;
  ~MonoResampler() {
    swr_free(&swr_);
    av_channel_layout_uninit(&layout_);
  }

  // Starts (or restarts, after a change of input format) the conversion.
  bool start(const AVChannelLayout& given, AVSampleFormat format, int rate) {
    silenceLibraryLog();
    if (swr_ != nullptr && !finish()) return false;
    swr_free(&swr_);
    av_channel_layout_uninit(&layout_);
    if (given.order == AV_CHANNEL_ORDER_UNSPEC || av_channel_layout_check(&given) == 0) {
      av_channel_layout_default(&layout_, given.nb_channels);
    } else if (av_channel_layout_copy(&layout_, &given) < 0) {
      return false;
    }
    format_ = format;
    rate_ = rate;
    const int channels = layout_.nb_channels;
    if (channels <= 0 || rate <= 0) return false;
    AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
    if (swr_alloc_set_opts2(&swr_, &mono, AV_SAMPLE_FMT_FLT, kRobotSampleRate, &layout_, format,
                            rate, 0, nullptr) < 0) {
      return false;
    }
    av_opt_set_int(swr_, "filter_size", kFilterSize, 0);
    av_opt_set_double(swr_, "cutoff", kCutoff, 0);
    const std::vector<double> average(static_cast<std::size_t>(channels), 1.0 / channels);
    return swr_set_matrix(swr_, average.data(), channels) >= 0 && swr_init(swr_) >= 0;
  }

  bool matches(const AVFrame& frame) const {
    return swr_ != nullptr && frame.format == format_ && frame.sample_rate == rate_ &&
           frame.ch_layout.nb_channels == layout_.nb_channels;
  }

  bool push(const std::uint8_t** data, int count) {
    const int room = swr_get_out_samples(swr_, count);
    if (room < 0) return false;
    const std::size_t before = sound_.size();
    sound_.resize(before + static_cast<std::size_t>(room));
    auto* out = reinterpret_cast<std::uint8_t*>(sound_.data() + before);
    const int made = swr_convert(swr_, &out, room, data, count);
    if (made < 0) {
      sound_.resize(before);
      return false;
    }
    sound_.resize(before + static_cast<std::size_t>(made));
    return true;
  }

  // Drains what the filter still holds.
  bool finish() { return swr_ == nullptr || push(nullptr, 0); }

  MonoSound& sound() { return sound_; }

 private:
  SwrContext* swr_ = nullptr;
  AVChannelLayout layout_{};
  AVSampleFormat format_ = AV_SAMPLE_FMT_NONE;
  int rate_ = 0;
  MonoSound sound_;
};

struct FormatCloser {
  void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct CodecFreer {
  void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct PacketFreer {
  void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct FrameFreer {
  void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};

DecodeResult failed(std::string reason) {
  return {false, std::move(reason), {}};
}

constexpr const char* kNotSound = "damaged, or not a sound file";
constexpr const char* kTooLong = "longer than a motion file can follow (about 87 minutes)";

// Hands every frame the decoder has ready to the resampler.
std::string drainFrames(AVCodecContext& codec, AVFrame& frame, MonoResampler& resampler) {
  for (;;) {
    const int received = avcodec_receive_frame(&codec, &frame);
    if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return {};
    if (received < 0) return "damaged audio data (" + errorText(received) + ")";
    const bool ready = resampler.matches(frame) ||
                       resampler.start(frame.ch_layout, static_cast<AVSampleFormat>(frame.format),
                                       frame.sample_rate);
    if (!ready) return "unsupported sample format";
    if (!resampler.push(const_cast<const std::uint8_t**>(frame.extended_data), frame.nb_samples))
      return "resampling failed";
    av_frame_unref(&frame);
    if (std::ssize(resampler.sound()) > kMaxClipSamples) return kTooLong;
  }
}

}  // namespace

DecodeResult decodeAudioFile(const std::filesystem::path& path) {
  silenceLibraryLog();
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return failed("is a folder");
  if (std::filesystem::file_size(path, error) == 0 && !error) return failed("the file is empty");

  AVFormatContext* rawFormat = nullptr;
  if (const int opened =
          avformat_open_input(&rawFormat, platform::pathToText(path).c_str(), nullptr, nullptr);
      opened < 0) {
    // The demuxers answer "invalid argument" for data they cannot make sense of.
    const bool unreadable = opened == AVERROR(EINVAL) || opened == AVERROR_INVALIDDATA;
    return failed(unreadable ? kNotSound : errorText(opened));
  }
  const std::unique_ptr<AVFormatContext, FormatCloser> format(rawFormat);
  if (const int found = avformat_find_stream_info(format.get(), nullptr); found < 0) {
    return failed(errorText(found));
  }
  const AVCodec* decoder = nullptr;
  const int stream = av_find_best_stream(format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
  if (stream < 0 || decoder == nullptr) return failed("no audio in it");
  // A probe that guessed a format from a few stray bytes finds no rate or channels.
  const AVCodecParameters& parameters = *format->streams[stream]->codecpar;
  if (parameters.sample_rate <= 0 || parameters.ch_layout.nb_channels <= 0) {
    return failed(kNotSound);
  }

  const std::unique_ptr<AVCodecContext, CodecFreer> codec(avcodec_alloc_context3(decoder));
  if (!codec || avcodec_parameters_to_context(codec.get(), &parameters) < 0) {
    return failed("cannot set up its decoder");
  }
  if (const int opened = avcodec_open2(codec.get(), decoder, nullptr); opened < 0) {
    return failed(errorText(opened));
  }

  const std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
  const std::unique_ptr<AVFrame, FrameFreer> frame(av_frame_alloc());
  if (!packet || !frame) return failed("out of memory");
  MonoResampler resampler;
  for (;;) {
    const int read = av_read_frame(format.get(), packet.get());
    if (read == AVERROR_EOF) break;
    if (read < 0) return failed(errorText(read));
    if (packet->stream_index == stream) {
      const int sent = avcodec_send_packet(codec.get(), packet.get());
      av_packet_unref(packet.get());
      if (sent < 0) return failed("damaged audio data (" + errorText(sent) + ")");
      if (std::string reason = drainFrames(*codec, *frame, resampler); !reason.empty()) {
        return failed(reason);
      }
    } else {
      av_packet_unref(packet.get());
    }
  }
  avcodec_send_packet(codec.get(), nullptr);
  if (std::string reason = drainFrames(*codec, *frame, resampler); !reason.empty()) {
    return failed(reason);
  }
  if (!resampler.finish()) return failed("resampling failed");
  if (resampler.sound().empty()) return failed("no sound in it");
  return {true, {}, std::move(resampler.sound())};
}

MonoSound resampleMono16(std::span<const std::int16_t> samples, int sampleRate) {
  MonoResampler resampler;
  const AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
  if (!resampler.start(mono, AV_SAMPLE_FMT_S16, sampleRate)) return {};
  const auto* data = reinterpret_cast<const std::uint8_t*>(samples.data());
  // swr_convert takes the planes as a non-const array of read-only planes.
  if (!resampler.push(&data, static_cast<int>(samples.size())) || !resampler.finish()) return {};
  return std::move(resampler.sound());
}

platform::Bytes finishRecording(MonoSound sound, const ConversionOptions& options) {
  float peak = 0.0F;
  for (const float x : sound) peak = std::max(peak, std::abs(x));

  if (!options.keepSilence && peak > 0.0F) {
    // The threshold is the output's: levelled sound has its peak at kPeakDbfs.
    const double belowPeak = std::pow(10.0, (kSilenceDbfs - kPeakDbfs) / 20.0);
    const double threshold =
        options.keepLevel ? std::pow(10.0, kSilenceDbfs / 20.0) : peak * belowPeak;
    const auto loud = [threshold](float x) { return std::abs(x) >= threshold; };
    const auto first = std::find_if(sound.begin(), sound.end(), loud);
    if (first != sound.end()) {
      const auto last = std::find_if(sound.rbegin(), sound.rend(), loud).base();
      const std::size_t begin =
          static_cast<std::size_t>(first - sound.begin()) -
          std::min<std::size_t>(kTrimMarginSamples,
                                static_cast<std::size_t>(first - sound.begin()));
      const std::size_t end = std::min(
          sound.size(), static_cast<std::size_t>(last - sound.begin()) + kTrimMarginSamples);
      sound = MonoSound(sound.begin() + static_cast<std::ptrdiff_t>(begin),
                        sound.begin() + static_cast<std::ptrdiff_t>(end));
    }
  }
  const float gain = !options.keepLevel && peak > 0.0F
                         ? static_cast<float>(std::pow(10.0, kPeakDbfs / 20.0)) / peak
                         : 1.0F;

  // Triangular dither of one step either way: the error of quantising is noise, not distortion.
  std::minstd_rand random(12345);
  std::uniform_real_distribution<float> uniform(0.0F, 1.0F);
  platform::Bytes samples;
  samples.reserve(sound.size() + 1);
  for (const float x : sound) {
    const float dither = uniform(random) - uniform(random);
    const float level = 128.0F + x * gain * 128.0F + dither;
    samples.push_back(static_cast<std::uint8_t>(std::clamp(std::lround(level), 0L, 255L)));
  }
  // RIFF chunks are of even length; one sample of silence spares the pad byte.
  if (samples.size() % 2 != 0) samples.push_back(128);
  return samples;
}

}  // namespace velk_mur
