#pragma once
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace platform {

// A folder's matching names, or why there are none to give: a folder that is not there and
// one that could not be read are different answers from an empty one.
struct FolderListing {
  std::vector<std::string> names;
  FileState folder = FileState::Present;  // Absent: no such folder; Unknown: unreadable
  bool read() const { return folder == FileState::Present; }
};

// Names of the files in `folder` that match a "*.wav"-style pattern without regard to case,
// in a stable order: by name without regard to ASCII case, ties by byte value.
FolderListing listFolder(const std::filesystem::path& folder, std::string_view pattern);

}  // namespace platform
