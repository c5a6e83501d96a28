// Load, parse and write a program of 200 records and about 1 MB; the target is 100 MB per
// second for parse plus write together. And loading a 10 MB program beside a plain read of the
// same file: the file is read once, into the model, so the target is at most 1.2x; each round
// pairs a load with its own read, and the median of the ratios is reported.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/support/paired_ratio.h"
#include "velk7/rcode/program.h"
#include "velk7/rcode/program_writer.h"

namespace {

std::string largeProgram() {
  std::string text;
  const std::string filler = "IF_1ST Head_ON_TOUCH 1 = 0 // some R-CODE outside the records\r\n";
  for (int record = 0; record < velk7::kMaxRecords; ++record) {
    for (int i = 0; i < 44; ++i) text += filler;
    text +=
        "//{ \"Group" + std::to_string(record % 7) + "/Event" + std::to_string(record) + "\"\r\n";
    for (int i = 0; i < 40; ++i) text += "  PLAY ACTION+ HELLO // HELLO.WAV + motion + leds\r\n";
    text += "//}\r\n";
  }
  return text;
}

void parseAndWrite(benchmark::State& state) {
  velk7::RcodeProgram source;
  source.text = largeProgram();
  for (auto _ : state) {
    velk7::RcodeProgram program;
    program.text = source.text;
    if (!velk7::parseRecords(program)) state.SkipWithError("parse failed");
    platform::MemorySink sink;
    if (!velk7::writeProgram(program, sink)) state.SkipWithError("write failed");
    benchmark::DoNotOptimize(sink.bytes().data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(source.text.size()));
}
BENCHMARK(parseAndWrite)->Unit(benchmark::kMillisecond);

void loadParseAndWrite(benchmark::State& state) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "rcode_bench_R-CODE.R";
  const std::string text = largeProgram();
  std::ofstream(path, std::ios::binary)
      .write(text.data(), static_cast<std::streamsize>(text.size()));
  for (auto _ : state) {
    velk7::RcodeProgram program;
    if (!velk7::loadProgram(program, path) || !velk7::parseRecords(program)) {
      state.SkipWithError("load failed");
    }
    platform::MemorySink sink;
    if (!velk7::writeProgram(program, sink)) state.SkipWithError("write failed");
    benchmark::DoNotOptimize(sink.bytes().data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(text.size()));
  std::filesystem::remove(path);
}
BENCHMARK(loadParseAndWrite)->Unit(benchmark::kMillisecond);

using bench_support::secondsSince;

void compareLoadWithRead() {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "rcode_bench_large_R-CODE.R";
  std::string text = largeProgram();
  const std::string outside = "IF_1ST Head_ON_TOUCH 1 = 0 // more R-CODE after the records\r\n";
  while (text.size() < 10u << 20) text += outside;
  std::ofstream(path, std::ios::binary)
      .write(text.data(), static_cast<std::streamsize>(text.size()));

  const auto load = [&] {
    const auto start = std::chrono::steady_clock::now();
    velk7::RcodeProgram program;
    if (!velk7::loadProgram(program, path)) std::fprintf(stderr, "load failed\n");
    return secondsSince(start);
  };
  const auto read = [&] {
    const auto start = std::chrono::steady_clock::now();
    std::string plain;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
      plain.resize(text.size());
      if (std::fread(plain.data(), 1, plain.size(), file) != plain.size()) plain.clear();
      std::fclose(file);
    }
    benchmark::DoNotOptimize(plain.data());
    return secondsSince(start);
  };
  std::printf("loading a %zu-byte R-CODE.R:\n", text.size());
  bench_support::reportPairedRatio("load", "plain read", 1.2, load, read, 9);
  std::filesystem::remove(path);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  compareLoadWithRead();
  return 0;
}
