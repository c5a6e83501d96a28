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
      {"*.wav", "hello.wav", true},   {"*.wav", "hello.WAV", true},
      {"*.wav", "hello.wave", false}, {"*.wav", "hello.wav.bak", false},
      {"a?c", "abc", true},           {"a?c", "ac", false},
      {"*a*b*", "xxaxxbxx", true},    {"*a*b", "xxaxxbxxc", false},
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

}  // namespace
