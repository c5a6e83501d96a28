// The save over a folder of three-second recordings beside writing its archives' bytes plainly.
// VELK_STICK_BENCH_RECORDINGS sets the number of recordings (default 1001).
#include <sys/resource.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "bench/support/paired_ratio.h"
#include "platform/byte_order.h"
#include "platform/messenger.h"
#include "tests/support/gen_wav_maker.h"
#include "velk_mur/stick/save_to_stick.h"

namespace fs = std::filesystem;

namespace {

constexpr int kDefaultRecordings = 1001;
constexpr std::size_t kSamplesPerRecording = 3 * 8000;
constexpr std::size_t kMotionFileSize = 2400;
constexpr std::size_t kLedFileSize = 900;

int recordingCount() {
  const char* text = std::getenv("VELK_STICK_BENCH_RECORDINGS");
  if (text == nullptr) return kDefaultRecordings;
  const int count = std::atoi(text);
  return count > 0 ? count : kDefaultRecordings;
}

class SilentMessenger : public platform::Messenger {
 public:
  void show(std::string_view text, bool) override { lastMessage = std::string(text); }
  bool ask(std::string_view) override { return false; }
  std::string lastMessage;
};

void writeBytes(const fs::path& path, const platform::Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

platform::Bytes wavBytes(int seed) {
  platform::Bytes samples(kSamplesPerRecording);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    samples[i] =
        static_cast<std::uint8_t>(128 + ((i * 13 + static_cast<std::size_t>(seed)) % 64) - 32);
  }
  return testing_support::makeWav(samples);
}

platform::Bytes filler(std::size_t size, int seed) {
  platform::Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<std::uint8_t>(i * 7 + static_cast<std::size_t>(seed));
  return bytes;
}

// The audio folder, an empty stick and a copy target, built once for every benchmark.
struct BenchTree {
  BenchTree() {
    root = fs::temp_directory_path() / ("velk-stick-bench-" + std::to_string(::getpid()));
    audio = root / "voices";
    stick = root / "stick";
    copyTarget = root / "copy";
    fs::create_directories(audio / "GEN");
    fs::create_directories(stick / "OPEN-R/APP/PC/AMS");
    fs::create_directories(stick / "OPEN-R/MW/CONF");
    fs::create_directories(stick / "OPEN-R/MW/DATA/P");
    fs::create_directories(copyTarget);
    writeBytes(stick / "OPEN-R/APP/PC/AMS/ACTION.CFG", {});
    platform::Bytes mwc{'M', 'W', 'C', 'M'};
    platform::putLe32(mwc, 1);
    platform::putLe32(mwc, 0);
    platform::putLe32(mwc, 0);
    writeBytes(stick / "OPEN-R/MW/CONF/ERS-7.MWC", mwc);
    count = recordingCount();
    for (int i = 0; i < count; ++i) {
      const std::string name = "rec" + std::to_string(i);
      inputs.push_back(audio / (name + ".wav"));
      inputs.push_back(audio / "GEN" / (name + "_h7.mtn"));
      inputs.push_back(audio / "GEN" / (name + "_m.mtn"));
      inputs.push_back(audio / "GEN" / (name + ".led"));
      writeBytes(inputs[inputs.size() - 4], wavBytes(i));
      writeBytes(inputs[inputs.size() - 3], filler(kMotionFileSize, i));
      writeBytes(inputs[inputs.size() - 2], filler(kMotionFileSize, i + 1));
      writeBytes(inputs[inputs.size() - 1], filler(kLedFileSize, i + 2));
    }
  }
  ~BenchTree() {
    std::error_code error;
    fs::remove_all(root, error);
  }

  fs::path root, audio, stick, copyTarget;
  std::vector<fs::path> inputs;
  int count = 0;
};

BenchTree& tree() {
  static BenchTree instance;
  return instance;
}

double peakRssKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss);
}

// The plain baseline: every input's bytes appended to one of three files, as `cat` would
// write the three archives, with one stdio stream each.
double catIntoThreeFiles(const BenchTree& t) {
  const auto start = std::chrono::steady_clock::now();
  std::FILE* outputs[3] = {std::fopen((t.copyTarget / "AUDIO").c_str(), "wb"),
                           std::fopen((t.copyTarget / "MOTION").c_str(), "wb"),
                           std::fopen((t.copyTarget / "LED").c_str(), "wb")};
  std::vector<char> buffer(1 << 16);
  for (std::size_t i = 0; i < t.inputs.size(); ++i) {
    std::FILE* out = outputs[i % 4 == 0 ? 0 : i % 4 == 3 ? 2 : 1];
    std::FILE* in = std::fopen(t.inputs[i].c_str(), "rb");
    if (in == nullptr || out == nullptr) std::abort();
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), in)) > 0)
      std::fwrite(buffer.data(), 1, got, out);
    std::fclose(in);
  }
  for (std::FILE* out : outputs) std::fclose(out);
  return bench_support::secondsSince(start);
}

double saveOnce(BenchTree& t) {
  SilentMessenger messenger;
  const auto start = std::chrono::steady_clock::now();
  if (!velk_mur::saveToStick(t.audio, t.stick, messenger)) {
    std::fprintf(stderr, "save failed: %s\n", messenger.lastMessage.c_str());
    std::abort();
  }
  return bench_support::secondsSince(start);
}

void BM_SaveToStick(benchmark::State& state) {
  BenchTree& t = tree();
  for (auto _ : state) saveOnce(t);
  state.counters["recordings"] = t.count;
  // Peak memory must not grow with the number of recordings: compare runs of different sizes.
  state.counters["peak_rss_kb"] = peakRssKilobytes();
}

BENCHMARK(BM_SaveToStick)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  BenchTree& t = tree();  // built before any timing
  bench_support::reportPairedRatio(
      "save to stick", "the archives' bytes written with a plain copy", 1.5,
      [&] { return saveOnce(t); }, [&] { return catIntoThreeFiles(t); });
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
