#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "velk7/rcode/code_lines.h"
#include "velk7/rcode/program.h"
#include "velk7/rcode/program_writer.h"

namespace velk7 {
namespace {

RcodeProgram parsed(std::string text) {
  RcodeProgram program;
  program.text = std::move(text);
  EXPECT_TRUE(parseRecords(program)) << program.errorText;
  return program;
}

std::string written(const RcodeProgram& program) {
  platform::MemorySink sink;
  EXPECT_TRUE(writeProgram(program, sink));
  return std::string(sink.bytes().begin(), sink.bytes().end());
}

TEST(WriteProgram, CanonicalFileSavesToIdenticalBytes) {
  const std::string text =
      "// program\r\nSTART\r\n//{ \"Events/Pat\"\r\n  PLAY ACTION SIT\r\n  WAIT\r\n//}\r\n"
      "mid\n//{ \"Pre\" PRE\r\n  WAIT //[PRE]\r\n  PLAY ACTION+ HELLO // HELLO.WAV\r\n//}\r\n"
      "//{ \"Empty\"\r\n//}\r\n//{ \"PreOnly\" PRE\r\n  //[PRE]: SET x 1\r\n//} end\r\nEND";
  EXPECT_EQ(written(parsed(text)), text);
}

TEST(WriteProgram, RecordContentIsRegeneratedWithIndentAndCrLf) {
  const RcodeProgram program = parsed("a\n\t//{ \"A\"\n    X\n\t\tY  \r\n\n\t//}\nb\n");
  EXPECT_EQ(written(program), "a\n\t//{ \"A\"\n\t  X\r\n\t  Y  \r\n\t  \r\n\t//}\nb\n");
}

TEST(WriteProgram, PreRecordSwitchesFormWhenAllLinesAreDeleted) {
  RcodeProgram program = parsed("//{ \"A\" PRE\n  WAIT //[PRE]\n  X\n  Y\n//}\n");
  EXPECT_EQ(written(program), "//{ \"A\" PRE\n  WAIT //[PRE]\r\n  X\r\n  Y\r\n//}\n");
  clearLines(program.records[0].lines);
  EXPECT_EQ(written(program), "//{ \"A\" PRE\n  //[PRE]: WAIT\r\n//}\n");
  addPart(program.records[0].lines,
          "PLAY ACTION SIT\xFF"
          "WAIT");
  EXPECT_EQ(written(program),
            "//{ \"A\" PRE\n  WAIT //[PRE]\r\n  PLAY ACTION SIT\r\n  WAIT\r\n//}\n");
}

TEST(WriteProgram, DeletingAllLinesOfAPlainRecordLeavesOnlyMarkers) {
  RcodeProgram program = parsed("x\r\n  //{ \"A\"\r\n    X\r\n  //}\r\ny");
  clearLines(program.records[0].lines);
  EXPECT_EQ(written(program), "x\r\n  //{ \"A\"\r\n  //}\r\ny");
}

TEST(WriteProgram, BytesOutsideRecordsAreCopiedExactly) {
  std::string low;
  std::string high;
  for (int byte = 0; byte < 128; ++byte) {
    if (byte != '\n') low.push_back(static_cast<char>(byte));
    high.push_back(static_cast<char>(byte + 128));
  }
  const std::string text =
      low + "\n" + high + "\n//{ \"A\"\nX\n//}\xFF\x80\n" + low + "\r\r\n" + high;
  const RcodeProgram program = parsed(text);
  EXPECT_EQ(written(program),
            low + "\n" + high + "\n//{ \"A\"\n  X\r\n//}\xFF\x80\n" + low + "\r\r\n" + high);
}

TEST(WriteProgram, SubroutineLinesInsideARecordSurvive) {
  RcodeProgram program = parsed("//{ \"A\" PRE\n WAIT //[PRE]\n//++ CALL S // s\nX\n//}\n");
  const std::string out = written(program);
  EXPECT_EQ(out, "//{ \"A\" PRE\n  WAIT //[PRE]\r\n  //++ CALL S // s\r\n  X\r\n//}\n");
  RcodeProgram again = parsed(out);
  EXPECT_EQ(again.subroutineLines, program.subroutineLines);
  EXPECT_EQ(again.records[0].lines, program.records[0].lines);
}

TEST(WriteProgram, StopsAtTheFirstFailingWrite) {
  const RcodeProgram program = parsed("head\n//{ \"A\"\nX\n//}\ntail\n");
  const std::size_t full = written(program).size();
  for (std::size_t limit = 0; limit < full; ++limit) {
    platform::FailingSink sink(limit);
    EXPECT_FALSE(writeProgram(program, sink)) << limit;
    EXPECT_EQ(program.records[0].lines, std::vector<std::string>{"X"});
  }
  platform::FailingSink enough(full);
  EXPECT_TRUE(writeProgram(program, enough));
}

TEST(WriteProgram, RefusesLinesTheReaderWouldNotTakeBack) {
  struct Case {
    const char* what;
    std::string line;
  };
  const std::vector<Case> cases = {
      {"too long once indented", std::string(254, 'x')},
      {"start marker", "//{ \"B\""},
      {"end marker after blanks", " \t//} x"},
      {"subroutine marker", "//++ CALL X"},
      {"line feed inside", "A\nB"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RcodeProgram program = parsed("//{ \"A\"\n//}\n");
    appendLine(program.records[0].lines, "WAIT");
    appendLine(program.records[0].lines, c.line);
    const std::optional<UnwritableLine> found = findUnwritableLine(program);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->record, 0);
    EXPECT_EQ(found->line, "  " + c.line);
    platform::MemorySink sink;
    EXPECT_FALSE(writeProgram(program, sink));
    EXPECT_TRUE(sink.bytes().empty());
  }
}

TEST(WriteProgram, RefusesACommentPreLineOnceCodeLinesAreAdded) {
  RcodeProgram program = parsed("//{ \"A\" PRE\n//[PRE]: // just a note\n//}\n");
  EXPECT_FALSE(findUnwritableLine(program).has_value());
  appendLine(program.records[0].lines, "WAIT");
  ASSERT_TRUE(findUnwritableLine(program).has_value());
  EXPECT_EQ(findUnwritableLine(program)->line, "  // just a note //[PRE]");
}

TEST(WriteProgram, LongestLineThatFitsIsWritten) {
  RcodeProgram program = parsed("//{ \"A\"\n//}\n");
  appendLine(program.records[0].lines, std::string(253, 'x'));
  EXPECT_FALSE(findUnwritableLine(program).has_value());
  RcodeProgram again = parsed(written(program));
  EXPECT_EQ(again.records[0].lines, program.records[0].lines);
}

}  // namespace
}  // namespace velk7
