// Load, parse and write a program of 200 records and about 1 MB; the target is 100 MB per
// second for parse plus write together.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

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

}  // namespace

BENCHMARK_MAIN();
