#include "program_check.h"

#include "platform/byte_sink.h"
#include "velk7/program/program_text.h"
#include "velk7/rcode/catalogue.h"
#include "velk7/rcode/code_lines.h"
#include "velk7/rcode/program_writer.h"

namespace velk7 {

namespace {

// The indentation the writer gives a record's lines.
constexpr std::string_view kLineIndent = "  ";

std::string findingLine(const program::Finding& finding) {
  return "Line " + std::to_string(finding.line) + ": " +
         (finding.severity() == program::Severity::Error ? "error: " : "warning: ") + finding.text;
}

// The action a play line names, or the line itself.
std::string_view actionOf(std::string_view line) {
  std::string_view cursor = line;
  const std::optional<std::string_view> command = nextField(cursor);
  const std::optional<std::string_view> verb = nextField(cursor);
  const std::optional<std::string_view> name = nextField(cursor);
  if (command == "PLAY" && verb && name) return *name;
  return line;
}

}  // namespace

std::optional<std::string> textToSave(const RcodeProgram& program) {
  platform::MemorySink sink;
  if (!writeProgram(program, sink)) return std::nullopt;
  return std::string(sink.bytes().begin(), sink.bytes().end());
}

program::CheckResult checkText(const std::string& text, const std::filesystem::path& programPath) {
  const program::CompiledProgram compiled =
      program::compileProgram(program::readProgramText(std::string_view(text)));
  const program::ActionCatalogue catalogue = program::readActionCatalogue(programPath);
  return program::checkProgram(compiled, &catalogue);
}

bool confirmSave(const program::CheckResult& result, platform::Messenger& messenger) {
  const int errors = result.errors();
  if (errors == 0) return true;
  const std::string question = "The robot cannot run this program (" + std::to_string(errors) +
                               (errors == 1 ? " error" : " errors") + "):\n" +
                               program::describeErrors(result, kErrorsShownAtMost) + "\n" +
                               std::string(kSaveAnywayQuestion);
  return messenger.ask(question);
}

std::string checkReport(const program::CheckResult& result) {
  if (result.findings.empty()) {
    std::string text = "No errors and no warnings: the robot can run this program.";
    for (const std::string& note : result.notes) text += "\n" + note;
    return text;
  }
  const int errors = result.errors();
  const int warnings = result.warnings();
  std::string text = std::to_string(errors) + (errors == 1 ? " error, " : " errors, ") +
                     std::to_string(warnings) + (warnings == 1 ? " warning" : " warnings") + "\n";
  std::size_t shown = 0;
  for (const program::Finding& finding : result.findings) {
    if (shown++ == 2 * kErrorsShownAtMost) {
      text += "... (velk7 check lists them all)\n";
      break;
    }
    text += findingLine(finding) + "\n";
  }
  for (const std::string& note : result.notes) text += note + "\n";
  return text;
}

std::optional<std::string> partTooLong(const VelkRecord& record, std::string_view part) {
  const std::string indent = record.indent + std::string(kLineIndent);
  LineList lines;
  addPart(lines, part);
  for (const std::string& line : lines) {
    const std::size_t length = program::robotLineLength(indent, line);
    if (length <= program::kRobotLineLimit) continue;
    return "Cannot add " + std::string(actionOf(line)) + ": its line would be " +
           std::to_string(length) + " bytes long, and the robot reads lines of at most " +
           std::to_string(program::kRobotLineLimit) +
           " bytes (comment and line end included).\nGive the action a shorter name.";
  }
  return std::nullopt;
}

}  // namespace velk7
