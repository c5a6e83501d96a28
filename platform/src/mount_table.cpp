#include "mount_table.h"

#include <cstddef>

namespace platform {

namespace {

int digitValue(char c, int base) {
  int value = -1;
  if (c >= '0' && c <= '9') value = c - '0';
  if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < base ? value : -1;
}

// Turns "\" + prefix + `digits` digits of `base` into their byte; anything else stays as it is.
std::string unescaped(std::string_view text, std::string_view prefix, int digits, int base) {
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::size_t start = i + 1 + prefix.size();
    if (text[i] == '\\' && text.substr(i + 1).starts_with(prefix) &&
        start + static_cast<std::size_t>(digits) <= text.size()) {
      int value = 0;
      bool valid = true;
      for (int d = 0; d < digits; ++d) {
        const int digit = digitValue(text[start + static_cast<std::size_t>(d)], base);
        valid = valid && digit >= 0;
        value = value * base + digit;
      }
      if (valid && value < 256) {
        result += static_cast<char>(value);
        i = start + static_cast<std::size_t>(digits) - 1;
        continue;
      }
    }
    result += text[i];
  }
  return result;
}

std::vector<std::string_view> fields(std::string_view line) {
  std::vector<std::string_view> parts;
  std::size_t at = 0;
  while (at < line.size()) {
    const std::size_t end = line.find(' ', at);
    const std::size_t stop = end == std::string_view::npos ? line.size() : end;
    if (stop > at) parts.push_back(line.substr(at, stop - at));
    at = stop + 1;
  }
  return parts;
}

}  // namespace

std::string unescapeMountText(std::string_view text) {
  return unescaped(text, "", 3, 8);
}

std::string unescapeDeviceLink(std::string_view text) {
  return unescaped(text, "x", 2, 16);
}

// "36 35 98:0 /mnt1 /mnt/parent rw,noatime master:1 - ext3 /dev/root rw,errors=continue":
// the mount point is the fifth field; after the lone "-" come the type and the source.
std::vector<MountEntry> parseMountInfo(std::string_view table) {
  constexpr std::size_t kMountPointField = 4;
  std::vector<MountEntry> entries;
  while (!table.empty()) {
    const std::size_t end = table.find('\n');
    const std::string_view line = table.substr(0, end);
    table.remove_prefix(end == std::string_view::npos ? table.size() : end + 1);
    const std::vector<std::string_view> parts = fields(line);
    std::size_t separator = kMountPointField + 1;
    while (separator < parts.size() && parts[separator] != "-") ++separator;
    if (separator + 2 >= parts.size()) continue;
    entries.push_back({unescapeMountText(parts[kMountPointField]),
                       unescapeMountText(parts[separator + 1]),
                       unescapeMountText(parts[separator + 2])});
  }
  return entries;
}

}  // namespace platform
