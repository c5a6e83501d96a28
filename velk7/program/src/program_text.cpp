#include "velk7/program/program_text.h"

#include <cstring>

namespace velk7::program {

namespace {

bool isAlphanumeric(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool isSeparator(char c) {
  return c == ' ' || c == '\t' || c == ':' || c == '\r';
}

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

class LineReader {
 public:
  explicit LineReader(ProgramText& program) : program_(program) {}

  void read() {
    const std::string_view text = program_.text;
    program_.words.reserve(text.size() / 6);
    program_.lines.reserve(text.size() / 24);
    std::size_t offset = 0;
    while (offset < text.size()) {
      const void* found = std::memchr(text.data() + offset, '\n', text.size() - offset);
      const std::size_t feed =
          found == nullptr ? text.size() : static_cast<const char*>(found) - text.data();
      std::size_t end = feed;
      if (found != nullptr && end > offset && text[end - 1] == '\r') --end;
      ProgramLine& line = program_.lines.emplace_back();
      line.start = static_cast<std::uint32_t>(offset);
      line.length = static_cast<std::uint32_t>(end - offset);
      line.hasLineEnd = found != nullptr;
      line.firstWord = static_cast<std::uint32_t>(program_.words.size());
      classify(line, offset, end);
      offset = found == nullptr ? text.size() : feed + 1;
    }
  }

 private:
  void classify(ProgramLine& line, std::size_t from, std::size_t end) {
    const std::string_view text = program_.text;
    std::size_t at = from;
    while (at < end && isBlank(text[at])) ++at;
    if (at == end) return;
    const char first = text[at];
    if (first == ':') {
      line.type = LineType::Label;
      // Only the name counts; anything after it on the line is not read.
      ++at;
      while (at < end && isSeparator(text[at])) ++at;
      std::size_t nameEnd = at;
      while (nameEnd < end && !isSeparator(text[nameEnd]) &&
             !(text[nameEnd] == '/' && nameEnd + 1 < end && text[nameEnd + 1] == '/')) {
        ++nameEnd;
      }
      if (nameEnd > at) addWord(line, at, nameEnd);
      return;
    }
    if (!isAlphanumeric(first)) {
      line.type = LineType::Comment;
      const std::string_view rest = text.substr(at, end - at);
      line.marker = rest.starts_with("//{") || rest.starts_with("//}") || rest.starts_with("//++");
      return;
    }
    line.type = LineType::Command;
    splitWords(line, at, end);
  }

  void splitWords(ProgramLine& line, std::size_t at, std::size_t end) {
    const std::string_view text = program_.text;
    while (at < end) {
      const char c = text[at];
      if (isSeparator(c)) {
        ++at;
        continue;
      }
      if (c == '/' && at + 1 < end && text[at + 1] == '/') return;
      const std::size_t wordStart = at;
      if (c == '"') {
        const void* closing = std::memchr(text.data() + at + 1, '"', end - at - 1);
        at = closing == nullptr ? end : static_cast<const char*>(closing) - text.data() + 1;
      } else {
        while (at < end && !isSeparator(text[at]) &&
               !(text[at] == '/' && at + 1 < end && text[at + 1] == '/')) {
          ++at;
        }
      }
      addWord(line, wordStart, at);
    }
  }

  void addWord(ProgramLine& line, std::size_t from, std::size_t to) {
    program_.words.push_back(
        Word{static_cast<std::uint32_t>(from), static_cast<std::uint32_t>(to - from)});
    ++line.wordCount;
  }

  ProgramText& program_;
};

}  // namespace

ProgramText readProgramText(std::string_view text) {
  ProgramText program;
  program.text = text;
  LineReader(program).read();
  return program;
}

ProgramText readProgramText(const RcodeProgram& rcode) {
  ProgramText program = readProgramText(rcode.text);
  // A record's lines run from its start line (which ends where its content starts) to its
  // end line (which starts where its content ends).
  std::size_t record = 0;
  for (ProgramLine& line : program.lines) {
    while (record < rcode.records.size()) {
      const VelkRecord& current = rcode.records[record];
      const std::int64_t contentEnd =
          current.contentLength < 0 ? static_cast<std::int64_t>(rcode.text.size())
                                    : std::int64_t{current.contentStart} + current.contentLength;
      if (line.start <= contentEnd) break;
      ++record;
    }
    if (record == rcode.records.size()) break;
    const VelkRecord& current = rcode.records[record];
    // The start line's end (a line feed, perhaps after a carriage return) reaches the content.
    const std::int64_t lineEnd = std::int64_t{line.start} + line.length + 2;
    const std::int64_t lineStart = line.start;
    const bool isStartLine = lineEnd >= current.contentStart && lineStart < current.contentStart;
    if (isStartLine || line.start >= static_cast<std::uint32_t>(current.contentStart)) {
      line.record = static_cast<std::int32_t>(record);
    }
  }
  return program;
}

std::size_t robotLineLength(std::string_view indent, std::string_view line) {
  return indent.size() + line.size() + kLineEndBytes;
}

}  // namespace velk7::program
