#pragma once
// Shared helpers of the R-CODE model's tests: a small stick tree with R-CODE.R, ACTION.EXT,
// ACTION.CFG and ERS-7.MWC in their places, and parsing and writing in memory.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/recording_messenger.h"
#include "tests/support/temp_tree.h"
#include "velk7/rcode/catalogue.h"
#include "velk7/rcode/program.h"
#include "velk7/rcode/program_writer.h"

namespace velk7::testing {

inline constexpr const char* kSmallProgram = "START\r\n//{ \"Events/Pat\"\r\n  WAIT\r\n//}\r\n";

struct StickFixture {
  testing_support::TempDir root;

  std::filesystem::path ams() const { return root / "OPEN-R" / "APP" / "PC" / "AMS"; }
  std::filesystem::path program() const { return ams() / "R-CODE.R"; }
  std::filesystem::path mwc() const { return root / "OPEN-R" / "MW" / "CONF" / "ERS-7.MWC"; }
  // Writes a file beside R-CODE.R.
  void write(const std::string& name, const std::string& text) const {
    testing_support::writeTextFile(ams() / name, text);
  }
  void writeComplete() const {
    write("R-CODE.R", kSmallProgram);
    write("ACTION.EXT", "// ACTION.EXT for ERS-7\r\nL_PALONE.DANCE1\t1\t0\r\n");
    testing_support::writeTextFile(mwc(), "MWCM");
  }
};

// The program parsed from `text`; the test fails when it does not parse.
inline RcodeProgram parsed(std::string text) {
  RcodeProgram program;
  program.text = std::move(text);
  const ParseResult result = parseRecords(program);
  EXPECT_TRUE(result) << result.errorText << " line " << result.lineNumber;
  return program;
}

// The bytes a save of `program` writes; the test fails when the write fails.
inline std::string written(const RcodeProgram& program) {
  platform::MemorySink sink;
  EXPECT_TRUE(writeProgram(program, sink));
  return std::string(sink.bytes().begin(), sink.bytes().end());
}

inline std::vector<std::string> labelsOf(const std::vector<PaletteEntry>& entries) {
  std::vector<std::string> labels;
  for (const PaletteEntry& entry : entries) labels.push_back(entry.label);
  return labels;
}

}  // namespace velk7::testing
