#include "velk7/editor/src/terminal_arguments.h"

#include <gtest/gtest.h>

#include "velk_version.h"

#include <sstream>
#include <string>
#include <vector>

namespace velk7 {
namespace {

// `text` begins with `start`, and is empty when `start` is.
bool startsWith(const std::string& text, const std::string& start) {
  return text.substr(0, std::max<std::size_t>(start.size(), 1)) == start;
}

TEST(TerminalArguments, HelpVersionAndMissingDisplayAnswerWithoutAWindow) {
  struct Case {
    std::vector<std::string> arguments;
    bool display;
    std::optional<int> exitCode;
    std::string outStart;
    std::string errStart;
  };
  const std::vector<Case> cases = {
      {{"--help"}, false, 0, "Usage: velk7 [PATH]", ""},
      {{"--version"}, false, 0, std::string("velk7 ") + velk::kVelk7Version + "\n", ""},
      {{"--bogus"}, true, 2, "", "velk7: unknown option --bogus"},
      {{"stick/R-CODE.R"}, false, 2, "", "velk7: no display"},
      {{}, true, std::nullopt, "", ""}};
  for (const Case& c : cases) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(answerOnTerminal(c.arguments, c.display, out, err), c.exitCode);
    EXPECT_TRUE(startsWith(out.str(), c.outStart)) << out.str();
    EXPECT_TRUE(startsWith(err.str(), c.errStart)) << err.str();
  }
#if !defined(_WIN32) && !defined(__APPLE__)
  EXPECT_FALSE(displayAvailable(nullptr, "", nullptr));
  EXPECT_TRUE(displayAvailable(nullptr, nullptr, "wayland-0"));
  EXPECT_TRUE(displayAvailable("offscreen", nullptr, nullptr));
#endif
}

}  // namespace
}  // namespace velk7
