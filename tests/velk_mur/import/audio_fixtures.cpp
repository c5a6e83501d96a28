#include "tests/velk_mur/import/audio_fixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

namespace testing_support {

namespace {

struct Encoding {
  AVFormatContext* format = nullptr;
  AVCodecContext* codec = nullptr;
  SwrContext* swr = nullptr;
  AVFrame* frame = av_frame_alloc();
  AVPacket* packet = av_packet_alloc();
  ~Encoding() {
    av_packet_free(&packet);
    av_frame_free(&frame);
    swr_free(&swr);
    avcodec_free_context(&codec);
    if (format != nullptr) {
      if (format->pb != nullptr) avio_closep(&format->pb);
      avformat_free_context(format);
    }
  }

  bool drain(AVStream* stream) {
    for (;;) {
      const int got = avcodec_receive_packet(codec, packet);
      if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return true;
      if (got < 0) return false;
      av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
      packet->stream_index = stream->index;
      if (av_interleaved_write_frame(format, packet) < 0) return false;
    }
  }
};

}  // namespace

Signal tone(double frequency, double amplitude) {
  return [=](double t, int) { return amplitude * std::sin(2 * std::numbers::pi * frequency * t); };
}

bool writeAudioFile(const std::filesystem::path& path, const AudioFormat& format,
                    const Signal& signal, double seconds) {
  const AVCodec* encoder = avcodec_find_encoder_by_name(format.encoder);
  if (encoder == nullptr) {
    ADD_FAILURE() << "this libavcodec has no encoder " << format.encoder;
    return false;
  }
  Encoding e;
  if (avformat_alloc_output_context2(&e.format, nullptr, format.muxer, path.c_str()) < 0) {
    return false;
  }
  AVStream* stream = avformat_new_stream(e.format, nullptr);
  e.codec = avcodec_alloc_context3(encoder);
  e.codec->sample_fmt =
      encoder->sample_fmts != nullptr ? encoder->sample_fmts[0] : AV_SAMPLE_FMT_S16;
  e.codec->sample_rate = format.sampleRate;
  av_channel_layout_default(&e.codec->ch_layout, format.channels);
  e.codec->bit_rate = 128000;
  e.codec->time_base = {1, format.sampleRate};
  e.codec->strict_std_compliance = FF_COMPLIANCE_EXPERIMENTAL;
  if (e.format->oformat->flags & AVFMT_GLOBALHEADER) e.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  stream->time_base = e.codec->time_base;
  if (avcodec_open2(e.codec, encoder, nullptr) < 0 ||
      avcodec_parameters_from_context(stream->codecpar, e.codec) < 0 ||
      avio_open(&e.format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0 ||
      avformat_write_header(e.format, nullptr) < 0 ||
      swr_alloc_set_opts2(&e.swr, &e.codec->ch_layout, e.codec->sample_fmt, format.sampleRate,
                          &e.codec->ch_layout, AV_SAMPLE_FMT_DBL, format.sampleRate, 0,
                          nullptr) < 0 ||
      swr_init(e.swr) < 0) {
    return false;
  }
  const int frameSize = e.codec->frame_size > 0 ? e.codec->frame_size : 1024;
  auto total = static_cast<std::int64_t>(seconds * format.sampleRate);
  // Encoders of fixed frames take no short last frame: the signal goes on to fill it.
  if ((encoder->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE) == 0) {
    total = (total + frameSize - 1) / frameSize * frameSize;
  }
  std::vector<double> interleaved;
  for (std::int64_t start = 0; start < total; start += frameSize) {
    const int count = static_cast<int>(std::min<std::int64_t>(frameSize, total - start));
    interleaved.resize(static_cast<std::size_t>(count) * format.channels);
    for (int i = 0; i < count; ++i) {
      const double t = static_cast<double>(start + i) / format.sampleRate;
      for (int c = 0; c < format.channels; ++c) {
        interleaved[static_cast<std::size_t>(i * format.channels + c)] = signal(t, c);
      }
    }
    av_frame_unref(e.frame);
    e.frame->format = e.codec->sample_fmt;
    e.frame->sample_rate = format.sampleRate;
    av_channel_layout_copy(&e.frame->ch_layout, &e.codec->ch_layout);
    e.frame->nb_samples = count;
    if (av_frame_get_buffer(e.frame, 0) < 0) return false;
    const auto* in = reinterpret_cast<const std::uint8_t*>(interleaved.data());
    if (swr_convert(e.swr, e.frame->data, count, &in, count) != count) return false;
    e.frame->pts = start;
    if (avcodec_send_frame(e.codec, e.frame) < 0 || !e.drain(stream)) return false;
  }
  if (avcodec_send_frame(e.codec, nullptr) < 0 || !e.drain(stream)) return false;
  return av_write_trailer(e.format) >= 0;
}

}  // namespace testing_support
