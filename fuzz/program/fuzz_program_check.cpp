// Any bytes as a whole program, read and checked: every finding names a line of the program
// and starts with its rule's name, and checking twice gives the same findings.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "velk7/program/checker.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  velk7::program::ActionCatalogue catalogue;
  catalogue.anyFile = true;
  velk7::program::addCatalogueText(catalogue, "SIT 1 0\nHELLO 24001 0 HELLO.WAV\n", "ACTION.CFG");
  const velk7::program::CompiledProgram program =
      velk7::program::compileProgram(velk7::program::readProgramText(text));
  const velk7::program::CheckResult first = velk7::program::checkProgram(program, &catalogue);
  for (const velk7::program::Finding& finding : first.findings) {
    FUZZ_FAIL_IF(finding.line < 1 ||
                 static_cast<std::size_t>(finding.line) > program.source.lines.size());
    FUZZ_FAIL_IF(!finding.text.starts_with(velk7::program::ruleName(finding.rule)));
  }
  for (const velk7::program::Statement& statement : program.statements) {
    const auto count = static_cast<std::int32_t>(program.statements.size());
    FUZZ_FAIL_IF(!statement.unrunnable && statement.target != velk7::program::kNoTarget &&
                 (statement.target < 0 || statement.target > count));
  }
  const velk7::program::CompiledProgram again =
      velk7::program::compileProgram(velk7::program::readProgramText(text));
  FUZZ_FAIL_IF(velk7::program::checkProgram(again, &catalogue).findings != first.findings);
  return 0;
}
