#include "platform/folder_listing.h"

#include <algorithm>
#include <system_error>

#include "platform/ascii_text.h"
#include "platform/case_path.h"
#include "platform/path_text.h"

namespace fs = std::filesystem;

namespace platform {

FolderListing listFolder(const fs::path& folder, std::string_view pattern) {
  FolderListing listing;
  std::error_code error;
  const fs::path resolved = resolveCase(folder);
  fs::directory_iterator it(resolved.empty() ? fs::path(".") : resolved, error);
  if (error) {
    const bool absent =
        error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory;
    listing.folder = absent ? FileState::Absent : FileState::Unknown;
    return listing;
  }
  for (; it != fs::directory_iterator(); it.increment(error)) {
    if (error) {
      // Half a listing would pass for the whole.
      listing.names.clear();
      listing.folder = FileState::Unknown;
      return listing;
    }
    std::string name = pathToText(it->path().filename());
    if (matchesWildcard(pattern, name) && it->is_regular_file(error)) {
      listing.names.push_back(std::move(name));
    }
  }
  std::sort(listing.names.begin(), listing.names.end(), listingOrderLess);
  return listing;
}

}  // namespace platform
