#pragma once
// A small stick tree for the editor's tests: R-CODE.R with VELK records, and ACTION.EXT and
// ACTION.CFG in their places.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/temp_tree.h"
#include "velk7/rcode/program.h"

namespace editor_testing {

struct RecordText {
  std::string name;
  std::vector<std::string> lines;
};

// The text of an R-CODE.R with one VELK record per entry, lines ending in CR LF, some
// program text around the records and one "//++" line. The program around the records is one
// the robot runs, so that only records' lines decide whether the check finds errors.
inline std::string programText(const std::vector<RecordText>& records) {
  std::string text = "// AIBO program\r\n//++CALL Wag // Wag the tail\r\nSET:edge:1\r\n";
  for (const RecordText& record : records) {
    text += "  //{ \"" + record.name + "\"\r\n";
    for (const std::string& line : record.lines) text += "    " + line + "\r\n";
    text += "  //}\r\n";
  }
  return text + "RETURN\r\n";
}

// Writes R-CODE.R from `records` and an ERS-7 ACTION.EXT below `root`, and
// ACTION.CFG only when `userActions` is not empty. Returns the path of R-CODE.R.
inline std::filesystem::path writeStick(const std::filesystem::path& root,
                                        const std::vector<RecordText>& records,
                                        std::string_view userActions = {}) {
  const std::filesystem::path folder = root / "OPEN-R/APP/PC/AMS";
  testing_support::writeTextFile(folder / "R-CODE.R", programText(records));
  testing_support::writeTextFile(folder / "ACTION.EXT",
                                 "// ERS-7 actions\r\nL_PALONE.DANCE1 1 0 ; dance one\r\n"
                                 "L_POBJ.KICK 2 0\r\nMY_ACT 3 0\r\n");
  if (!userActions.empty()) testing_support::writeTextFile(folder / "ACTION.CFG", userActions);
  return folder / "R-CODE.R";
}

// Loads and parses the program at `path`; fails the test when it does not load.
inline velk7::RcodeProgram loadParsed(const std::filesystem::path& path) {
  velk7::RcodeProgram program;
  EXPECT_TRUE(velk7::loadProgram(program, path));
  EXPECT_EQ(velk7::parseRecords(program).errorText, "");
  return program;
}

}  // namespace editor_testing
