#pragma once
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Names of the files in `folder` that match a "*.wav"-style pattern without regard to case,
// in a stable order: by name without regard to ASCII case, ties by byte value. A folder that
// cannot be read lists nothing.
std::vector<std::string> listFolder(const std::filesystem::path& folder, std::string_view pattern);

}  // namespace platform
