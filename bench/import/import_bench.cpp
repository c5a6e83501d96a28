// Importing MP3 files (30 s, 44.1 kHz, stereo) beside the ffmpeg program converting the same
// files to 8 kHz 8-bit mono, in one run: prints both times, their ratio (target at most 1.5),
// and the peak memory after a tenth of the files and after all of them (target: flat).
// VELK_IMPORT_BENCH_FILES sets the number of files (default 100).
#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/recording_messenger.h"
#include "tests/support/temp_tree.h"
#include "tests/velk_mur/import/audio_fixtures.h"
#include "velk_mur/import/recording_import.h"

namespace fs = std::filesystem;

namespace {

constexpr double kSeconds = 30.0;

double peakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// Speech-like: a few partials under a syllable-rate envelope, different in each file.
testing_support::Signal speechLike(int seed) {
  return [seed](double t, int channel) {
    const double envelope = 0.5 + 0.5 * std::sin(2 * 3.14159265 * (3.0 + seed % 5) * t);
    double sum = 0;
    for (int k = 1; k <= 4; ++k) sum += std::sin(2 * 3.14159265 * (140.0 + seed) * k * t) / k;
    return 0.3 * envelope * sum * (channel == 0 ? 1.0 : 0.9);
  };
}

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
  const char* configured = std::getenv("VELK_IMPORT_BENCH_FILES");
  const int count = configured != nullptr ? std::max(1, std::atoi(configured)) : 100;
  if (std::system("ffmpeg -version > /dev/null 2>&1") != 0) {
    std::printf("import_bench: the ffmpeg program is needed for the comparison\n");
    return 1;
  }
  testing_support::TempDir dir;
  fs::create_directories(dir / "mp3");
  fs::create_directories(dir / "ours");
  fs::create_directories(dir / "ffmpeg");
  const testing_support::AudioFormat mp3{"mp3", "mp3", "libmp3lame", "mp3", 44100, 2};
  std::vector<fs::path> files;
  std::printf("encoding %d MP3 files of %.0f s...\n", count, kSeconds);
  for (int i = 0; i < count; ++i) {
    files.push_back(dir / "mp3" / ("voice" + std::to_string(i) + ".mp3"));
    if (!testing_support::writeAudioFile(files.back(), mp3, speechLike(i), kSeconds)) return 1;
  }

  platform::RecordingMessenger messenger;
  double peakAfterTenth = 0;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < count; ++i) {
    if (!velk_mur::importAudioFile(files[static_cast<std::size_t>(i)], dir / "ours", std::nullopt,
                                   {}, messenger)) {
      std::printf("import failed: %s\n", messenger.texts().back().c_str());
      return 1;
    }
    if (i + 1 == std::max(1, count / 10)) peakAfterTenth = peakMegabytes();
  }
  const double ours = secondsSince(start);
  const double peakAfterAll = peakMegabytes();

  start = std::chrono::steady_clock::now();
  for (const fs::path& file : files) {
    const fs::path out = dir / "ffmpeg" / (file.stem().string() + ".wav");
    const std::string command = "ffmpeg -nostdin -loglevel error -y -i '" + file.string() +
                                "' -ar 8000 -ac 1 -c:a pcm_u8 '" + out.string() + "'";
    if (std::system(command.c_str()) != 0) {
      std::printf("ffmpeg failed on %s\n", file.string().c_str());
      return 1;
    }
  }
  const double theirs = secondsSince(start);

  std::printf("import:  %d files in %.2f s\n", count, ours);
  std::printf("ffmpeg:  %d files in %.2f s\n", count, theirs);
  std::printf("ratio:   %.2f (target at most 1.5)\n", ours / theirs);
  std::printf("peak memory: %.1f MB after %d files, %.1f MB after %d (target: flat)\n",
              peakAfterTenth, std::max(1, count / 10), peakAfterAll, count);
  return 0;
}
