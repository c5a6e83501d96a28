// The recording reader: header checks, then the sample loader on whatever header it accepts.
#include <cstdint>
#include <cstdlib>

#include "fuzz/fuzz_support.h"
#include "velk_mur/generate/wav_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::filesystem::path path = fuzz_support::scratchFolder("fuzz_wav_input") / "clip.wav";
  if (!fuzz_support::writeInput(path, data, size)) return 0;

  velk_mur::WavHeaderInfo info;
  const velk_mur::WavCheck check = velk_mur::readWavHeader(path, info);
  FUZZ_FAIL_IF(check == velk_mur::WavCheck::Unreadable);  // the file was just written
  if (check != velk_mur::WavCheck::Good) return 0;
  FUZZ_FAIL_IF(info.dataOffset != 44 && info.dataOffset != 46);

  const velk_mur::ClipLoadResult loaded = velk_mur::loadClipSamples(path, info);
  if (loaded.status == velk_mur::ClipLoadStatus::Loaded) {
    // Exactly the announced bytes, taken from the file behind the header.
    FUZZ_FAIL_IF(loaded.clip.size() != info.dataLength);
    FUZZ_FAIL_IF(std::size_t{info.dataOffset} + info.dataLength > size);
    for (std::size_t i = 0; i < loaded.clip.size(); ++i) {
      FUZZ_FAIL_IF(loaded.clip.samples[i] != data[info.dataOffset + i]);
    }
  } else {
    // A length the file holds must load.
    FUZZ_FAIL_IF(info.dataLength != 0 && std::size_t{info.dataOffset} + info.dataLength <= size);
  }
  return 0;
}
