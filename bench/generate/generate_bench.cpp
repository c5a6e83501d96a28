// (a) The mouth and LED analyses over a 5-second recording, without file output; target at
//     least 100 million samples per second for the two together.
// (b) The generation pass over a folder of three-second recordings (VELK_GEN_BENCH_FOLDER_SIZE,
//     default 1001) beside a plain copy that reads the same recordings and writes as many
//     files and bytes as the pass; target at most 1.5x.
// (c) The generation pass over one 80-minute recording beside a plain read of it; target at
//     most 4x.
// Each ratio pairs a measurement with its own baseline taken right after it, and the median of
// the rounds' ratios is reported, so that a busy machine slows both sides of a pair alike.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "bench/support/paired_ratio.h"
#include "platform/byte_order.h"
#include "tests/support/gen_wav_maker.h"
#include "tests/support/motion_values.h"
#include "tests/support/recording_messenger.h"
#include "velk_mur/generate/folder_passes.h"
#include "velk_mur/generate/src/head_motion.h"
#include "velk_mur/generate/src/led_pattern.h"
#include "velk_mur/generate/src/mouth_motion.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kSampleRate = 8000;

platform::Bytes speechLikeSamples(std::size_t count, unsigned seed) {
  std::mt19937 random(seed);
  platform::Bytes samples(count);
  for (std::size_t i = 0; i < count; ++i) {
    // Bursts of loudness every half second, noise in between.
    const int envelope = (i / 4000) % 2 == 0 ? 100 : 10;
    const int value = 128 + static_cast<int>(random() % (2 * envelope + 1)) - envelope;
    samples[i] = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
  }
  return samples;
}

void BM_MouthAndLedAnalysis(benchmark::State& state) {
  const platform::Bytes samples = speechLikeSamples(5 * kSampleRate, 7);
  for (auto _ : state) {
    auto mouth = testing_support::computeMouthValues(samples);
    auto masks = velk_mur::computeLedMasks(samples);
    benchmark::DoNotOptimize(mouth.data());
    benchmark::DoNotOptimize(masks.data());
  }
  state.counters["samples_per_second"] = benchmark::Counter(
      static_cast<double>(samples.size()) * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MouthAndLedAnalysis);

void BM_MouthAnalysis(benchmark::State& state) {
  const platform::Bytes samples = speechLikeSamples(5 * kSampleRate, 7);
  for (auto _ : state)
    benchmark::DoNotOptimize(testing_support::computeMouthValues(samples).data());
  state.counters["samples_per_second"] = benchmark::Counter(
      static_cast<double>(samples.size()) * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MouthAnalysis);

void BM_LedAnalysis(benchmark::State& state) {
  const platform::Bytes samples = speechLikeSamples(5 * kSampleRate, 7);
  for (auto _ : state) benchmark::DoNotOptimize(velk_mur::computeLedMasks(samples).data());
  state.counters["samples_per_second"] = benchmark::Counter(
      static_cast<double>(samples.size()) * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LedAnalysis);

void BM_HeadScript(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(testing_support::computeHeadValues(5 * kSampleRate).data());
}
BENCHMARK(BM_HeadScript);

// ---- (b) the generation pass against a plain copy ----

int folderSize() {
  const char* text = std::getenv("VELK_GEN_BENCH_FOLDER_SIZE");
  const int size = text != nullptr ? std::atoi(text) : 1001;
  return size > 0 ? size : 1001;
}

void writeBytes(const fs::path& path, const platform::Bytes& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

template <typename Buffer = platform::Bytes>
Buffer readBytes(const fs::path& path) {
  Buffer bytes;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return bytes;
  std::fseek(file, 0, SEEK_END);
  bytes.resize(static_cast<std::size_t>(std::ftell(file)));
  std::fseek(file, 0, SEEK_SET);
  if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) bytes.clear();
  std::fclose(file);
  return bytes;
}

struct Folder {
  fs::path root;
  std::vector<std::string> names;
  std::vector<std::uintmax_t> generatedSizes;  // per name: head, mouth, LED
};

Folder makeFolder(int count) {
  Folder folder;
  folder.root = fs::temp_directory_path() / ("velk-gen-bench-" + std::to_string(::getpid()));
  fs::remove_all(folder.root);
  fs::create_directories(folder.root / "GEN");
  for (int i = 0; i < count; ++i) {
    const std::string name = "clip" + std::to_string(i);
    folder.names.push_back(name);
    writeBytes(folder.root / (name + ".wav"), testing_support::makeWav(speechLikeSamples(
                                                  3 * kSampleRate, static_cast<unsigned>(i))));
  }
  return folder;
}

using bench_support::secondsSince;

// Reads each recording and writes three files of the sizes the pass wrote, with plain stdio.
double plainCopy(const Folder& folder) {
  const fs::path out = folder.root / "COPY";
  fs::remove_all(out);
  fs::create_directories(out);
  const auto start = std::chrono::steady_clock::now();
  for (std::size_t i = 0; i < folder.names.size(); ++i) {
    const platform::Bytes wav = readBytes(folder.root / (folder.names[i] + ".wav"));
    const char* suffixes[] = {"_h7.mtn", "_m.mtn", ".led"};
    for (int k = 0; k < 3; ++k) {
      const auto size =
          static_cast<std::size_t>(folder.generatedSizes[3 * i + static_cast<std::size_t>(k)]);
      writeBytes(out / (folder.names[i] + suffixes[k]),
                 platform::Bytes(wav.begin(), wav.begin() + static_cast<std::ptrdiff_t>(
                                                                std::min(size, wav.size()))));
    }
  }
  return secondsSince(start);
}

double generationPass(Folder& folder) {
  fs::remove_all(folder.root / "GEN");
  fs::create_directories(folder.root / "GEN");
  platform::RecordingMessenger messenger;
  const auto start = std::chrono::steady_clock::now();
  const velk_mur::GenerationResult result = velk_mur::generateMissingFiles(folder.root, messenger);
  const double elapsed = secondsSince(start);
  if (!result.ok) std::cerr << "generation pass failed\n";
  folder.generatedSizes.clear();
  for (const std::string& name : folder.names) {
    for (const char* suffix : {"_h7.mtn", "_m.mtn", ".led"}) {
      folder.generatedSizes.push_back(fs::file_size(folder.root / "GEN" / (name + suffix)));
    }
  }
  return elapsed;
}

using bench_support::reportPairedRatio;

void comparePassWithCopy() {
  Folder folder = makeFolder(folderSize());
  generationPass(folder);  // learns the sizes the copy writes, and warms the caches
  std::printf("generation pass over %zu recordings of 3 s:\n", folder.names.size());
  reportPairedRatio(
      "generate 3 s recordings", "copy of inputs and outputs", 1.5,
      [&] { return generationPass(folder); }, [&] { return plainCopy(folder); });
  fs::remove_all(folder.root);
}

void compareLongRecordingWithRead() {
  Folder folder;
  folder.root = fs::temp_directory_path() / ("velk-gen-bench-long-" + std::to_string(::getpid()));
  fs::remove_all(folder.root);
  fs::create_directories(folder.root / "GEN");
  folder.names.push_back("long");
  const fs::path recording = folder.root / "long.wav";
  writeBytes(recording, testing_support::makeWav(speechLikeSamples(80 * 60 * kSampleRate, 3)));
  generationPass(folder);
  std::printf("generation pass over one recording of 80 minutes (%ju bytes):\n",
              fs::file_size(recording));
  reportPairedRatio(
      "generate 80 minutes", "read of the recording", 4.0, [&] { return generationPass(folder); },
      [&] {
        const auto start = std::chrono::steady_clock::now();
        const auto bytes = readBytes<platform::UninitializedBytes>(recording);
        benchmark::DoNotOptimize(bytes.data());
        return secondsSince(start);
      });
  fs::remove_all(folder.root);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  comparePassWithCopy();
  compareLongRecordingWithRead();
  return 0;
}
