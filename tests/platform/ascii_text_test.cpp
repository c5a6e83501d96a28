#include "platform/ascii_text.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct WildcardCase {
  const char* pattern;
  const char* name;
  bool matches;
};

TEST(Wildcard, MatchesLikeTheFolderListing) {
  const WildcardCase cases[] = {
      {"*.wav", "hello.wav", true},
      {"*.wav", "hello.WAV", true},
      {"*.wav", "hello.wave", false},
      {"*.wav", ".wav", true},
      {"*.wav", "hello.wav.bak", false},
      {"*.WAV", "x.wav", true},
      {"a?c", "abc", true},
      {"a?c", "ac", false},
      {"*", "", true},
      {"*a*b*", "xxaxxbxx", true},
      {"*a*b", "xxaxxbxxc", false},
      {"R-CODE.R", "r-code.r", true},
  };
  for (const WildcardCase& c : cases) {
    EXPECT_EQ(platform::matchesWildcard(c.pattern, c.name), c.matches)
        << c.pattern << " vs " << c.name;
  }
}

TEST(ListingOrder, IgnoresCaseThenBreaksTiesByBytes) {
  std::vector<std::string> names = {"b.wav", "B.wav", "a.wav", "A_x.wav", "a2.wav", "Ab.wav"};
  std::sort(names.begin(), names.end(), platform::listingOrderLess);
  // '_' (0x5F) sorts after digits and before lower-case letters once folded.
  const std::vector<std::string> expected = {"a.wav",  "a2.wav", "A_x.wav",
                                             "Ab.wav", "B.wav",  "b.wav"};
  EXPECT_EQ(names, expected);
}

TEST(TextLines, EndAtLineFeedsWithTheirCarriageReturnAndKeepEveryOtherOne) {
  const struct {
    const char* text;
    std::vector<std::string> contents;
    std::vector<std::size_t> ends;
  } rows[] = {
      {"", {}, {}},
      {"a", {"a"}, {1}},
      {"a\r\nb\n", {"a", "b"}, {3, 5}},
      {"\n\r\n", {"", ""}, {1, 3}},
      {"a\rb\r", {"a\rb\r"}, {4}},
      {"a\r\r\nb", {"a\r", "b"}, {4, 5}},
  };
  for (const auto& row : rows) {
    std::vector<std::string> contents;
    std::vector<std::size_t> ends;
    for (const platform::TextLine& line : platform::splitLines(row.text)) {
      contents.emplace_back(line.content);
      ends.push_back(line.end);
    }
    EXPECT_EQ(contents, row.contents) << row.text;
    EXPECT_EQ(ends, row.ends) << row.text;
  }
}

TEST(Blanks, OnlyBlanksAndTabsAreTrimmed) {
  EXPECT_EQ(platform::trimBlanks(" \t a b\t "), "a b");
  EXPECT_EQ(platform::trimBlanks(" \t "), "");
  EXPECT_EQ(platform::trimBlanks("\ra\n"), "\ra\n");
  EXPECT_EQ(platform::trimLeadingBlanks("\t x "), "x ");
}

}  // namespace
