#include "velk7/program/program_commands.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <ostream>
#include <vector>

#include "platform/path_text.h"
#include "velk7/program/checker.h"
#include "velk7/program/interpreter.h"
#include "velk7/rcode/program.h"

namespace velk7::program {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kCheckUsage = "Usage: velk7 check [PATH]\n";
constexpr std::string_view kRunUsage =
    "Usage: velk7 run [PATH] [--for SECONDS] [--at TIME:VARIABLE=VALUE]... [--seed N]\n";

struct Loaded {
  fs::path path;
  std::string shownPath;
  RcodeProgram program;
};

// The program at PATH (or where velk7 looks by default) with its records marked. A record
// syntax problem does not stop a check: the robot does not read the records.
std::optional<Loaded> load(const std::optional<std::string>& given, const fs::path& currentFolder,
                           std::ostream& err) {
  Loaded loaded;
  loaded.path = locateProgram(given.value_or(""), currentFolder);
  loaded.shownPath = given ? *given : platform::pathToText(loaded.path);
  if (!loadProgram(loaded.program, loaded.path)) {
    err << "velk7: cannot read " << platform::pathToText(loaded.path) << '\n';
    return std::nullopt;
  }
  parseRecords(loaded.program);
  return loaded;
}

template <typename T>
std::optional<T> parseWhole(std::string_view text) {
  T value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<double> parseSeconds(std::string_view text) {
  // from_chars for double is not everywhere yet; digits, one point, digits.
  const std::size_t point = text.find('.');
  const std::optional<std::int64_t> whole = parseWhole<std::int64_t>(
      text.substr(0, point == std::string_view::npos ? text.size() : point));
  if (!whole || *whole < 0 || text.empty() || text[0] == '-' || text[0] == '+') return std::nullopt;
  double seconds = static_cast<double>(*whole);
  if (point != std::string_view::npos) {
    const std::string_view fraction = text.substr(point + 1);
    if (fraction.empty() || fraction.size() > 9 || !parseWhole<std::int64_t>(fraction) ||
        fraction[0] == '-' || fraction[0] == '+') {
      return std::nullopt;
    }
    seconds += static_cast<double>(*parseWhole<std::int64_t>(fraction)) /
               std::pow(10.0, static_cast<double>(fraction.size()));
  }
  return seconds;
}

struct Input {
  std::int64_t tick = 0;
  std::string variable;
  std::int32_t value = 0;
};

std::optional<Input> parseInput(std::string_view text) {
  const std::size_t colon = text.find(':');
  const std::size_t equals = text.find('=');
  if (colon == std::string_view::npos || equals == std::string_view::npos || equals < colon) {
    return std::nullopt;
  }
  const std::optional<double> seconds = parseSeconds(text.substr(0, colon));
  const std::string_view name = text.substr(colon + 1, equals - colon - 1);
  const std::optional<std::int32_t> value = parseWhole<std::int32_t>(text.substr(equals + 1));
  if (!seconds || name.empty() || !value) return std::nullopt;
  return Input{static_cast<std::int64_t>(std::ceil(*seconds / kTickSeconds - 1e-9)),
               std::string(name), *value};
}

}  // namespace

int runCheckCommand(std::span<const std::string> arguments, const fs::path& currentFolder,
                    std::ostream& out, std::ostream& err) {
  std::optional<std::string> path;
  for (const std::string& argument : arguments) {
    if (argument.starts_with("-") || path) {
      err << "velk7 check: unexpected " << argument << '\n' << kCheckUsage;
      return kCommandUsage;
    }
    path = argument;
  }
  const std::optional<Loaded> loaded = load(path, currentFolder, err);
  if (!loaded) return kCommandUsage;
  const CompiledProgram compiled = compileProgram(readProgramText(loaded->program));
  const ActionCatalogue catalogue = readActionCatalogue(loaded->path);
  const CheckResult result = checkProgram(compiled, &catalogue);
  for (const std::string& note : result.notes) err << "velk7 check: " << note << '\n';
  for (const Finding& finding : result.findings) {
    out << loaded->shownPath << ':' << finding.line << ": "
        << (finding.severity() == Severity::Error ? "error" : "warning") << ": " << finding.text
        << '\n';
  }
  const int errors = result.errors();
  const int warnings = result.warnings();
  out << errors << (errors == 1 ? " error, " : " errors, ") << warnings
      << (warnings == 1 ? " warning" : " warnings") << '\n';
  return errors == 0 ? 0 : kCommandFailed;
}

int runRunCommand(std::span<const std::string> arguments, const fs::path& currentFolder,
                  std::ostream& out, std::ostream& err) {
  std::optional<std::string> path;
  double seconds = 60;
  std::uint32_t seed = 1;
  std::vector<Input> inputs;
  const auto usage = [&err](std::string_view problem) {
    err << "velk7 run: " << problem << '\n' << kRunUsage;
    return kCommandUsage;
  };
  for (std::size_t index = 0; index < arguments.size(); ++index) {
    const std::string& argument = arguments[index];
    const bool takesValue = argument == "--for" || argument == "--at" || argument == "--seed";
    if (takesValue && index + 1 == arguments.size()) return usage(argument + " needs a value");
    if (argument == "--for") {
      const std::optional<double> given = parseSeconds(arguments[++index]);
      if (!given) return usage("--for takes seconds, such as 10 or 2.5");
      seconds = *given;
    } else if (argument == "--at") {
      const std::optional<Input> input = parseInput(arguments[++index]);
      if (!input) return usage("--at takes TIME:VARIABLE=VALUE, such as 1.5:Head_ON=1");
      inputs.push_back(*input);
    } else if (argument == "--seed") {
      const std::optional<std::uint32_t> given = parseWhole<std::uint32_t>(arguments[++index]);
      if (!given) return usage("--seed takes a whole number");
      seed = *given;
    } else if (argument.starts_with("-") || path) {
      return usage("unexpected " + argument);
    } else {
      path = argument;
    }
  }
  const std::optional<Loaded> loaded = load(path, currentFolder, err);
  if (!loaded) return kCommandUsage;
  const CompiledProgram compiled = compileProgram(readProgramText(loaded->program));
  for (const Input& input : inputs) {
    if (!compiled.variableIndex(input.variable)) {
      return usage("no variable " + input.variable + " in the program or the robot's own");
    }
  }
  std::stable_sort(inputs.begin(), inputs.end(),
                   [](const Input& a, const Input& b) { return a.tick < b.tick; });
  const ActionCatalogue catalogue = readActionCatalogue(loaded->path);
  RunOptions options;
  options.seed = seed;
  Interpreter interpreter(compiled, &catalogue, options);
  const auto end = static_cast<std::int64_t>(std::ceil(seconds / kTickSeconds - 1e-9));
  std::size_t nextInput = 0;
  const auto flush = [&]() {
    for (const TraceLine& line : interpreter.trace()) out << formatTraceLine(line) << '\n';
    interpreter.trace().clear();
  };
  while (interpreter.state() == RunState::Running && interpreter.tick() < end) {
    while (nextInput < inputs.size() && inputs[nextInput].tick <= interpreter.tick()) {
      interpreter.setFromOutside(inputs[nextInput].variable, inputs[nextInput].value);
      ++nextInput;
    }
    interpreter.step();
    flush();
  }
  if (interpreter.state() == RunState::Running) {
    out << formatTraceLine(
               TraceLine{interpreter.tick(), interpreter.currentLine(), "the time is up"})
        << '\n';
  }
  const RunState state = interpreter.state();
  return state == RunState::Running || state == RunState::Ended ? 0 : kCommandFailed;
}

}  // namespace velk7::program
