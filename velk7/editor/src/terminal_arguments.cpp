#include "terminal_arguments.h"

#include "velk_version.h"

#include <filesystem>
#include <ostream>
#include <string_view>
#include <system_error>

#include "velk7/program/program_commands.h"

namespace velk7 {

namespace {

constexpr std::string_view kUsage =
    "Usage: velk7 [PATH]\n"
    "       velk7 check [PATH]\n"
    "       velk7 run [PATH] [--for SECONDS] [--at TIME:VARIABLE=VALUE]... [--seed N]\n"
    "Edits the VELK records of the R-CODE program on an AIBO ERS-7 memory stick.\n"
    "PATH is the stick's R-CODE.R. Without it velk7 opens ../OPEN-R/APP/PC/AMS/R-CODE.R,\n"
    "seen from the current folder, or asks for the file or the stick's folder.\n"
    "  check      list what the robot cannot run (errors) and what looks wrong (warnings)\n"
    "  run        run the program on a virtual clock and print what it does, for 60 s or\n"
    "             --for SECONDS; --at 1.5:Head_ON=1 sets a sensor at a moment\n"
    "  --help     print this text\n"
    "  --version  print the version\n";

}  // namespace

std::optional<int> answerOnTerminal(std::span<const std::string> arguments, bool hasDisplay,
                                    std::ostream& out, std::ostream& err) {
  if (!arguments.empty()) {
    const std::string& first = arguments.front();
    if (first == "--help" || first == "-h") {
      out << kUsage;
      return 0;
    }
    if (first == "--version") {
      out << "velk7 " << velk::kVelk7Version << '\n';
      return 0;
    }
    if (first == "check" || first == "run") {
      std::error_code error;
      std::filesystem::path currentFolder = std::filesystem::current_path(error);
      if (error) currentFolder = ".";
      const std::span<const std::string> rest = arguments.subspan(1);
      return first == "check" ? program::runCheckCommand(rest, currentFolder, out, err)
                              : program::runRunCommand(rest, currentFolder, out, err);
    }
    // A path never starts with two dashes here; the user meant an option.
    if (first.starts_with("--")) {
      err << "velk7: unknown option " << first << '\n' << kUsage;
      return kExitUsage;
    }
  }
  if (!hasDisplay) {
    err << "velk7: no display to open the editor on (DISPLAY is not set); run it in a desktop "
           "session\n"
        << kUsage;
    return kExitUsage;
  }
  return std::nullopt;
}

}  // namespace velk7
