// The program checks: one small program per rule with the findings it must give, programs
// the robot runs as they are with none, and the check's face on the terminal.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/temp_tree.h"
#include "velk7/program/checker.h"
#include "velk7/program/program_commands.h"

namespace velk7::program {
namespace {

using Found = std::vector<std::pair<int, Rule>>;

ActionCatalogue smallCatalogue() {
  ActionCatalogue catalogue;
  catalogue.anyFile = true;
  addCatalogueText(catalogue, "HELLO           \t24001\t0\tHELLO.WAV + motion + leds\n",
                   "ACTION.CFG");
  addCatalogueText(catalogue, "// comment line\nL_EDSP.HAPPY\t101\t0\t; Happy\n-L_OLD\t102\t0\n",
                   "ACTION.EXT");
  for (std::string_view name : builtInActions())
    addCatalogueText(catalogue, std::string(name) + " 1 0", "x");
  return catalogue;
}

Found findingsOf(const std::string& text) {
  const ActionCatalogue catalogue = smallCatalogue();
  const CompiledProgram program = compileProgram(readProgramText(text));
  Found found;
  for (const Finding& finding : checkProgram(program, &catalogue).findings) {
    EXPECT_TRUE(finding.text.starts_with(ruleName(finding.rule))) << finding.text;
    found.emplace_back(finding.line, finding.rule);
  }
  return found;
}

struct RuleCase {
  std::string program;
  Found expected;
};

TEST(CheckProgram, EachRuleFindsItsFault) {
  const std::vector<RuleCase> cases{
      {"SIT\n", {{1, Rule::UnknownCommand}}},
      {"POSE 1 2\n", {{1, Rule::UnknownCommand}}},  // an older robot's command
      {"SET x\n", {{1, Rule::WrongWords}}},
      {"SET 5 3\n", {{1, Rule::WrongWords}}},
      {"GO\n", {{1, Rule::WrongWords}}},
      {"SET:x:0x1G\n", {{1, Rule::WrongWords}}},
      {"IF Clock = 1 THEN CALL There\n:There\nRETURN\n", {{1, Rule::WrongWords}}},
      {"IF Clock ?? 1 BREAK\n", {{1, Rule::WrongWords}}},
      {"PLAY ACTION\n", {{1, Rule::WrongWords}}},
      {"PLAY ACTION WALK 1 2 3 4\n", {{1, Rule::WrongWords}}},
      {"ONCALL Clock > 5 Here 1\n:Here\nRESUME\n", {{1, Rule::WrongWords}}},
      {"GO Nowhere\n", {{1, Rule::LabelNotFound}}},
      {"IF Clock > 1 CALL Nowhere\n", {{1, Rule::LabelNotFound}}},
      {"PUSH 1\nJT Nowhere\n", {{2, Rule::LabelNotFound}}},
      {"ONCALL Clock > 5 Nowhere\n", {{1, Rule::LabelNotFound}}},
      {":Here\nWAIT 32\nGO Here\n:here\n", {{4, Rule::LabelTwice}}},
      {"IF Clock > 1 THEN\nWAIT\n", {{1, Rule::BlocksDoNotNest}}},
      {"ENDIF\n", {{1, Rule::BlocksDoNotNest}}},
      {"IF Clock > 1 THEN\nELSE\nELSE\nENDIF\n", {{3, Rule::BlocksDoNotNest}}},
      {"WHILE Clock < 9\nWAIT 32\nNEXT\nWEND\n", {{3, Rule::BlocksDoNotNest}}},
      {"FOR i 1 3\nIF i = 2 THEN\nNEXT\nENDIF\n",
       {{3, Rule::BlocksDoNotNest}, {4, Rule::BlocksDoNotNest}}},
      {"REPEAT\nWAIT 32\n", {{1, Rule::BlocksDoNotNest}}},
      {"DO\nWAIT 32\nWEND\nLOOP\n", {{3, Rule::BlocksDoNotNest}}},
      {"BREAK\n", {{1, Rule::BreakOutsideLoop}}},
      {"IF Clock > 1 BREAK\n", {{1, Rule::BreakOutsideLoop}}},
      {"DO\nWAIT 32\nBREAK 2\nLOOP\n", {{3, Rule::BreakOutsideLoop}}},
      {"PLAY ACTION HELO\n", {{1, Rule::ActionNotOnStick}}},
      {"PLAY ACTION L_OLD\n", {{1, Rule::ActionNotOnStick}}},  // switched off with "-"
      {"PLAY MWCID 999\n", {{1, Rule::ActionNotOnStick}}},
      {"WAIT 0\n", {{1, Rule::WaitOutOfRange}}},
      {"WAIT 30001\n", {{1, Rule::WaitOutOfRange}}},
      {"WAIT MOTION_NECK\n", {{1, Rule::WaitOutOfRange}}},
      {"WAIT // " + std::string(119, 'x') + "\n", {{1, Rule::LineTooLong}}},
      {"SET y x\n", {{1, Rule::ReadButNeverSet}}},
      {"SET COUNT 1\nPRINT \"%d\" COUNT\n", {{1, Rule::UserVariableInCapitals}}},
      {"IF Head_ON = 1 CALL Pat\nEXIT\n:Pat\nRETURN\n", {{1, Rule::SensorFlagNeverCleared}}},
      {"GO There\nPRINT \"lost\"\n:There\n", {{2, Rule::UnreachableCode}}},
      {"RETURN\nWAIT 32\n", {{2, Rule::UnreachableCode}}},
      {":Alone\nWAIT\n", {{1, Rule::LabelNeverUsed}}},
      {":Spin\nSET x 1\nGO Spin\n", {{3, Rule::LoopWithoutWait}}},
      {"WHILE Clock < 100\nSET x 1\nWEND\n", {{1, Rule::LoopWithoutWait}}},
      {"DO\nSET x 1\nLOOP UNTIL Clock > 5\n", {{1, Rule::LoopWithoutWait}}},
  };
  for (const RuleCase& c : cases) EXPECT_EQ(findingsOf(c.program), c.expected) << c.program;
}

TEST(CheckProgram, ProgramsTheRobotRunsGiveNoFindings) {
  const std::string longest = "WAIT // " + std::string(118, 'x') + "\r\n";  // 126 + line end
  const std::vector<std::string> programs{
      "SET:x:1\nPRINT:\"x = %d\":x\n",
      "SET x 1\nPRINT \"x = %d\" x\n",
      "SET: x :1 // blanks and colons mixed\nVDUMP x\n",
      "  // indented comment\n# also a comment\n\nWAIT\n",
      longest,
      "PLAY ACTION HELLO\nPLAY ACTION+ hello\nPLAY ACTION L_EDSP.HAPPY\nPLAY MWCID 24001\n"
      "PLAY ACTION WALK 0 500\nPLAY ACTION SEARCH PINK_BALL\nWAIT MOTION_ALL\nWAIT 30000\n",
      ":Main\n IF Head_ON = 1 THEN\n  SET Head_ON 0\n ELSE\n  WAIT 100\n ENDIF\n GO Main\n",
      ":Main\nIF Pink_Ball = 1 CALL Seen\nWAIT 64\nGO Main\n:Seen\nCLR SENSORS\nRETURN\n",
      "FOR i 10 0 -2\nVDUMP i\nNEXT\nREPEAT\nWAIT 32\nUNTIL Clock > 10\n",
      "DO WHILE Clock < 50\nWAIT 32\nIF Clock = 20 BREAK\nLOOP\n",
      "PUSH 1\nPUSH 2\nCALL Add2 2\nPOP total\nVDUMP total\nEXIT\n:Add2\nLOCAL a\nARG a\n"
      "ARG b\nADD a b\nRETURN a\n",
      "SWITCH 2\nCASE 1 PRINT \"one\"\nCASE ELSE GO Done\n:Done\nCSET Clock > 0 3\n",
      "ONCALL Batt_Rest < 20 Low 3 Main\n:Main\nWAIT 1000\nGO Main\n:Low\nPRINT \"low\"\n"
      "RESUME\n",
      "IF Clock > 5 First Second\n:First\nWAIT\n:Second\nGO First\n",
  };
  for (const std::string& program : programs) EXPECT_EQ(findingsOf(program), Found{}) << program;
}

TEST(CheckCommand, PrintsFindingsAndCountsWithItsExitCode) {
  testing_support::TempDir stick;
  const std::filesystem::path program = stick / "OPEN-R/APP/PC/AMS/R-CODE.R";
  const std::filesystem::path catalogue = stick / "OPEN-R/APP/PC/AMS/ACTION.CFG";
  testing_support::writeTextFile(catalogue, "HELLO\t24001\t0\tHELLO.WAV\n");
  struct Case {
    std::string text;
    std::vector<std::string> arguments;
    int exit;
    std::string out;
  };
  const std::string path = program.string();
  const std::vector<Case> cases{
      {"PLAY ACTION HELLO\nWAIT\n", {path}, 0, "0 errors, 0 warnings\n"},
      {"PLAY ACTION HELO\n:Idle\n",
       {path},
       1,
       path +
           ":1: error: action not on the stick: HELO is in none of ACTION.CFG, ACTION.EXT "
           "and ERS-7.MWC\n" +
           path +
           ":2: warning: label never used: :Idle is never jumped to or called\n"
           "1 error, 1 warning\n"},
      {"WAIT\n", {path, "--all"}, 2, ""},
      {"WAIT\n", {path + ".missing"}, 2, ""},
  };
  for (const Case& c : cases) {
    testing_support::writeTextFile(program, c.text);
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runCheckCommand(c.arguments, stick.path(), out, err), c.exit) << c.text;
    EXPECT_EQ(out.str(), c.out) << err.str();
  }
}

}  // namespace
}  // namespace velk7::program
