// What reading the saved files back from the stick costs beside the save itself. Give it a
// stick's root folder (a 16 MB FAT16 image mounted with fusefat, say) holding OPEN-R/MW/CONF
// and ERS-7.MWC; it saves VELK_READBACK_RECORDINGS three-second recordings (default 60, some
// 3 MB of sound) there in each round and times reading the five files back from the device.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/messenger.h"
#include "tests/support/gen_wav_maker.h"
#include "tests/support/temp_tree.h"
#include "velk_mur/generate/folder_passes.h"
#include "velk_mur/stick/save_to_stick.h"

namespace fs = std::filesystem;

namespace {

class SilentMessenger : public platform::Messenger {
 public:
  void show(std::string_view, bool) override {}
  bool ask(std::string_view) override { return false; }
};

double seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s STICK_ROOT\n", argv[0]);
    return 2;
  }
  const fs::path stick = argv[1];
  const char* countText = std::getenv("VELK_READBACK_RECORDINGS");
  const int count = countText != nullptr ? std::atoi(countText) : 60;
  testing_support::TempDir dir;
  const fs::path voices = dir / "voices";
  fs::create_directories(voices / "GEN");
  for (int i = 0; i < count; ++i) {
    platform::Bytes samples(3 * 8000);
    for (std::size_t k = 0; k < samples.size(); ++k) {
      samples[k] = static_cast<std::uint8_t>(128 + ((k * (7 + i)) % 64) - 32);
    }
    testing_support::writeWav(voices / ("r" + std::to_string(1000 + i) + ".wav"), samples);
  }
  SilentMessenger messenger;
  if (!velk_mur::generateMissingFiles(voices, messenger).ok) return 1;
  const char* files[] = {"OPEN-R/MW/DATA/P/AUDIO.ODA", "OPEN-R/MW/DATA/P/MOTION.ODA",
                         "OPEN-R/MW/DATA/P/LED.ODA", "OPEN-R/APP/PC/AMS/ACTION.CFG",
                         "OPEN-R/MW/CONF/ERS-7.MWC"};
  std::vector<double> ratios;
  std::uint64_t bytes = 0;
  for (int round = 0; round < 5; ++round) {
    const auto start = std::chrono::steady_clock::now();
    if (!velk_mur::saveToStick(voices, stick, messenger)) return 1;
    const auto saved = std::chrono::steady_clock::now();
    bytes = 0;
    for (const char* file : files) {
      const auto sum = platform::fileChecksum(stick / file, true);
      if (!sum) return 1;
      bytes += sum->size;
    }
    const auto readBack = std::chrono::steady_clock::now();
    // The save read its files back once already; this is that read alone, timed apart.
    const double share = seconds(readBack - saved) / seconds(saved - start);
    ratios.push_back(share);
    std::printf("round %d: save %.3f s (read-back inside it), read-back alone %.3f s: %.1f %%\n",
                round + 1, seconds(saved - start), seconds(readBack - saved), 100 * share);
  }
  std::sort(ratios.begin(), ratios.end());
  std::printf("%llu bytes read back; median read-back cost %.1f %% of the save\n",
              static_cast<unsigned long long>(bytes), 100 * ratios[ratios.size() / 2]);
  return 0;
}
