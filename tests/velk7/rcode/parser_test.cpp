#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "stick_fixture.h"
#include "velk7/rcode/program.h"

namespace velk7 {
namespace {

using testing::parsed;
using Lines = std::vector<std::string>;

TEST(ParseRecords, EachSyntaxErrorGivesItsTextAndLine) {
  const std::string x255(255, 'x');
  std::string records200;  // the most a program may hold
  for (int i = 0; i < 200; ++i) records200 += "//{ \"R" + std::to_string(i) + "\"\r\n//}\r\n";
  const std::string badPre = "bad PRE clause - ";
  const std::tuple<std::string, std::string, int> cases[] = {
      // error, file text, line
      {"Line too long", "a\n" + x255 + "x\n", 2},
      // The CR of a last line without LF counts as a character.
      {"Line too long", "//{ \"A\"\n//}\n" + x255 + "\r", 3},
      {"VELK quoted string must be exact syntax", "x\n//{  \"A\"\n//}\n", 2},
      {"VELK must have quoted string", "//{ \"A\n//}\n", 1},
      {"Missing //} - nesting not allowed", "//{ \"A\"\n//{ \"B\"\n//}\n", 2},
      {"Too many VELK records", records200 + "//{ \"late\"\r\n//}\r\n", 401},
      {"Unsupported TAG option/effect", "//{ \"A\" PRE // note\n//}\n", 1},
      {"missing starting //{ for ending //}", "//{ \"A\"\n//}\n//}\n", 3},
      {"missing //} for last VELK", "//{ \"A\"\nWAIT\n", -1},
      {badPre + "should not be empty", "//{ \"A\" PRE\n//++x\n//}\n", 3},
      {badPre + "only line should be special PRE", "//{ \"A\" PRE\n//[PRE]:WAIT\n//}\n", 3},
      {badPre + "first line should not be comment", "//{ \"A\" PRE\n//[PRE]: W\nX\n//}\n", 4},
      // The suffix alone is too short.
      {badPre + "first line should not be comment", "//{ \"A\" PRE\n //[PRE]\nX\n//}\n", 4},
      {badPre + "first line should end in //[PRE]", "//{ \"A\" PRE\nWAIT//[PRE]\nX\n//}\n", 4}};
  for (const auto& [errorText, text, lineNumber] : cases) {
    RcodeProgram program;
    program.text = text;
    const ParseResult result = parseRecords(program);
    EXPECT_EQ(result.errorText, errorText) << text;
    EXPECT_EQ(result.lineNumber, lineNumber) << text;
  }
  EXPECT_EQ(parsed(records200).recordCount(), 200);
}

// Lines lose their indent and terminator; the writer's tests show more forms of both.
TEST(ParseRecords, RecordKeepsNameIndentAndPreBitAndItsLinesLoseIndentAndTerminator) {
  const std::tuple<std::string, const char*, const char*, Lines> cases[] = {
      {"h\r\n//{ \"A\"\r\n  WAIT\r\n  SIT\n//}\r\n", "", "A", {"WAIT", "SIT"}},
      {"\t //{ \"Tricks/Roll\"\n \t WAIT  \n\n  // x\n//}\n",
       "\t ",
       "Tricks/Roll",
       {"WAIT  ", "", "// x"}},
      {"//{ \"\"\n//}\n", "", "", {}}};
  for (const auto& [text, indent, name, lines] : cases) {
    const RcodeProgram program = parsed(text);
    ASSERT_EQ(program.recordCount(), 1);
    EXPECT_EQ(program.records[0].indent, indent);
    EXPECT_EQ(program.records[0].name, name);
    EXPECT_EQ(program.records[0].lines, lines);
  }
  EXPECT_EQ(parsed("PLAY ACTION SIT\r\n// {\r\n").recordCount(), 0);
  for (const auto& [options, pre] : std::vector<std::pair<std::string, bool>>{
           {"", false}, {"PRE PRE", true}, {"\tPRE  ", true}, {" \t ", false}}) {
    EXPECT_EQ(parsed("//{ \"A\"" + options + "\n//[PRE]: WAIT\n//}\n").records.at(0).hasPre(), pre);
  }
}

TEST(ParseRecords, SubroutineLinesAreCollectedEverywhereOnce) {
  RcodeProgram program = parsed("//++ CALL A // a\n//{ \"A\"\n  //++  CALL B\nWAIT\n//}\n\t//++\n");
  ASSERT_TRUE(parseRecords(program));  // parsing again starts fresh
  EXPECT_EQ(program.subroutineLines, (Lines{" CALL A // a", "  CALL B", ""}));
  EXPECT_EQ(program.records.at(0).lines, Lines{"WAIT"});
  EXPECT_EQ(program.records.at(0).innerSubroutineLines, Lines{"  CALL B"});
}

}  // namespace
}  // namespace velk7
