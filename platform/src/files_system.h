#pragma once
// What the file layer asks of the operating system, in files_posix.cpp or files_windows.cpp
// (CMake builds one of them).
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>

#include "platform/files.h"

namespace platform::system {

// Opens with a wide name on Windows, so any name reaches its file.
std::FILE* openStream(const std::filesystem::path& path, const char* mode);

// What an open stream is, asked of the stream itself rather than by its path again.
struct StreamFacts {
  bool folder = false;
  std::uint64_t size = 0;
};
std::optional<StreamFacts> streamFacts(std::FILE* file);

// Seeks with a 64-bit offset: archives may pass 2 GiB.
bool seekStream(std::FILE* file, std::uint64_t offset);

// Starts writing the stream's flushed bytes to the device without waiting for them.
void startWriteback(std::FILE* file);

// Copies `size` bytes from the start of `from` to the end of `to` inside the system, where it
// can. Unsupported leaves both streams untouched, for the caller to copy through a buffer.
enum class SystemCopy { Done, Unsupported, SourceShort, Failed };
SystemCopy copyWithinSystem(std::FILE* to, std::FILE* from, std::uint64_t size, FileError& error);

// Reads the whole file in chunks of whole multiples of 64 bytes (the last one shorter), each
// handed to `take`; `fromDevice` past the system's cache. False when it could not be read.
bool readChunks(const std::filesystem::path& path, bool fromDevice,
                const std::function<void(std::span<const std::uint8_t>)>& take);

// The reason behind the last failed call of the C library (errno) or the system.
FileError lastError();

}  // namespace platform::system

namespace platform {
// flushFile for each file in the folder, then flushFolder.
FileOutcome flushEachFileIn(const std::filesystem::path& folder);
}  // namespace platform
