#include "platform/path_text.h"

#include <cstddef>

namespace platform {

namespace {

#ifdef _WIN32
// A Windows name is UTF-16, so text that is not UTF-8 cannot name a file there and its
// conversion would throw. Such bytes become '?', which no file name holds: the path is then
// simply not found.
std::string validUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto byteAt = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byteAt(i);
    const std::size_t length = lead < 0x80                   ? 1
                               : lead >= 0xC2 && lead < 0xE0 ? 2
                               : lead >= 0xE0 && lead < 0xF0 ? 3
                               : lead >= 0xF0 && lead < 0xF5 ? 4
                                                             : 0;
    bool valid = length > 0 && i + length <= text.size();
    for (std::size_t k = 1; valid && k < length; ++k) valid = (byteAt(i + k) & 0xC0) == 0x80;
    if (valid && length > 2) {
      // No overlong forms, no surrogates, nothing beyond U+10FFFF.
      const unsigned char second = byteAt(i + 1);
      valid = !(lead == 0xE0 && second < 0xA0) && !(lead == 0xED && second >= 0xA0) &&
              !(lead == 0xF0 && second < 0x90) && !(lead == 0xF4 && second >= 0x90);
    }
    if (valid) {
      out.append(text.substr(i, length));
      i += length;
    } else {
      out += '?';
      ++i;
    }
  }
  return out;
}
#else
std::string_view validUtf8(std::string_view text) {
  return text;  // a name here is bytes; any bytes will do
}
#endif

}  // namespace

std::string pathToText(const std::filesystem::path& path) {
  const std::u8string text = std::filesystem::path(path).make_preferred().u8string();
  return std::string(text.begin(), text.end());
}

std::filesystem::path textToPath(std::string_view text) {
  const auto valid = validUtf8(text);
  return std::filesystem::path(std::u8string(valid.begin(), valid.end()));
}

std::string collapseSeparators(std::string_view text, char separator) {
  std::string result;
  result.reserve(text.size());
  std::size_t from = 0;
  if (separator == '\\' && text.starts_with("\\\\")) {
    result = "\\\\";  // a network path keeps its opening pair
    from = text.find_first_not_of(separator);
    if (from == std::string_view::npos) from = text.size();
  }
  for (const char c : text.substr(from)) {
    if (c == separator && !result.empty() && result.back() == separator) continue;
    result += c;
  }
  return result;
}

}  // namespace platform
