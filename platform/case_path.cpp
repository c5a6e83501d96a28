#include "platform/case_path.h"

#include <optional>
#include <string>
#include <system_error>

#include "platform/ascii_text.h"

namespace fs = std::filesystem;

namespace platform {

namespace {

bool entryExists(const fs::path& path) {
  std::error_code error;
  return fs::symlink_status(path, error).type() != fs::file_type::not_found && !error;
}

// The first entry of `folder` (in listing order) whose name matches `name` without case.
std::optional<std::string> findIgnoringCase(const fs::path& folder, const std::string& name) {
  std::error_code error;
  fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, error);
  if (error) return std::nullopt;
  std::optional<std::string> best;
  for (; it != fs::directory_iterator(); it.increment(error)) {
    if (error) break;
    std::string candidate = it->path().filename().string();
    if (!equalsIgnoreCase(candidate, name)) continue;
    if (!best || listingOrderLess(candidate, *best)) best = std::move(candidate);
  }
  return best;
}

}  // namespace

fs::path resolveCase(const fs::path& path) {
  fs::path resolved;
  bool stillOnDisk = true;
  for (const fs::path& component : path) {
    const std::string name = component.string();
    const bool special = name.empty() || name == "." || name == ".." ||
                         component == path.root_name() || component == path.root_directory();
    if (special || !stillOnDisk) {
      resolved /= component;
      continue;
    }
    if (entryExists(resolved / component)) {
      resolved /= component;
      continue;
    }
    if (std::optional<std::string> match = findIgnoringCase(resolved, name)) {
      resolved /= *match;
    } else {
      resolved /= component;
      stillOnDisk = false;
    }
  }
  return resolved;
}

}  // namespace platform
