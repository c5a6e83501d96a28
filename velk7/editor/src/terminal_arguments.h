#pragma once
// What velk7 answers on the terminal before it opens any window: its usage, its version,
// and why it cannot start without a display.
#include <iosfwd>
#include <optional>
#include <span>
#include <string>

namespace velk7 {

inline constexpr int kExitUsage = 2;

// True when a window can be opened: a toolkit platform is named, or an X or Wayland display
// is given. The arguments are the environment's values, null when unset.
bool displayAvailable(const char* qtPlatform, const char* x11Display, const char* waylandDisplay);

// Handles --help and --version, an unknown option, and the lack of a display. Returns the
// exit code when the program ends here, none when the editor should start.
std::optional<int> answerOnTerminal(std::span<const std::string> arguments, bool hasDisplay,
                                    std::ostream& out, std::ostream& err);

}  // namespace velk7
