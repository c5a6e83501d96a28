#include "platform/path_text.h"

namespace platform {

std::string pathToText(const std::filesystem::path& path) {
  const std::u8string text = std::filesystem::path(path).make_preferred().u8string();
  return std::string(text.begin(), text.end());
}

std::filesystem::path textToPath(std::string_view text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

}  // namespace platform
