#include "editor_stick.h"

#include <gtest/gtest.h>

#include "tests/support/temp_tree.h"

namespace editor_testing {

std::string programText(const std::vector<RecordText>& records) {
  std::string text = "// AIBO program\r\n//++CALL Wag // Wag the tail\r\nEDGE:1\r\n";
  for (const RecordText& record : records) {
    text += "  //{ \"" + record.name + "\"\r\n";
    for (const std::string& line : record.lines) text += "    " + line + "\r\n";
    text += "  //}\r\n";
  }
  text += "RETURN\r\n";
  return text;
}

std::filesystem::path writeStick(const std::filesystem::path& root,
                                 const std::vector<RecordText>& records,
                                 std::string_view userActions) {
  const std::filesystem::path folder = root / kProgramFolder;
  const std::filesystem::path program = folder / "R-CODE.R";
  testing_support::writeTextFile(program, programText(records));
  testing_support::writeTextFile(folder / "ACTION.EXT",
                                 "// ERS-7 actions\r\n"
                                 "L_PALONE.DANCE1 1 0 ; dance one\r\n"
                                 "L_POBJ.KICK 2 0\r\n"
                                 "MY_ACT 3 0\r\n");
  if (!userActions.empty()) testing_support::writeTextFile(folder / "ACTION.CFG", userActions);
  testing_support::writeTextFile(root / "OPEN-R/MW/CONF/ERS-7.MWC", "MWCM");
  return program;
}

velk7::RcodeProgram loadParsed(const std::filesystem::path& path) {
  velk7::RcodeProgram program;
  EXPECT_TRUE(velk7::loadProgram(program, path));
  EXPECT_TRUE(velk7::parseRecords(program)) << program.errorText;
  return program;
}

}  // namespace editor_testing
