// Generated programs written and read back: the model survives every save, and the bytes
// outside the records never change.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "velk7/rcode/code_lines.h"
#include "velk7/rcode/palette.h"
#include "velk7/rcode/program.h"
#include "velk7/rcode/program_writer.h"

namespace velk7 {
namespace {

class ProgramGenerator {
 public:
  explicit ProgramGenerator(unsigned seed) : random_(seed) {}

  std::string program() {
    std::string text;
    const int recordCount = below(12) + 1;
    for (int i = 0; i < recordCount; ++i) {
      outsideLines(text);
      record(text);
    }
    outsideLines(text);
    if (chance(3) && !text.empty() && text.back() == '\n') {
      text.pop_back();  // a last line without terminator
      if (!text.empty() && text.back() == '\r') text.pop_back();
    }
    return text;
  }

  int below(int limit) { return std::uniform_int_distribution<int>(0, limit - 1)(random_); }
  bool chance(int oneIn) { return below(oneIn) == 0; }

  std::string codeLine() {
    static const std::vector<std::string> samples = {
        "WAIT",    "PLAY ACTION SIT", "PLAY ACTION+ HELLO // HELLO.WAV",
        "SET x 1", "CALL :A",         "// comment",
        "",        "PUSH 2  ",        "IF_1ST 1 = 0",
        "x\ry"};
    std::string line = samples[static_cast<std::size_t>(below(static_cast<int>(samples.size())))];
    // A leading blank would be lost at the next load, as the reader strips indentation.
    if (!line.empty() && chance(2)) line += " " + printable(below(30));
    return line;
  }

 private:
  std::string printable(int length) {
    std::string text;
    for (int i = 0; i < length; ++i) text.push_back(static_cast<char>(' ' + below(95)));
    return text;
  }

  std::string lineEnd() { return chance(2) ? "\r\n" : "\n"; }

  void outsideLines(std::string& text) {
    const int count = below(4);
    for (int i = 0; i < count; ++i) {
      if (chance(5)) {
        text += std::string(chance(2) ? "\t" : "") + "//++" + printable(below(20)) + lineEnd();
        continue;
      }
      std::string line = "#";  // never a marker line
      const int length = below(60);
      for (int j = 0; j < length; ++j) {
        char byte = static_cast<char>(below(256));
        if (byte == '\n') byte = '\r';
        line.push_back(byte);
      }
      text += line + lineEnd();
    }
  }

  std::string indent() {
    static const std::vector<std::string> indents = {"", " ", "\t", "  \t", "    "};
    return indents[static_cast<std::size_t>(below(static_cast<int>(indents.size())))];
  }

  std::string name() {
    std::string text;
    const int length = below(20);
    for (int i = 0; i < length; ++i) {
      char c = static_cast<char>(' ' + below(95));
      if (c == '"') c = '/';
      text.push_back(c);
    }
    return text;
  }

  void record(std::string& text) {
    const std::string recordIndent = indent();
    const bool pre = chance(3);
    text += recordIndent + "//{ \"" + name() + "\"" + (pre ? " PRE" : "") + lineEnd();
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
    text += recordIndent + "//}" + (chance(3) ? " end of " + name() : "") + lineEnd();
  }

  std::mt19937 random_;
};

// The bytes of the text that lie outside every record's content.
std::string outsideRecords(const RcodeProgram& program) {
  std::string outside;
  std::size_t position = 0;
  for (const VelkRecord& record : program.records) {
    const auto start = static_cast<std::size_t>(record.contentStart);
    outside += program.text.substr(position, start - position);
    outside += '\0';  // keeps record boundaries in the comparison
    position = start + static_cast<std::size_t>(record.contentLength);
  }
  return outside + program.text.substr(position);
}

void editRandomly(RcodeProgram& program, ProgramGenerator& generator) {
  const int edits = generator.below(10);
  for (int i = 0; i < edits; ++i) {
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

TEST(RoundTripProperty, GeneratedProgramsSurviveEditsAndSaves) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    SCOPED_TRACE(seed);
    ProgramGenerator generator(seed);
    RcodeProgram original;
    original.text = generator.program();
    ASSERT_TRUE(parseRecords(original)) << original.errorText << " line " << original.lineNumber;
    editRandomly(original, generator);

    platform::MemorySink sink;
    ASSERT_TRUE(writeProgram(original, sink));
    RcodeProgram reloaded;
    reloaded.text.assign(sink.bytes().begin(), sink.bytes().end());
    ASSERT_TRUE(parseRecords(reloaded)) << reloaded.errorText << " line " << reloaded.lineNumber;

    ASSERT_EQ(reloaded.recordCount(), original.recordCount());
    for (std::size_t i = 0; i < original.records.size(); ++i) {
      const VelkRecord& before = original.records[i];
      const VelkRecord& after = reloaded.records[i];
      EXPECT_EQ(after.name, before.name);
      EXPECT_EQ(after.indent, before.indent);
      EXPECT_EQ(after.options, before.options);
      EXPECT_EQ(after.preLine, before.preLine);
      EXPECT_EQ(after.lines, before.lines);
      EXPECT_EQ(after.innerSubroutineLines, before.innerSubroutineLines);
    }
    EXPECT_EQ(reloaded.subroutineLines, original.subroutineLines);
    EXPECT_EQ(outsideRecords(reloaded), outsideRecords(original));

    platform::MemorySink again;
    ASSERT_TRUE(writeProgram(reloaded, again));
    EXPECT_EQ(again.bytes(), sink.bytes());
  }
}

}  // namespace
}  // namespace velk7
