#include "platform/case_path.h"

#include <map>
#include <optional>
#include <string>
#include <system_error>
#include <unordered_map>

#include "platform/ascii_text.h"
#include "platform/path_text.h"

namespace fs = std::filesystem;

namespace platform {

namespace {

bool entryExists(const fs::path& path) {
  std::error_code error;
  return fs::symlink_status(path, error).type() != fs::file_type::not_found && !error;
}

// What a folder held when it was last scanned: each name folded to lower case, mapped to the
// entry that comes first in listing order. Creating many files in one folder would otherwise
// scan it once per file.
struct FolderView {
  fs::file_time_type stamp;
  std::unordered_map<std::string, std::string> byFoldedName;
};

constexpr std::size_t kMaxCachedFolders = 64;

std::map<fs::path, FolderView>& folderViews() {
  static std::map<fs::path, FolderView> views;
  return views;
}

fs::path viewKey(const fs::path& folder) {
  std::error_code error;
  fs::path key = fs::absolute(folder.empty() ? fs::path(".") : folder, error);
  return error ? fs::path() : key;
}

std::optional<fs::file_time_type> folderStamp(const fs::path& key) {
  std::error_code error;
  const fs::file_time_type stamp = fs::last_write_time(key, error);
  if (error) return std::nullopt;
  return stamp;
}

const FolderView* currentView(const fs::path& folder) {
  const fs::path key = viewKey(folder);
  if (key.empty()) return nullptr;
  const std::optional<fs::file_time_type> stamp = folderStamp(key);
  if (!stamp) return nullptr;
  auto& views = folderViews();
  if (auto it = views.find(key); it != views.end() && it->second.stamp == *stamp) {
    return &it->second;
  }
  FolderView view{*stamp, {}};
  std::error_code error;
  fs::directory_iterator it(key, error);
  if (error) return nullptr;
  for (; it != fs::directory_iterator(); it.increment(error)) {
    if (error) return nullptr;
    std::string name = pathToText(it->path().filename());
    auto [slot, inserted] = view.byFoldedName.emplace(toLowerAscii(name), name);
    if (!inserted && listingOrderLess(name, slot->second)) slot->second = std::move(name);
  }
  if (views.size() >= kMaxCachedFolders) views.clear();
  return &(views[key] = std::move(view));
}

std::optional<std::string> findIgnoringCase(const fs::path& folder, const std::string& name) {
  const FolderView* view = currentView(folder);
  if (view == nullptr) return std::nullopt;
  const auto it = view->byFoldedName.find(toLowerAscii(name));
  if (it == view->byFoldedName.end()) return std::nullopt;
  return it->second;
}

}  // namespace

fs::path resolveCase(const fs::path& path) {
  // Most paths are spelled as on disk, or name a new file in a folder that is: one or two
  // lookups instead of one per component.
  if (entryExists(path)) return path;
  const fs::path leaf = path.filename();
  const std::string leafName = pathToText(leaf);
  if (!leafName.empty() && leafName != "." && leafName != ".." && path.has_parent_path()) {
    // A view of the parent exists only when the parent does.
    if (const FolderView* view = currentView(path.parent_path())) {
      const auto it = view->byFoldedName.find(toLowerAscii(leafName));
      return it == view->byFoldedName.end() ? path : path.parent_path() / textToPath(it->second);
    }
  }

  fs::path resolved;
  bool stillOnDisk = true;
  for (const fs::path& component : path) {
    const std::string name = pathToText(component);
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
      resolved /= textToPath(*match);
    } else {
      resolved /= component;
      stillOnDisk = false;
    }
  }
  return resolved;
}

fs::path listedSpelling(const fs::path& path) {
  fs::path resolved = resolveCase(path);
#ifdef _WIN32
  if (resolved.has_parent_path()) {
    if (std::optional<std::string> match =
            findIgnoringCase(resolved.parent_path(), pathToText(resolved.filename()))) {
      return resolved.parent_path() / textToPath(*match);
    }
  }
#endif
  return resolved;
}

void noteEntryCreated(const fs::path& path) {
  const fs::path key = viewKey(path.parent_path());
  auto& views = folderViews();
  const auto it = views.find(key);
  if (it == views.end()) return;
  const std::optional<fs::file_time_type> stamp = folderStamp(key);
  if (!stamp) {
    views.erase(it);
    return;
  }
  const std::string name = pathToText(path.filename());
  auto [slot, inserted] = it->second.byFoldedName.emplace(toLowerAscii(name), name);
  if (!inserted && listingOrderLess(name, slot->second)) slot->second = name;
  it->second.stamp = *stamp;
}

void noteEntryRemoved(const fs::path& path) {
  // Another entry of the same folded name may remain; the next lookup scans again.
  folderViews().erase(viewKey(path.parent_path()));
}

}  // namespace platform
