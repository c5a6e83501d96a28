#pragma once
// What velk7 answers on the terminal before it opens any window: its usage, its version,
// and why it cannot start without a display.
#include <iosfwd>
#include <optional>
#include <span>
#include <string>

namespace velk7 {

inline constexpr int kExitUsage = 2;

// Handles --help and --version, an unknown option, and the lack of a display. Returns the
// exit code when the program ends here, none when the editor should start.
std::optional<int> answerOnTerminal(std::span<const std::string> arguments, bool hasDisplay,
                                    std::ostream& out, std::ostream& err);

}  // namespace velk7
