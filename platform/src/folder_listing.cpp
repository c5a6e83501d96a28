#include "platform/folder_listing.h"

#include <algorithm>
#include <system_error>

#include "platform/ascii_text.h"
#include "platform/case_path.h"
#include "platform/path_text.h"

namespace fs = std::filesystem;

namespace platform {

std::vector<std::string> listFolder(const fs::path& folder, std::string_view pattern) {
  std::vector<std::string> names;
  std::error_code error;
  const fs::path resolved = resolveCase(folder);
  fs::directory_iterator it(resolved.empty() ? fs::path(".") : resolved, error);
  if (error) return names;
  for (; it != fs::directory_iterator(); it.increment(error)) {
    if (error) break;
    std::string name = pathToText(it->path().filename());
    if (matchesWildcard(pattern, name) && it->is_regular_file(error)) {
      names.push_back(std::move(name));
    }
  }
  std::sort(names.begin(), names.end(), listingOrderLess);
  return names;
}

}  // namespace platform
