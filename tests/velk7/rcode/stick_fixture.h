#pragma once
// A small stick tree with R-CODE.R, ACTION.EXT, ACTION.CFG and ERS-7.MWC in their places.
#include <filesystem>
#include <string>

#include "tests/support/temp_tree.h"

namespace velk7::testing {

inline constexpr const char* kSmallProgram = "START\r\n//{ \"Events/Pat\"\r\n  WAIT\r\n//}\r\n";

struct StickFixture {
  testing_support::TempDir root;

  std::filesystem::path ams() const { return root / "OPEN-R" / "APP" / "PC" / "AMS"; }
  std::filesystem::path program() const { return ams() / "R-CODE.R"; }
  std::filesystem::path mwc() const { return root / "OPEN-R" / "MW" / "CONF" / "ERS-7.MWC"; }

  void writeProgram(const std::string& text) const {
    testing_support::writeTextFile(program(), text);
  }
  void writeExt(const std::string& text) const {
    testing_support::writeTextFile(ams() / "ACTION.EXT", text);
  }
  void writeCfg(const std::string& text) const {
    testing_support::writeTextFile(ams() / "ACTION.CFG", text);
  }
  void writeMwc() const { testing_support::writeTextFile(mwc(), "MWCM"); }

  void writeComplete() const {
    writeProgram(kSmallProgram);
    writeExt("// ACTION.EXT for ERS-7\r\nL_PALONE.DANCE1\t1\t0\r\n");
    writeMwc();
  }
};

}  // namespace velk7::testing
