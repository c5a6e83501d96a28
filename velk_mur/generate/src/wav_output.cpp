#include "velk_mur/generate/wav_output.h"

#include "velk_mur/generate/wav_format.h"

namespace velk_mur {

platform::Bytes robotWavFile(std::span<const std::uint8_t> samples) {
  const auto length = static_cast<std::uint32_t>(samples.size());
  platform::Bytes file;
  file.reserve(kShortDataOffset + samples.size());
  platform::putTag(file, kRiffTag);
  platform::putLe32(file, kRiffSizeBeforeSamples + length);
  platform::putTag(file, kWaveFormTag);
  platform::putTag(file, kFormatChunkTag);
  platform::putLe32(file, kShortFmtSize);
  platform::putLe16(file, kPcmFormatTag);
  platform::putLe16(file, kMonoChannels);
  platform::putLe32(file, kRobotSampleRate);
  platform::putLe32(file, kRobotSampleRate * kBlockAlignment);  // bytes per second
  platform::putLe16(file, kBlockAlignment);
  platform::putLe16(file, kBitsPerSample);
  platform::putTag(file, kDataTag);
  platform::putLe32(file, length);
  file.insert(file.end(), samples.begin(), samples.end());
  return file;
}

}  // namespace velk_mur
