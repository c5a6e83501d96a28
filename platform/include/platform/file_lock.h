#pragma once
// One writer at a time: a lock file held open with an operating-system lock. The lock goes
// with the process, so a lock file left behind by a program that was killed does not block
// the next one: it is found unlocked and taken over.
#include <filesystem>
#include <optional>

namespace platform {

enum class LockOutcome { Acquired, HeldByOther, Failed };

class FileLock {
 public:
  // Creates (or takes over) the lock file at `path` without waiting.
  static LockOutcome acquire(const std::filesystem::path& path, std::optional<FileLock>& lock);

  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) = delete;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  // Removes the lock file, then lets the lock go.
  ~FileLock();

 private:
#ifdef _WIN32
  using Handle = void*;
#else
  using Handle = int;
#endif
  FileLock(Handle handle, std::filesystem::path path) : handle_(handle), path_(std::move(path)) {}
  Handle handle_;
  std::filesystem::path path_;
  bool owned_ = true;
};

}  // namespace platform
