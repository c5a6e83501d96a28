#pragma once
// `velk7 check` and `velk7 run`: the program's findings and a run's trace on the terminal.
#include <filesystem>
#include <iosfwd>
#include <span>
#include <string>

namespace velk7::program {

inline constexpr int kCommandFailed = 1;
inline constexpr int kCommandUsage = 2;

// `arguments` are those after the command's name. `currentFolder` places a relative PATH
// and the default one.
int runCheckCommand(std::span<const std::string> arguments,
                    const std::filesystem::path& currentFolder, std::ostream& out,
                    std::ostream& err);
int runRunCommand(std::span<const std::string> arguments,
                  const std::filesystem::path& currentFolder, std::ostream& out, std::ostream& err);

}  // namespace velk7::program
