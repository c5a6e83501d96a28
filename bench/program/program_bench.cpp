// Checking a 10 MB program from its file (target: at least 50 MB a second), and the interpreter's
// lines run per second of real time (target: at least 5 million) with the virtual seconds it covers
// meanwhile. Medians of several rounds.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/support/paired_ratio.h"  // secondsSince
#include "velk7/program/checker.h"
#include "velk7/program/interpreter.h"
#include "velk7/rcode/program.h"

namespace {

using bench_support::secondsSince;
using namespace velk7::program;

// A program of many subroutines like the example stick's, each with a VELK record.
std::string largeProgram(std::size_t atLeast) {
  std::string text = "EDIT\r\n:Main\r\n";
  int count = 0;
  std::string calls;
  std::string bodies;
  while (calls.size() + bodies.size() < atLeast) {
    const std::string name = "Event" + std::to_string(count++);
    calls += "  IF Head_ON = " + std::to_string(count) + " CALL " + name + "\r\n";
    bodies += ":" + name + "\r\n  SET Head_ON 0\r\n  //{ \"Group/" + name + "\"\r\n";
    bodies += "    PLAY ACTION SIT // sit down first\r\n    WAIT\r\n";
    bodies += "    PLAY ACTION+ HELLO // HELLO.WAV + motion + leds\r\n    WAIT\r\n";
    bodies += "    SET count 1\r\n    ADD count 2\r\n    PRINT \"count = %d\" count\r\n";
    bodies += "  //}\r\n  RETURN\r\n\r\n";
  }
  return text + calls + "  WAIT 100\r\n  GO Main\r\n\r\n" + bodies + "END\r\n";
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void checkSpeed() {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "program_bench_R-CODE.R";
  const std::string text = largeProgram(10u << 20);
  std::ofstream(path, std::ios::binary)
      .write(text.data(), static_cast<std::streamsize>(text.size()));
  ActionCatalogue catalogue;
  catalogue.anyFile = true;
  addCatalogueText(catalogue, "SIT 1 0\nHELLO 24001 0\n", "ACTION.CFG");
  std::vector<double> speeds;
  std::vector<double> cpuSpeeds;
  const auto check = [&] {
    const std::clock_t cpuStart = std::clock();
    const auto start = std::chrono::steady_clock::now();
    velk7::RcodeProgram rcode;
    if (!velk7::loadProgram(rcode, path)) std::fprintf(stderr, "load failed\n");
    velk7::parseRecords(rcode);
    const CompiledProgram program = compileProgram(readProgramText(rcode));
    const CheckResult result = checkProgram(program, &catalogue);
    benchmark::DoNotOptimize(result.findings.data());
    const double seconds = secondsSince(start);
    const double cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    speeds.push_back(static_cast<double>(text.size()) / seconds / 1e6);
    cpuSpeeds.push_back(static_cast<double>(text.size()) / cpuSeconds / 1e6);
    return seconds;
  };
  std::printf("checking a %zu-byte R-CODE.R (load, records, lines, statements, checks):\n",
              text.size());
  for (int round = 0; round < 7; ++round) {
    std::printf("  round %d: %.4f s\n", round + 1, check());
  }
  // The processor time is judged: on a machine shared with other work the elapsed time also
  // counts the others' turns.
  const double speed = median(cpuSpeeds);
  std::printf(
      "check: median %.1f MB/s of processor time, %.1f MB/s elapsed (target at least "
      "50 MB/s) %s\n",
      speed, median(speeds), speed >= 50 ? "MET" : "MISSED");
  std::filesystem::remove(path);
}

void runSpeed() {
  // A polling loop with arithmetic, a call and a branch per pass, and no waiting, so every
  // tick runs its full share of lines.
  const std::string text =
      ":Main\nADD n 1\nIF n > 1000 THEN\n SET n 0\n CALL Tick\nENDIF\nMOD n 7\nPUSH n\nPOP m\n"
      "GO Main\n:Tick\nADD ticks 1\nRETURN\n";
  const CompiledProgram program = compileProgram(readProgramText(text));
  RunOptions options;
  options.stepBudget = INT64_MAX;
  std::vector<double> lineRates;
  std::vector<double> virtualRates;
  for (int round = 0; round < 7; ++round) {
    Interpreter interpreter(program, nullptr, options);
    const std::clock_t start = std::clock();
    interpreter.runUntil(200'000);  // 6400 virtual seconds at 32 lines a tick
    const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    lineRates.push_back(static_cast<double>(interpreter.linesRun()) / seconds);
    virtualRates.push_back(static_cast<double>(interpreter.tick()) * kTickSeconds / seconds);
    std::printf("  round %d: %lld lines in %.4f s\n", round + 1,
                static_cast<long long>(interpreter.linesRun()), seconds);
  }
  const double rate = median(lineRates);
  std::printf(
      "run: median %.1f million lines a second of processor time, %.0f virtual seconds a "
      "second "
      "(target at least 5 million lines) %s\n",
      rate / 1e6, median(virtualRates), rate >= 5e6 ? "MET" : "MISSED");
}

}  // namespace

int main() {
  checkSpeed();
  runSpeed();
  return 0;
}
