#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stick_fixture.h"
#include "tests/support/prefix_failures.h"
#include "velk7/rcode/code_lines.h"
#include "velk7/rcode/program.h"
#include "velk7/rcode/program_writer.h"

namespace velk7 {
namespace {

using testing::parsed;
using testing::written;

// What is read and written back: record lines get the record's indent and CR LF, everything
// else is copied. The example stick's program and the fuzz corpus round trips show more.
TEST(WriteProgram, RecordContentIsRegeneratedWithIndentAndCrLf) {
  const std::string x255(255, 'x');  // the longest line the reader takes
  const std::pair<std::string, std::string> cases[] = {
      {"a\n\t//{ \"A\"\n    X\n\t\tY  \r\n\n\t//}\nb\n",
       "a\n\t//{ \"A\"\n\t  X\r\n\t  Y  \r\n\t  \r\n\t//}\nb\n"},
      {"//{ \"A\"\nWAIT\rX\r\r\nY\r\n//}}} \"x\"\n" + x255,
       "//{ \"A\"\n  WAIT\rX\r\r\n  Y\r\n//}}} \"x\"\n" + x255},
      {"//{ \"A\" PRE\n WAIT //[PRE]\n//++ CALL S // s\nX\n//}\n" + x255 + "\r\n",
       "//{ \"A\" PRE\n  WAIT //[PRE]\r\n  //++ CALL S // s\r\n  X\r\n//}\n" + x255 + "\r\n"},
      {"h\n//{ \"A\"\n//[PRE]: WAIT\nX\n//}", "h\n//{ \"A\"\n  //[PRE]: WAIT\r\n  X\r\n//}"},
      {"//{ \"A\" PRE\n//[PRE]: \n//}\n", "//{ \"A\" PRE\n  //[PRE]: \r\n//}\n"}};
  for (const auto& [text, expected] : cases) EXPECT_EQ(written(parsed(text)), expected) << text;
}

// With all lines deleted a PRE record keeps its PRE line in the form without code lines;
// adding lines brings back the other form. (The example stick has a record without lines.)
TEST(WriteProgram, DeletingAllLinesSwitchesThePreForm) {
  RcodeProgram program = parsed("//{ \"A\" PRE\n  WAIT //[PRE]\n  X\n  Y\n//}\n");
  program.records[0].lines.clear();
  EXPECT_EQ(written(program), "//{ \"A\" PRE\n  //[PRE]: WAIT\r\n//}\n");
  addPart(program.records[0].lines, "PLAY ACTION SIT\377WAIT");
  EXPECT_EQ(written(program),
            "//{ \"A\" PRE\n  WAIT //[PRE]\r\n  PLAY ACTION SIT\r\n  WAIT\r\n//}\n");
}

TEST(WriteProgram, FailsAtAFailedWriteAtAnyByte) {
  const RcodeProgram program = parsed("head\n//{ \"A\"\nX\n//}\ntail\n");
  testing_support::expectEveryPrefixFails(
      [&](platform::ByteSink& sink) { return writeProgram(program, sink); });
}

// Lines from edits that the reader would not take back refuse the whole save; the longest
// line that fits (255 once indented) is written.
TEST(WriteProgram, RefusesLinesTheReaderWouldNotTakeBack) {
  const std::string lines[] = {
      std::string(253, 'x'), std::string(254, 'x'), "//{ \"B\"", " \t//} x", "//++ CALL X", "A\nB"};
  for (const std::string& line : lines) {
    RcodeProgram program = parsed("//{ \"A\"\n//}\n");
    appendLine(program.records[0].lines, "WAIT");
    appendLine(program.records[0].lines, line);
    const bool fits = line.size() == 253;
    const std::optional<UnwritableLine> found = findUnwritableLine(program);
    EXPECT_EQ(found ? found->line : "(none)", fits ? "(none)" : "  " + line);
    platform::MemorySink sink;
    EXPECT_EQ(writeProgram(program, sink), fits) << line;
    EXPECT_EQ(sink.bytes().empty(), !fits) << line;
  }
  // A comment PRE line can stand alone, but not once code lines are added.
  RcodeProgram program = parsed("//{ \"A\" PRE\n//[PRE]: // just a note\n//}\n");
  EXPECT_FALSE(findUnwritableLine(program).has_value());
  appendLine(program.records[0].lines, "WAIT");
  const std::optional<UnwritableLine> found = findUnwritableLine(program);
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->line, "  // just a note //[PRE]");
}

}  // namespace
}  // namespace velk7
