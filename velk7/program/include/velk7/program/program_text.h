#pragma once
// The whole R-CODE program as the robot reads it: every line with its number, its kind
// (blank, comment, label or command) and its words. Words are separated by colons, blanks
// and tabs alike, runs of them counting as one; a double-quoted text is one word. The VELK
// records are part of the same lines: each line knows the record it lies in.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "velk7/rcode/program.h"

namespace velk7::program {

// The robot reads a line of at most this many bytes, its comment and line end included.
inline constexpr std::size_t kRobotLineLimit = 127;
// A line end counts as one byte: the robot's line feed (a carriage return before it is not
// counted, the more permissive of the two readings of the limit).
inline constexpr std::size_t kLineEndBytes = 1;

enum class LineType : std::uint8_t { Blank, Comment, Label, Command };

struct Word {
  std::uint32_t offset = 0;  // in the program's text; a quoted word includes its quotes
  std::uint32_t length = 0;
};

struct ProgramLine {
  std::uint32_t start = 0;      // offset of the line's first byte
  std::uint32_t length = 0;     // without the line end
  std::uint32_t firstWord = 0;  // index into ProgramText::words
  std::uint32_t wordCount = 0;  // a label line has one word: the label's name
  std::int32_t record = -1;     // the VELK record whose lines include this one, or -1
  LineType type = LineType::Blank;
  bool hasLineEnd = false;
  bool marker = false;  // a VELK record's start, end or "//++" line

  // Bytes the robot counts against kRobotLineLimit.
  std::size_t robotLength() const { return length + (hasLineEnd ? kLineEndBytes : 0); }
};

struct ProgramText {
  std::string_view text;           // the program's bytes; they must outlive this
  std::vector<ProgramLine> lines;  // line N is lines[N - 1]
  std::vector<Word> words;

  std::string_view wordText(const Word& word) const {
    return text.substr(word.offset, word.length);
  }
  std::span<const Word> wordsOf(const ProgramLine& line) const {
    return std::span<const Word>(words).subspan(line.firstWord, line.wordCount);
  }
};

// Splits the text into lines and words. Never fails: every byte sequence is some program.
ProgramText readProgramText(std::string_view text);

// As above, and marks the lines of each record found by velk7's record reader.
ProgramText readProgramText(const RcodeProgram& rcode);

// The bytes a line would count against the limit when written with `indent` before it.
std::size_t robotLineLength(std::string_view indent, std::string_view line);

}  // namespace velk7::program
