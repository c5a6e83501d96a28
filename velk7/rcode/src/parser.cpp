// The VELK record syntax: start lines "//{ "name" [PRE ...]", end lines "//}", and
// "//++" lines anywhere, walked one line at a time.
#include <algorithm>

#include "platform/ascii_text.h"
#include "velk7/rcode/program.h"
#include "record_syntax.h"

namespace velk7 {

namespace {

std::size_t skipBlanks(std::string_view text, std::size_t from = 0) {
  return std::min(text.find_first_not_of(platform::kBlanks, from), text.size());
}

// Zero or more words "PRE" separated by blanks or tabs; a PRE followed by a tab is refused.
std::optional<std::uint32_t> parseOptions(std::string_view text) {
  std::uint32_t options = 0;
  std::size_t at = 0;
  while (true) {
    at = skipBlanks(text, at);
    if (at == text.size()) return options;
    const std::string_view rest = text.substr(at);
    if (rest != "PRE" && !rest.starts_with("PRE ")) return std::nullopt;
    options |= kPreOption;
    at += 3;
  }
}

class Parser {
 public:
  explicit Parser(RcodeProgram& program) : program_(program) {}

  ParseResult run() {
    const std::string_view text = program_.text;
    for (std::size_t offset = 0; offset < text.size();) {
      ++result_.lineNumber;
      const platform::TextLine line = platform::lineAt(text, offset);
      offset = line.end;
      const bool accepted = line.content.size() <= kMaxLineLength
                                ? processLine(line.content, line.start, line.end)
                                : fail("Line too long");
      if (!accepted) return result_;
    }
    if (isOpen_) {
      fail("missing //} for last VELK");
      result_.lineNumber = -1;
    }
    return result_;
  }

 private:
  bool processLine(std::string_view line, std::size_t lineStart, std::size_t nextLine) {
    const std::size_t textStart = skipBlanks(line);
    const std::string_view content = line.substr(textStart);
    if (content.starts_with(kStartMarker)) {
      return startRecord(line.substr(0, textStart), content, nextLine);
    }
    if (content.starts_with(kEndMarker)) return endRecord(lineStart);
    if (content.starts_with(kSubroutineMarker)) {
      const std::string_view subroutine = content.substr(kSubroutineMarker.size());
      program_.subroutineLines.emplace_back(subroutine);
      if (VelkRecord* open = openRecord()) open->innerSubroutineLines.emplace_back(subroutine);
      return true;
    }
    VelkRecord* open = openRecord();
    if (open == nullptr) return true;
    if (open->hasPre() && !open->preLine) {
      open->preLine.emplace(content);
    } else {
      open->lines.emplace_back(content);
    }
    return true;
  }

  bool startRecord(std::string_view indent, std::string_view content, std::size_t nextLine) {
    const std::string_view afterMarker = content.substr(kStartMarker.size());
    if (!afterMarker.starts_with(" \"")) return fail("VELK quoted string must be exact syntax");
    const std::string_view quoted = afterMarker.substr(2);
    const std::size_t closingQuote = quoted.find('"');
    if (closingQuote == std::string_view::npos) return fail("VELK must have quoted string");
    if (isOpen_) return fail("Missing //} - nesting not allowed");
    if (program_.records.size() >= static_cast<std::size_t>(kMaxRecords)) {
      return fail("Too many VELK records");
    }
    const std::optional<std::uint32_t> options = parseOptions(quoted.substr(closingQuote + 1));
    if (!options) return fail("Unsupported TAG option/effect");

    VelkRecord& record = program_.records.emplace_back();
    record.contentStart = static_cast<std::int32_t>(nextLine);
    record.contentLength = -1;
    record.name = std::string(quoted.substr(0, closingQuote));
    record.indent = std::string(indent);
    record.options = *options;
    isOpen_ = true;
    return true;
  }

  bool endRecord(std::size_t lineStart) {
    if (!isOpen_) return fail("missing starting //{ for ending //}");
    VelkRecord& record = program_.records.back();
    isOpen_ = false;
    record.contentLength = static_cast<std::int32_t>(lineStart) - record.contentStart;
    if (!record.hasPre()) return true;
    if (!record.preLine) return fail("bad PRE clause - should not be empty");
    const std::string preText = std::move(*record.preLine);
    if (record.lines.empty()) {
      if (!preText.starts_with(kPreComment)) {
        record.preLine = preText;
        return fail("bad PRE clause - only line should be special PRE");
      }
      record.preLine = preText.substr(kPreComment.size());
      return true;
    }
    record.preLine = preText;
    if (preText.starts_with("//")) return fail("bad PRE clause - first line should not be comment");
    if (preText.size() <= kPreSuffix.size() || !preText.ends_with(kPreSuffix)) {
      return fail("bad PRE clause - first line should end in //[PRE]");
    }
    record.preLine = preText.substr(0, preText.size() - kPreSuffix.size());
    return true;
  }

  bool fail(std::string_view reason) {
    result_.errorText = std::string(reason);
    return false;
  }

  // The open record is always the last one, since nesting is refused.
  VelkRecord* openRecord() { return isOpen_ ? &program_.records.back() : nullptr; }

  RcodeProgram& program_;
  ParseResult result_;
  bool isOpen_ = false;
};

}  // namespace

ParseResult parseRecords(RcodeProgram& program) {
  program.records.clear();
  program.subroutineLines.clear();
  return Parser(program).run();
}

}  // namespace velk7
