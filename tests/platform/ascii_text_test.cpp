#include "platform/ascii_text.h"

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

namespace {

TEST(AsciiText, WildcardsMatchLikeTheFolderListingWhichIgnoresCaseThenBreaksTiesByBytes) {
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"*.wav", "hello.wav", true}, {"*.wav", "hello.WAV", true}, {"*.wav", "hello.wave", false},
      {"a?c", "abc", true},         {"a?c", "ac", false},         {"*a*b*", "xxaxxbxx", true},
      {"*a*b", "xxaxxbxxc", false},
  };
  for (const auto& [pattern, name, matches] : cases) {
    EXPECT_EQ(platform::matchesWildcard(pattern, name), matches) << pattern << " vs " << name;
  }
  std::vector<std::string> names = {"b.wav", "B.wav", "a.wav", "A_x.wav", "a2.wav", "Ab.wav"};
  std::sort(names.begin(), names.end(), platform::listingOrderLess);
  // '_' (0x5F) sorts after digits and before lower-case letters once folded.
  EXPECT_EQ(names,
            (std::vector<std::string>{"a.wav", "a2.wav", "A_x.wav", "Ab.wav", "B.wav", "b.wav"}));
}

}  // namespace
