#pragma once
// A small stick tree for the editor's tests: R-CODE.R with VELK records, ACTION.EXT,
// ACTION.CFG and ERS-7.MWC in their places.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "velk7/rcode/program.h"

namespace editor_testing {

// Folder of R-CODE.R below the stick root.
inline constexpr std::string_view kProgramFolder = "OPEN-R/APP/PC/AMS";

struct RecordText {
  std::string name;
  std::vector<std::string> lines;
};

// The text of an R-CODE.R with one VELK record per entry, lines ending in CR LF, some
// program text around the records and one "//++" line.
std::string programText(const std::vector<RecordText>& records);

// Writes R-CODE.R from `records`, an ERS-7 ACTION.EXT and ERS-7.MWC below `root`;
// ACTION.CFG only when `userActions` is not empty. Returns the path of R-CODE.R.
std::filesystem::path writeStick(const std::filesystem::path& root,
                                 const std::vector<RecordText>& records,
                                 std::string_view userActions = {});

// Loads and parses the program at `path`; fails the test when it does not load.
velk7::RcodeProgram loadParsed(const std::filesystem::path& path);

}  // namespace editor_testing
