#pragma once
// Shared helpers of the R-CODE model's tests: R-CODE.R's folder on a small stick tree, and
// parsing and writing in memory.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/recording_messenger.h"
#include "tests/support/temp_tree.h"
#include "velk7/rcode/program.h"
#include "velk7/rcode/program_writer.h"

namespace velk7::testing {

struct StickFixture {
  testing_support::TempDir root;

  // With the system's separators, as the messages name it.
  std::filesystem::path ams() const { return (root / "OPEN-R/APP/PC/AMS").make_preferred(); }
  std::filesystem::path program() const { return ams() / "R-CODE.R"; }
  void write(const std::string& name, const std::string& text) const {
    testing_support::writeTextFile(ams() / name, text);
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

}  // namespace velk7::testing
