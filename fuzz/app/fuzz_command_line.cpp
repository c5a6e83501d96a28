// velk_mur's command line: any arguments either choose a command, saying nothing, or end the
// run with help or the version on standard output (0), or with a usage error on standard
// error (2). Nothing is run, so no file is touched.
#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "velk_mur/app/cli/src/command_line.h"

// Input: the arguments, separated by NUL bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> arguments;
  std::string argument;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] != 0) {
      argument += static_cast<char>(data[i]);
      continue;
    }
    arguments.push_back(argument);
    argument.clear();
  }
  if (size > 0) arguments.push_back(argument);

  std::ostringstream out;
  std::ostringstream err;
  std::istringstream in;
  velk_mur::CommandLine commandLine;
  velk_mur::registerCommands(commandLine);
  const std::optional<int> ended = commandLine.parse(arguments, {out, err, in});
  const bool outOnly = !out.str().empty() && err.str().empty();
  const bool errOnly = out.str().empty() && !err.str().empty();
  FUZZ_FAIL_IF(!ended && (!out.str().empty() || !err.str().empty()));
  FUZZ_FAIL_IF(ended == velk_mur::kExitSuccess && !outOnly);
  FUZZ_FAIL_IF(ended == velk_mur::kExitUsage && !errOnly);
  FUZZ_FAIL_IF(ended && *ended != velk_mur::kExitSuccess && *ended != velk_mur::kExitUsage);
  return 0;
}
