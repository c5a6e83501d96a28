#include "platform/ascii_text.h"

#include <cstddef>
#include <cstring>

namespace platform {

char toLowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

char toUpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

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

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
  return compareIgnoreCase(a, b) == 0;
}

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

std::string_view trimLeadingBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  return first == std::string_view::npos ? std::string_view{} : text.substr(first);
}

std::string_view trimBlanks(std::string_view text) {
  text = trimLeadingBlanks(text);
  return text.substr(0, text.find_last_not_of(kBlanks) + 1);
}

TextLine lineAt(std::string_view text, std::size_t start) {
  // memchr rather than find: a 10 MB program is cut into lines on every load.
  const void* feed = std::memchr(text.data() + start, '\n', text.size() - start);
  if (feed == nullptr) return TextLine{text.substr(start), start, text.size()};
  const auto feedAt = static_cast<std::size_t>(static_cast<const char*>(feed) - text.data());
  std::size_t contentEnd = feedAt;
  if (contentEnd > start && text[contentEnd - 1] == '\r') --contentEnd;
  return TextLine{text.substr(start, contentEnd - start), start, feedAt + 1};
}

std::vector<TextLine> splitLines(std::string_view text) {
  std::vector<TextLine> lines;
  for (std::size_t start = 0; start < text.size(); start = lines.back().end) {
    lines.push_back(lineAt(text, start));
  }
  return lines;
}

}  // namespace platform
