// Generated programs written and read back: the model survives every save, and the bytes
// outside the records never change.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "stick_fixture.h"
#include "velk7/rcode/code_lines.h"
#include "velk7/rcode/palette.h"

namespace velk7 {
namespace {

class ProgramGenerator {
 public:
  explicit ProgramGenerator(unsigned seed) : random_(seed) {}

  int below(int limit) { return std::uniform_int_distribution<int>(0, limit - 1)(random_); }
  bool chance(int oneIn) { return below(oneIn) == 0; }
  template <typename T>
  const T& pick(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(below(static_cast<int>(items.size())))];
  }

  std::string program() {
    std::string text;
    for (int i = below(12) + 1; i > 0; --i) {
      outsideLines(text);
      record(text);
    }
    outsideLines(text);
    if (chance(3) && text.back() == '\n') {
      text.pop_back();  // a last line without terminator
      if (!text.empty() && text.back() == '\r') text.pop_back();
    }
    return text;
  }

  std::string codeLine() {
    std::string line =
        pick<std::string>({"WAIT", "PLAY ACTION SIT", "PLAY ACTION+ HELLO // HELLO.WAV", "SET x 1",
                           "CALL :A", "// comment", "", "PUSH 2  ", "IF_1ST 1 = 0", "x\ry"});
    // A leading blank would be lost at the next load, as the reader strips indentation.
    if (!line.empty() && chance(2)) line += " " + printable(below(30));
    return line;
  }

 private:
  std::string printable(int length, char avoid = '\0') {
    std::string text;
    for (int i = 0; i < length; ++i) {
      const char c = static_cast<char>(' ' + below(95));
      text.push_back(c == avoid ? '/' : c);
    }
    return text;
  }
  std::string lineEnd() { return chance(2) ? "\r\n" : "\n"; }
  std::string indent() { return pick<std::string>({"", " ", "\t", "  \t", "    "}); }

  void outsideLines(std::string& text) {
    for (int i = below(4); i > 0; --i) {
      if (chance(5)) {
        text += (chance(2) ? "\t//++" : "//++") + printable(below(20)) + lineEnd();
        continue;
      }
      std::string line = "#";  // never a marker line
      for (int j = below(60); j > 0; --j) {
        const char byte = static_cast<char>(below(256));
        line.push_back(byte == '\n' ? '\r' : byte);
      }
      text += line + lineEnd();
    }
  }

  void record(std::string& text) {
    const std::string recordIndent = indent();
    const bool pre = chance(3);
    text += recordIndent + "//{ \"" + printable(below(20), '"') + "\"" + (pre ? " PRE" : "") +
            lineEnd();
    const int lineCount = below(6);
    std::vector<std::string> body;
    for (int i = 0; i < lineCount; ++i) body.push_back(codeLine());
    if (pre) {
      const std::string preText = "SET pre " + printable(below(10));
      body.insert(body.begin(), lineCount == 0 ? "//[PRE]: " + preText : preText + " //[PRE]");
    }
    for (const std::string& line : body) {
      if (chance(6)) text += indent() + "//++" + printable(below(15)) + lineEnd();
      text += indent() + line + lineEnd();
    }
    if (chance(6)) text += indent() + "//++ CALL S // sub" + lineEnd();
    text += recordIndent + "//}" + (chance(3) ? " end of " + printable(below(20)) : "") + lineEnd();
  }

  std::mt19937 random_;
};

// The bytes of the text that lie outside every record's content.
std::string outsideRecords(const RcodeProgram& program) {
  std::string outside;
  std::size_t position = 0;
  for (const VelkRecord& record : program.records) {
    const auto start = static_cast<std::size_t>(record.contentStart);
    outside += program.text.substr(position, start - position) + '\0';  // keeps boundaries
    position = start + static_cast<std::size_t>(record.contentLength);
  }
  return outside + program.text.substr(position);
}

void editRandomly(RcodeProgram& program, ProgramGenerator& generator) {
  for (int i = generator.below(10); i > 0; --i) {
    LineList& lines =
        program.records[static_cast<std::size_t>(generator.below(program.recordCount()))].lines;
    const int count = static_cast<int>(lines.size());
    switch (generator.below(5)) {
      case 0:
        addPart(lines, standardParts[static_cast<std::size_t>(generator.below(17))].part);
        break;
      case 1:
        appendLine(lines, generator.codeLine());
        break;
      case 2:
        deleteLine(lines, generator.below(count + 1));
        break;
      case 3:
        moveLine(lines, generator.below(count + 1), generator.below(count + 2));
        break;
      default:
        if (generator.chance(3)) clearLines(lines);
        break;
    }
  }
}

auto savedFields(const VelkRecord& record) {
  return std::tie(record.name, record.indent, record.options, record.preLine, record.lines,
                  record.innerSubroutineLines);
}

TEST(RoundTripProperty, GeneratedProgramsSurviveEditsAndSaves) {
  for (unsigned seed = 1; seed <= 200; ++seed) {
    SCOPED_TRACE(seed);
    ProgramGenerator generator(seed);
    RcodeProgram original = testing::parsed(generator.program());
    ASSERT_GT(original.recordCount(), 0);
    editRandomly(original, generator);

    const std::string saved = testing::written(original);
    const RcodeProgram reloaded = testing::parsed(saved);
    ASSERT_EQ(reloaded.recordCount(), original.recordCount());
    for (std::size_t i = 0; i < original.records.size(); ++i) {
      EXPECT_EQ(savedFields(reloaded.records[i]), savedFields(original.records[i])) << i;
    }
    EXPECT_EQ(reloaded.subroutineLines, original.subroutineLines);
    EXPECT_EQ(outsideRecords(reloaded), outsideRecords(original));
    EXPECT_EQ(testing::written(reloaded), saved);
  }
}

}  // namespace
}  // namespace velk7
