#include "platform/ascii_text.h"

#include <cstddef>

namespace platform {

char toLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

char toUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string toLowerAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = toLowerAscii(c);
  return result;
}

std::string toUpperAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = toUpperAscii(c);
  return result;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) { return compareIgnoreCase(a, b) == 0; }

int compareIgnoreCase(std::string_view a, std::string_view b) {
  const std::size_t common = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < common; ++i) {
    const auto ca = static_cast<unsigned char>(toLowerAscii(a[i]));
    const auto cb = static_cast<unsigned char>(toLowerAscii(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool listingOrderLess(std::string_view a, std::string_view b) {
  const int folded = compareIgnoreCase(a, b);
  if (folded != 0) return folded < 0;
  return a < b;
}

bool matchesWildcard(std::string_view pattern, std::string_view name) {
  // Iterative matcher with one backtrack point: linear enough for file names.
  std::size_t p = 0, n = 0;
  std::size_t starAt = std::string_view::npos, resumeAt = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starAt = p++;
      resumeAt = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || toLowerAscii(pattern[p]) == toLowerAscii(name[n]))) {
      ++p;
      ++n;
    } else if (starAt != std::string_view::npos) {
      p = starAt + 1;
      n = ++resumeAt;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace platform
