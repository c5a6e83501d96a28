#pragma once
// Helpers shared by the fuzz targets: the readers under test take paths, so each process
// keeps one scratch folder of its own and rewrites the input file there on every run; a
// property that breaks says which and where before the process stops.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace fuzz_support {

// The corpus file being replayed under the test suite, named in the report of a broken
// property; libFuzzer names the input itself.
inline std::string replayedInput;

[[noreturn]] inline void propertyBroke(const char* condition, std::string_view file, int line) {
  // The build names sources relative to its own folder.
  while (file.starts_with("../")) file.remove_prefix(3);
  std::fprintf(stderr, "%.*s:%d: fuzz property broken, as %s\n", static_cast<int>(file.size()),
               file.data(), line, condition);
  if (!replayedInput.empty()) std::fprintf(stderr, "  input: %s\n", replayedInput.c_str());
  std::fflush(stderr);
  // Stopping keeps the fuzzer's crash report and artifact, and leaves no later check to
  // run on a state already known to be wrong.
  std::abort();
}

// Stops with a report when `condition`, which breaks one of the target's properties, holds.
#define FUZZ_FAIL_IF(...) \
  ((__VA_ARGS__) ? ::fuzz_support::propertyBroke(#__VA_ARGS__, __FILE__, __LINE__) : void(0))

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
