#pragma once
// Temporary folders and small file helpers shared by every test suite.
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/byte_order.h"

namespace testing_support {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& relative) const {
    return path_ / relative;
  }

 private:
  std::filesystem::path path_;
};

// Whether `folder` tells names apart by letter case; what only such a folder can show is
// skipped elsewhere (Windows, macOS by default).
bool caseSensitive(const std::filesystem::path& folder);

// Writes bytes or text to a file, creating its parent folders.
void writeFile(const std::filesystem::path& path, const platform::Bytes& bytes);
void writeTextFile(const std::filesystem::path& path, std::string_view text);

// The file's bytes; empty when it cannot be read.
platform::Bytes readFile(const std::filesystem::path& path);
std::string readTextFile(const std::filesystem::path& path);

// Every regular file below `root`, relative path to bytes, for before/after comparisons.
using TreeSnapshot = std::vector<std::pair<std::string, platform::Bytes>>;
TreeSnapshot snapshotTree(const std::filesystem::path& root);

}  // namespace testing_support
