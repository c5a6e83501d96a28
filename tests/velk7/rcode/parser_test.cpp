#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "velk7/rcode/program.h"

namespace velk7 {
namespace {

struct Parsed {
  bool ok = false;
  RcodeProgram program;
};

Parsed parse(std::string text) {
  Parsed parsed;
  parsed.program.text = std::move(text);
  parsed.ok = parseRecords(parsed.program);
  return parsed;
}

struct ErrorCase {
  const char* what;
  std::string text;
  const char* errorText;
  int lineNumber;
};

std::string records(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "//{ \"R" + std::to_string(i) + "\"\r\n//}\r\n";
  return text;
}

TEST(ParseRecords, EachSyntaxErrorGivesItsTextAndLine) {
  const std::vector<ErrorCase> cases = {
      {"line of 256", "a\n" + std::string(256, 'x') + "\n", "Line too long", 2},
      {"long line inside record", "//{ \"A\"\n" + std::string(300, 'x'), "Line too long", 2},
      {"quote right after marker", "//{\"A\"\n//}\n", "VELK quoted string must be exact syntax", 1},
      {"two blanks", "x\n//{  \"A\"\n//}\n", "VELK quoted string must be exact syntax", 2},
      {"marker alone", "//{\n", "VELK quoted string must be exact syntax", 1},
      {"no closing quote", "//{ \"A\n//}\n", "VELK must have quoted string", 1},
      {"nesting", "//{ \"A\"\n//{ \"B\"\n//}\n", "Missing //} - nesting not allowed", 2},
      {"201 records", records(200) + "//{ \"late\"\r\n//}\r\n", "Too many VELK records", 401},
      {"trailing comment", "//{ \"A\" PRE // note\n//}\n", "Unsupported TAG option/effect", 1},
      {"lower-case pre", "//{ \"A\" pre\n//}\n", "Unsupported TAG option/effect", 1},
      {"PRE then tab", "//{ \"A\" PRE\t\nWAIT //[PRE]\nX\n//}\n", "Unsupported TAG option/effect",
       1},
      {"PREX", "//{ \"A\" PREX\n//}\n", "Unsupported TAG option/effect", 1},
      {"end before start", "a\n//}\n", "missing starting //{ for ending //}", 2},
      {"second end", "//{ \"A\"\n//}\n//}\n", "missing starting //{ for ending //}", 3},
      {"unclosed", "//{ \"A\"\nWAIT\n", "missing //} for last VELK", -1},
      {"unclosed no terminator", "//{ \"A\"", "missing //} for last VELK", -1},
      {"empty PRE", "//{ \"A\" PRE\n//}\n", "bad PRE clause - should not be empty", 2},
      {"PRE with only //++", "//{ \"A\" PRE\n//++x\n//}\n", "bad PRE clause - should not be empty",
       3},
      {"only line not special", "//{ \"A\" PRE\nWAIT\n//}\n",
       "bad PRE clause - only line should be special PRE", 3},
      {"special without blank", "//{ \"A\" PRE\n//[PRE]:WAIT\n//}\n",
       "bad PRE clause - only line should be special PRE", 3},
      {"comment first", "//{ \"A\" PRE\n//[PRE]: WAIT\nPLAY ACTION SIT\n//}\n",
       "bad PRE clause - first line should not be comment", 4},
      {"no suffix", "//{ \"A\" PRE\nWAIT\nPLAY ACTION SIT\n//}\n",
       "bad PRE clause - first line should end in //[PRE]", 4},
      {"suffix alone is too short", "//{ \"A\" PRE\n //[PRE]\nX\n//}\n",
       "bad PRE clause - first line should not be comment", 4},
      {"suffix without blank", "//{ \"A\" PRE\nWAIT//[PRE]\nX\n//}\n",
       "bad PRE clause - first line should end in //[PRE]", 4},
  };
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(c.what);
    const Parsed parsed = parse(c.text);
    EXPECT_FALSE(parsed.ok);
    EXPECT_EQ(parsed.program.errorText, c.errorText);
    EXPECT_EQ(parsed.program.lineNumber, c.lineNumber);
  }
}

TEST(ParseRecords, RecordsBeforeAFailureStay) {
  const Parsed parsed = parse("//{ \"A\"\nX\n//}\n//}\n");
  ASSERT_FALSE(parsed.ok);
  ASSERT_EQ(parsed.program.recordCount(), 1);
  EXPECT_EQ(parsed.program.records[0].lines, std::vector<std::string>{"X"});
}

TEST(ParseRecords, TwoHundredRecordsLoad) {
  const Parsed parsed = parse(records(200));
  ASSERT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.program.recordCount(), 200);
  EXPECT_EQ(parsed.program.records[199].name, "R199");
}

TEST(ParseRecords, LineEndsAllGiveTheSameRecords) {
  const std::vector<std::string> texts = {
      "head\r\n//{ \"A\"\r\n  WAIT\r\n  PLAY ACTION SIT\r\n//}\r\n",
      "head\n//{ \"A\"\n  WAIT\n  PLAY ACTION SIT\n//}\n",
      "head\r\n//{ \"A\"\n  WAIT\r\n  PLAY ACTION SIT\n//}\r\n",
      "head\n//{ \"A\"\n  WAIT\n  PLAY ACTION SIT\n//}",
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    const Parsed parsed = parse(text);
    ASSERT_TRUE(parsed.ok) << parsed.program.errorText;
    ASSERT_EQ(parsed.program.recordCount(), 1);
    EXPECT_EQ(parsed.program.records[0].lines,
              (std::vector<std::string>{"WAIT", "PLAY ACTION SIT"}));
  }
}

TEST(ParseRecords, LoneCarriageReturnStaysInTheLine) {
  const Parsed parsed = parse("//{ \"A\"\nWAIT\rX\r\r\nY\r\n//}");
  ASSERT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.program.records[0].lines, (std::vector<std::string>{"WAIT\rX\r", "Y"}));
}

TEST(ParseRecords, LineLengthLimitIsOnContentWithoutTerminator) {
  const std::string longest(255, 'x');
  for (const char* end : {"\n", "\r\n", ""}) {
    const Parsed parsed = parse("//{ \"A\"\n//}\n" + longest + end);
    EXPECT_TRUE(parsed.ok) << parsed.program.errorText;
  }
  // The CR of a last line without LF counts as a character.
  const Parsed withCr = parse("//{ \"A\"\n//}\n" + longest + "\r");
  EXPECT_FALSE(withCr.ok);
  EXPECT_EQ(withCr.program.errorText, "Line too long");
  EXPECT_EQ(withCr.program.lineNumber, 3);
}

TEST(ParseRecords, OffsetsCoverTheContentBetweenMarkerLines) {
  const std::string text = "head\r\n  //{ \"A\"\r\n  X\r\n\tY\n  //} tail\r\nend";
  const Parsed parsed = parse(text);
  ASSERT_TRUE(parsed.ok);
  const VelkRecord& record = parsed.program.records[0];
  EXPECT_EQ(text.substr(static_cast<std::size_t>(record.contentStart),
                        static_cast<std::size_t>(record.contentLength)),
            "  X\r\n\tY\n");
}

TEST(ParseRecords, EndLineAsLastBytesClosesTheRecord) {
  const Parsed parsed = parse("//{ \"A\"\nX\n//}");
  ASSERT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.program.records[0].contentLength, 2);
}

TEST(ParseRecords, IndentIsKeptAndLinesLoseTheirs) {
  const Parsed parsed = parse("\t  //{ \"Tricks/Roll\"\n \t WAIT  \n\n  // note\n//}\n");
  ASSERT_TRUE(parsed.ok);
  const VelkRecord& record = parsed.program.records[0];
  EXPECT_EQ(record.indent, "\t  ");
  EXPECT_EQ(record.name, "Tricks/Roll");
  EXPECT_EQ(record.lines, (std::vector<std::string>{"WAIT  ", "", "// note"}));
}

TEST(ParseRecords, EmptyNameIsAValidRecord) {
  const Parsed parsed = parse("//{ \"\"\n//}\n");
  ASSERT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.program.records[0].name, "");
  EXPECT_TRUE(parsed.program.records[0].lines.empty());
}

TEST(ParseRecords, OptionsWithPreWordsSetTheBit) {
  struct Case {
    const char* options;
    bool pre;
  };
  const std::vector<Case> cases = {{"", false},       {"PRE", true},     {" PRE", true},
                                   {"PRE PRE", true}, {"  PRE  ", true}, {"\tPRE", true},
                                   {" \t ", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options);
    const Parsed parsed = parse(std::string("//{ \"A\"") + c.options + "\n//[PRE]: WAIT\n//}\n");
    ASSERT_TRUE(parsed.ok) << parsed.program.errorText;
    EXPECT_EQ(parsed.program.records[0].hasPre(), c.pre);
  }
}

TEST(ParseRecords, PreClauseFormsGiveThePreLine) {
  const Parsed only = parse("//{ \"A\" PRE\n  //[PRE]: WAIT\n//}\n");
  ASSERT_TRUE(only.ok);
  EXPECT_EQ(only.program.records[0].preLine, "WAIT");
  EXPECT_TRUE(only.program.records[0].lines.empty());

  const Parsed withLines = parse("//{ \"A\" PRE\n  WAIT //[PRE]\n  PLAY ACTION SIT\n//}\n");
  ASSERT_TRUE(withLines.ok);
  EXPECT_EQ(withLines.program.records[0].preLine, "WAIT");
  EXPECT_EQ(withLines.program.records[0].lines, std::vector<std::string>{"PLAY ACTION SIT"});

  const Parsed emptyPre = parse("//{ \"A\" PRE\n//[PRE]: \n//}\n");
  ASSERT_TRUE(emptyPre.ok);
  EXPECT_EQ(emptyPre.program.records[0].preLine, "");

  const Parsed plain = parse("//{ \"A\"\n//[PRE]: WAIT\n//}\n");
  ASSERT_TRUE(plain.ok);
  EXPECT_FALSE(plain.program.records[0].preLine.has_value());
  EXPECT_EQ(plain.program.records[0].lines, std::vector<std::string>{"//[PRE]: WAIT"});
}

TEST(ParseRecords, SubroutineLinesAreCollectedEverywhere) {
  const Parsed parsed = parse("//++ CALL A // a\n//{ \"A\"\n  //++  CALL B\nWAIT\n//}\n\t//++\n");
  ASSERT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.program.subroutineLines,
            (std::vector<std::string>{" CALL A // a", "  CALL B", ""}));
  const VelkRecord& record = parsed.program.records[0];
  EXPECT_EQ(record.lines, std::vector<std::string>{"WAIT"});
  EXPECT_EQ(record.innerSubroutineLines, std::vector<std::string>{"  CALL B"});
}

TEST(ParseRecords, TextAfterEndMarkerIsNotExamined) {
  const Parsed parsed = parse("//{ \"A\"\n//}}} \"x\" anything\n");
  EXPECT_TRUE(parsed.ok);
}

TEST(ParseRecords, FileWithoutRecordsParses) {
  const Parsed parsed = parse("PLAY ACTION SIT\r\n// {\r\n");
  EXPECT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.program.recordCount(), 0);
}

TEST(ParseRecords, ParsingAgainStartsFresh) {
  Parsed parsed = parse("//++x\n//{ \"A\"\n//}\n");
  ASSERT_TRUE(parsed.ok);
  ASSERT_TRUE(parseRecords(parsed.program));
  EXPECT_EQ(parsed.program.recordCount(), 1);
  EXPECT_EQ(parsed.program.subroutineLines.size(), 1u);
}

}  // namespace
}  // namespace velk7
