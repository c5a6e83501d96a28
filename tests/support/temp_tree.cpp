#include "tests/support/temp_tree.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace testing_support {

TempDir::TempDir() {
  std::random_device random;
  do {
    path_ = fs::temp_directory_path() / ("velk-test-" + std::to_string(random()));
  } while (!fs::create_directory(path_));
}

TempDir::~TempDir() {
  std::error_code error;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, error);
  for (auto it = fs::recursive_directory_iterator(path_, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
  }
  fs::remove_all(path_, error);
}

bool caseSensitive(const fs::path& folder) {
  const fs::path probe = folder / "case-probe";
  writeTextFile(probe, "x");
  std::error_code error;
  const bool sensitive = !fs::exists(folder / "CASE-PROBE", error);
  fs::remove(probe, error);
  return sensitive;
}

void writeFile(const fs::path& path, const platform::Bytes& bytes) {
  if (path.has_parent_path()) fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

void writeTextFile(const fs::path& path, std::string_view text) {
  writeFile(path, platform::Bytes(text.begin(), text.end()));
}

platform::Bytes readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return platform::Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string readTextFile(const fs::path& path) {
  const platform::Bytes bytes = readFile(path);
  return std::string(bytes.begin(), bytes.end());
}

TreeSnapshot snapshotTree(const fs::path& root) {
  TreeSnapshot snapshot;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    snapshot.emplace_back(fs::relative(entry.path(), root).generic_string(),
                          readFile(entry.path()));
  }
  std::sort(snapshot.begin(), snapshot.end());
  return snapshot;
}

}  // namespace testing_support
