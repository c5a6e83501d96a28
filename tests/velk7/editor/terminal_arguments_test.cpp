#include "velk7/editor/src/terminal_arguments.h"

#include <gtest/gtest.h>

#include "platform/display.h"
#include "velk_version.h"

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace velk7 {
namespace {

// `text` begins with `start`, and is empty when `start` is.
bool startsWith(const std::string& text, const std::string& start) {
  return text.substr(0, std::max<std::size_t>(start.size(), 1)) == start;
}

TEST(TerminalArguments, HelpVersionAndMissingDisplayAnswerWithoutAWindow) {
  // The arguments, whether a display is there, the exit code (none: the window opens) and what
  // the standard output and error begin with.
  using Case =
      std::tuple<std::vector<std::string>, bool, std::optional<int>, std::string, std::string>;
  for (const auto& [arguments, display, exitCode, outStart, errStart] :
       {Case{{"--help"}, false, 0, "Usage: velk7 [PATH]", ""},
        Case{{"--version"}, false, 0, std::string("velk7 ") + velk::kVelk7Version + "\n", ""},
        Case{{"--bogus"}, true, 2, "", "velk7: unknown option --bogus"},
        Case{{"stick/R-CODE.R"}, false, 2, "", "velk7: no display"},
        Case{{}, true, std::nullopt, "", ""}}) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(answerOnTerminal(arguments, display, out, err), exitCode);
    EXPECT_TRUE(startsWith(out.str(), outStart)) << out.str();
    EXPECT_TRUE(startsWith(err.str(), errStart)) << err.str();
  }
#if !defined(_WIN32) && !defined(__APPLE__)
  EXPECT_FALSE(platform::displayAvailable(nullptr, "", nullptr));
  EXPECT_TRUE(platform::displayAvailable(nullptr, nullptr, "wayland-0"));
  EXPECT_TRUE(platform::displayAvailable("offscreen", nullptr, nullptr));
#endif
}

}  // namespace
}  // namespace velk7
