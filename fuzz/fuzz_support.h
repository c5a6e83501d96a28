#pragma once
// Helpers shared by the fuzz targets: the readers under test take paths, so each process
// keeps one scratch folder of its own and rewrites the input file there on every run.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace fuzz_support {

// A folder unique to this process, created on first use and kept for the process's life.
inline const std::filesystem::path& scratchFolder(const char* target) {
  static const std::filesystem::path folder = [target] {
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 (std::string(target) + "-" + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

// Replaces the file's contents with the input; false when the scratch file cannot be written.
inline bool writeInput(const std::filesystem::path& path, const std::uint8_t* data,
                       std::size_t size) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return static_cast<bool>(out);
}

}  // namespace fuzz_support
