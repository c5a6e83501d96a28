#pragma once
// The checks of a whole program: what the robot cannot run (errors) and what it runs but is
// likely wrong (warnings), each with its line.
#include <string>
#include <vector>

#include "velk7/program/action_catalogue.h"
#include "velk7/program/statements.h"

namespace velk7::program {

struct CheckResult {
  std::vector<Finding> findings;   // by line, errors before warnings on one line
  std::vector<std::string> notes;  // what could not be checked, and why
  int errors() const;
  int warnings() const;
};

// `catalogue` null: PLAY lines are not checked against the stick.
CheckResult checkProgram(const CompiledProgram& program, const ActionCatalogue* catalogue);

// "Line 12: error: ..." lines for a question put to the owner.
std::string describeErrors(const CheckResult& result, std::size_t atMost);

}  // namespace velk7::program
