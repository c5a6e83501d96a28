// Reading the whole program: line kinds, words split at colons, blanks and tabs alike,
// quoted texts, comments, the robot's line length and the VELK records' lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "velk7/program/program_text.h"

namespace velk7::program {
namespace {

std::vector<std::string> wordsOfLine(const ProgramText& program, std::size_t index) {
  std::vector<std::string> words;
  for (const Word& word : program.wordsOf(program.lines[index])) {
    words.emplace_back(program.wordText(word));
  }
  return words;
}

TEST(ProgramText, SplitsLinesIntoKindsAndWords) {
  struct Case {
    std::string line;
    LineType type;
    std::vector<std::string> words;
  };
  const std::vector<Case> cases{
      {"PLAY:ACTION:SIT", LineType::Command, {"PLAY", "ACTION", "SIT"}},
      {"PLAY ACTION SIT", LineType::Command, {"PLAY", "ACTION", "SIT"}},
      {"\tSET: x ::\t5 // five", LineType::Command, {"SET", "x", "5"}},
      {"PRINT:\"a: b // c\":x//y", LineType::Command, {"PRINT", "\"a: b // c\"", "x"}},
      {"  :Main // start", LineType::Label, {"Main"}},
      {":Main:", LineType::Label, {"Main"}},
      {"   // note", LineType::Comment, {}},
      {"#include", LineType::Comment, {}},
      {" \t ", LineType::Blank, {}},
  };
  for (const Case& c : cases) {
    const std::string text = c.line + "\r\n";
    const ProgramText program = readProgramText(text);
    ASSERT_EQ(program.lines.size(), 1U) << c.line;
    EXPECT_EQ(program.lines[0].type, c.type) << c.line;
    EXPECT_EQ(wordsOfLine(program, 0), c.words) << c.line;
  }
}

TEST(ProgramText, CountsTheLineEndAsOneByte) {
  const ProgramText program = readProgramText("WAIT\r\nWAIT\nWAIT");
  ASSERT_EQ(program.lines.size(), 3U);
  EXPECT_EQ(program.lines[0].robotLength(), 5U);
  EXPECT_EQ(program.lines[1].robotLength(), 5U);
  EXPECT_EQ(program.lines[2].robotLength(), 4U);
  EXPECT_EQ(robotLineLength("  ", "WAIT"), 7U);
}

TEST(ProgramText, MarksTheLinesOfEachRecord) {
  RcodeProgram rcode;
  rcode.text = "WAIT\r\n//{ \"One\"\r\n  SIT\r\n//}\r\nWAIT\r\n  //{ \"Two\"\r\n  //}\r\n";
  ASSERT_TRUE(parseRecords(rcode));
  const ProgramText program = readProgramText(rcode);
  std::vector<int> records;
  std::vector<bool> markers;
  for (const ProgramLine& line : program.lines) {
    records.push_back(line.record);
    markers.push_back(line.marker);
  }
  EXPECT_EQ(records, (std::vector<int>{-1, 0, 0, 0, -1, 1, 1}));
  EXPECT_EQ(markers, (std::vector<bool>{false, true, false, true, false, true, true}));
}

}  // namespace
}  // namespace velk7::program
