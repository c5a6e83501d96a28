#include "velk_mur/generate/wav_input.h"

#include <algorithm>
#include <optional>

#include "platform/files.h"

namespace velk_mur {

namespace {

// Checks the first bytes of a file (all of them when it holds fewer than 46). `info` is filled
// once the layout tests pass.
WavCheck checkWavHeader(std::span<const std::uint8_t> bytes, WavHeaderInfo& info) {
  if (bytes.size() < kWavHeaderBytes) return WavCheck::WrongFormat;
  using platform::hasTag;
  if (!hasTag(bytes, 0, kRiffTag) || !hasTag(bytes, 8, kWaveFormTag)) return WavCheck::WrongFormat;
  if (!hasTag(bytes, 12, kFormatChunkTag)) return WavCheck::ExtraInformation;

  std::uint32_t dataOffset = 0;
  const std::uint8_t fmtSize = bytes[kFmtSizeOffset];
  if (fmtSize == kShortFmtSize) {
    // After 16 the other three size bytes must be zero; after 18 they are never looked at.
    if (bytes[17] != 0 || bytes[18] != 0 || bytes[19] != 0 ||
        !hasTag(bytes, kShortDataOffset - 8, kDataTag)) {
      return WavCheck::ExtraInformation;
    }
    dataOffset = kShortDataOffset;
  } else if (fmtSize == kLongFmtSize) {
    if (!hasTag(bytes, kLongDataOffset - 8, kDataTag)) return WavCheck::ExtraInformation;
    dataOffset = kLongDataOffset;
  } else {
    return WavCheck::ExtraInformation;
  }

  std::copy_n(bytes.begin() + kFormatBlockOffset, info.formatBlock.size(),
              info.formatBlock.begin());
  info.dataOffset = dataOffset;
  info.dataLength = platform::getLe32(bytes.data() + dataOffset - 4);

  const std::uint8_t* block = info.formatBlock.data();
  const bool pcm8kMono8 = platform::getLe16(block) == kPcmFormatTag &&
                          platform::getLe16(block + 2) == kMonoChannels &&
                          platform::getLe32(block + 4) == std::uint32_t{kRobotSampleRate} &&
                          platform::getLe16(block + 14) == kBitsPerSample;
  return pcm8kMono8 ? WavCheck::Good : WavCheck::WrongFormat;
}

}  // namespace

WavCheck readWavHeader(const std::filesystem::path& path, WavHeaderInfo& info) {
  std::optional<platform::InputFile> file = platform::InputFile::open(path);
  if (!file) return WavCheck::Unreadable;
  std::array<std::uint8_t, kWavHeaderBytes> header{};
  const std::size_t got = file->readSome(header);
  file->close();
  return checkWavHeader(std::span<const std::uint8_t>(header.data(), got), info);
}

bool isValidClipName(std::string_view name) {
  const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  if (name.empty() || !isLetter(name.front())) return false;
  return std::all_of(name.begin(), name.end(),
                     [&](char c) { return isLetter(c) || isDigit(c) || c == '_'; });
}

ClipLoadResult loadClipSamples(const std::filesystem::path& path, const WavHeaderInfo& info) {
  ClipLoadResult result;
  std::optional<platform::InputFile> file = platform::InputFile::open(path);
  if (!file) {
    result.status = ClipLoadStatus::Missing;
    return result;
  }
  result.status = ClipLoadStatus::ReadError;
  const std::optional<std::uint64_t> fileSize = file->size();
  const std::uint64_t end = std::uint64_t{info.dataOffset} + info.dataLength;
  // A read of zero bytes counts as failed, and a length the file cannot deliver is found
  // here, before the buffer for it is allocated.
  if (info.dataLength == 0 || !fileSize || end > *fileSize) return result;
  if (!file->seek(info.dataOffset)) return result;
  platform::UninitializedBytes samples(info.dataLength);
  if (!file->read(samples)) return result;
  file->close();
  result.status = ClipLoadStatus::Loaded;
  result.clip.samples = std::move(samples);
  return result;
}

}  // namespace velk_mur
