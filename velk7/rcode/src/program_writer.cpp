#include "velk7/rcode/program_writer.h"

#include <string_view>

#include "record_syntax.h"

namespace velk7 {

namespace {

constexpr std::string_view kLineIndent = "  ";
constexpr std::string_view kLineEnd = "\r\n";

std::string preText(const VelkRecord& record) {
  if (record.lines.empty()) return std::string(kPreComment) + *record.preLine;
  return *record.preLine + std::string(kPreSuffix);
}

// Every line the writer regenerates for a record, in order, without indentation.
template <typename Visit>
bool forEachRegeneratedLine(const VelkRecord& record, Visit visit) {
  if (record.preLine && !visit(preText(record))) return false;
  for (const std::string& subroutine : record.innerSubroutineLines) {
    if (!visit(std::string(kSubroutineMarker) + subroutine)) return false;
  }
  for (const std::string& line : record.lines) {
    if (!visit(line)) return false;
  }
  return true;
}

bool readsBack(const VelkRecord& record, std::string_view line, bool isPre, bool isSubroutine) {
  if (record.indent.size() + kLineIndent.size() + line.size() > kMaxLineLength) return false;
  if (line.find('\n') != std::string_view::npos) return false;
  if (isSubroutine) return true;
  if (looksLikeMarker(line)) return false;
  // The reader refuses a PRE line that begins with "//" while code lines follow it.
  return !(isPre && !record.lines.empty() && platform::trimLeadingBlanks(line).starts_with("//"));
}

bool writeBytes(platform::ByteSink& sink, std::string_view text) {
  return text.empty() || sink.writeText(text);
}

}  // namespace

std::optional<UnwritableLine> findUnwritableLine(const RcodeProgram& program) {
  for (std::size_t index = 0; index < program.records.size(); ++index) {
    const VelkRecord& record = program.records[index];
    std::optional<UnwritableLine> found;
    std::size_t position = 0;
    const std::size_t subroutineEnd = (record.preLine ? 1 : 0) + record.innerSubroutineLines.size();
    forEachRegeneratedLine(record, [&](const std::string& line) {
      const bool isPre = record.preLine && position == 0;
      const bool isSubroutine = !isPre && position < subroutineEnd;
      ++position;
      if (readsBack(record, line, isPre, isSubroutine)) return true;
      found =
          UnwritableLine{static_cast<int>(index), record.indent + std::string(kLineIndent) + line};
      return false;
    });
    if (found) return found;
  }
  return std::nullopt;
}

bool writeProgram(const RcodeProgram& program, platform::ByteSink& sink) {
  if (findUnwritableLine(program)) return false;
  const std::string_view text = program.text;
  std::size_t position = 0;
  std::string content;
  for (const VelkRecord& record : program.records) {
    const auto contentStart = static_cast<std::size_t>(record.contentStart);
    if (contentStart > position &&
        !writeBytes(sink, text.substr(position, contentStart - position))) {
      return false;
    }
    content.clear();
    forEachRegeneratedLine(record, [&](const std::string& line) {
      content.append(record.indent).append(kLineIndent).append(line).append(kLineEnd);
      return true;
    });
    if (!writeBytes(sink, content)) return false;
    position = contentStart + static_cast<std::size_t>(record.contentLength);
  }
  if (position < text.size() && !writeBytes(sink, text.substr(position))) return false;
  return true;
}

}  // namespace velk7
