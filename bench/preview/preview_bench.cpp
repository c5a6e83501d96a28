// The preview of an 80-minute recording against the generation of its files, in one run:
// both read the same recording, one writes the motions and the LED pattern, the other reads
// them back and draws the picture. Target: the preview within 2x the generation.
#include <QGuiApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "bench/support/paired_ratio.h"
#include "platform/messenger.h"
#include "tests/support/gen_wav_maker.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/temp_tree.h"
#include "velk_mur/generate/folder_passes.h"
#include "velk_mur/preview/preview_picture.h"
#include "velk_mur/preview/recording_preview.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kSamples = std::size_t{80} * 60 * 8000;

platform::Bytes speechLikeSamples(std::size_t count) {
  std::mt19937 random(11);
  platform::Bytes samples(count);
  for (std::size_t i = 0; i < count; ++i) {
    const int envelope = (i / 4000) % 2 == 0 ? 100 : 10;  // loud and quiet half seconds
    samples[i] =
        static_cast<std::uint8_t>(128 + static_cast<int>(random() % (2 * envelope + 1)) - envelope);
  }
  return samples;
}

using bench_support::secondsSince;

double generate(const fs::path& folder) {
  fs::remove_all(folder / "GEN");
  fs::create_directory(folder / "GEN");
  platform::RecordingMessenger messenger;
  const auto start = std::chrono::steady_clock::now();
  if (!velk_mur::generateMissingFiles(folder, messenger).ok)
    std::fprintf(stderr, "generate failed\n");
  return secondsSince(start);
}

double preview(const fs::path& folder) {
  const auto start = std::chrono::steady_clock::now();
  const velk_mur::PreviewLoad load = velk_mur::loadRecordingPreview(folder, "talk");
  const velk_mur::PictureSaveResult saved =
      load.preview ? velk_mur::savePreviewPicture(*load.preview, folder / "talk.png")
                   : velk_mur::PictureSaveResult{};
  if (!saved.saved) {
    std::fprintf(stderr, "preview failed: %s%s\n", load.problem.c_str(), saved.problem.c_str());
  }
  return secondsSince(start);
}

}  // namespace

int main(int argc, char** argv) {
  char platform[] = "-platform";
  char offscreen[] = "offscreen";
  char* arguments[] = {argv[0], platform, offscreen, nullptr};
  int count = 3;
  QGuiApplication application(count, arguments);
  (void)argc;

  testing_support::TempDir folder;
  testing_support::writeWav(folder / "talk.wav", speechLikeSamples(kSamples));
  generate(folder.path());  // the preview reads what generate wrote
  std::printf("80-minute recording:\n");
  bench_support::reportPairedRatio(
      "preview", "generate", 2.0, [&] { return preview(folder.path()); },
      [&] { return generate(folder.path()); }, 3);
  return 0;
}
