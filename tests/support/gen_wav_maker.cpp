#include "tests/support/gen_wav_maker.h"

#include "tests/support/temp_tree.h"

namespace testing_support {

namespace {

void putTag(platform::Bytes& out, std::string_view tag) {
  out.insert(out.end(), tag.begin(), tag.end());
}

}  // namespace

platform::Bytes makeChunk(std::string_view id, std::uint32_t size) {
  platform::Bytes chunk;
  putTag(chunk, id);
  platform::putLe32(chunk, size);
  chunk.resize(chunk.size() + size, 0);
  return chunk;
}

platform::Bytes makeWav(const platform::Bytes& samples, const WavOptions& options) {
  platform::Bytes format;
  platform::putLe16(format, options.formatTag);
  platform::putLe16(format, options.channels);
  platform::putLe32(format, options.sampleRate);
  const std::uint32_t blockAlign = options.channels * ((options.bitsPerSample + 7u) / 8u);
  platform::putLe32(format, options.sampleRate * blockAlign);
  platform::putLe16(format, static_cast<std::uint16_t>(blockAlign));
  platform::putLe16(format, options.bitsPerSample);
  if (options.fmtSize == 18) platform::putLe16(format, 0);  // extension size

  platform::Bytes body;
  putTag(body, "WAVE");
  putTag(body, "fmt ");
  platform::putLe32(body, options.fmtSize);
  body.insert(body.end(), format.begin(), format.end());
  body.insert(body.end(), options.extraChunk.begin(), options.extraChunk.end());
  putTag(body, "data");
  platform::putLe32(body, options.dataLength.value_or(static_cast<std::uint32_t>(samples.size())));
  body.insert(body.end(), samples.begin(), samples.end());

  platform::Bytes file;
  putTag(file, "RIFF");
  platform::putLe32(file, static_cast<std::uint32_t>(body.size()));
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

void writeWav(const std::filesystem::path& path, const platform::Bytes& samples,
              const WavOptions& options) {
  writeFile(path, makeWav(samples, options));
}

platform::Bytes silence(std::size_t count) {
  return platform::Bytes(count, 128);
}

platform::Bytes halfSilentHalfLoud() {
  platform::Bytes samples = silence(4000);
  for (int i = 0; i < 4000; ++i) samples.push_back(i % 2 == 0 ? 0 : 255);
  return samples;
}

}  // namespace testing_support
