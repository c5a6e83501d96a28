#include "platform/file_lock.h"

#include <cerrno>
#include <utility>

#include "file_faults.h"
#include "platform/case_path.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace platform {

#ifdef _WIN32

// No other opener is allowed while the handle is open, and Windows deletes the file when the
// handle closes, also when the process dies.
LockOutcome FileLock::acquire(const fs::path& path, std::optional<FileLock>& lock) {
  lock.reset();
  const fs::path resolved = resolveCase(path);
  if (injectedFault(FileOp::Create, resolved) != FileError::None) return LockOutcome::Failed;
  const HANDLE handle = CreateFileW(resolved.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return GetLastError() == ERROR_SHARING_VIOLATION ? LockOutcome::HeldByOther
                                                     : LockOutcome::Failed;
  }
  noteEntryCreated(resolved);
  lock.emplace(FileLock(handle, resolved));
  return LockOutcome::Acquired;
}

FileLock::~FileLock() {
  if (!owned_) return;
  injectedFault(FileOp::Remove, path_);  // counted like the removal elsewhere
  CloseHandle(handle_);
  noteEntryRemoved(path_);
}

#else

namespace {

bool sameFile(int fd, const fs::path& path) {
  struct stat opened {};
  struct stat named {};
  return ::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
         opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

}  // namespace

LockOutcome FileLock::acquire(const fs::path& path, std::optional<FileLock>& lock) {
  lock.reset();
  const fs::path resolved = resolveCase(path);
  if (injectedFault(FileOp::Create, resolved) != FileError::None) return LockOutcome::Failed;
  // A few rounds: the holder may remove the file between our open and our lock.
  for (int round = 0; round < 3; ++round) {
    int fd = ::open(resolved.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    // A file that is there belongs to a save that runs, or to one that was killed.
    if (fd < 0 && errno == EEXIST) fd = ::open(resolved.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
      if (errno == ENOENT) continue;
      return LockOutcome::Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const bool busy = errno == EWOULDBLOCK;
      ::close(fd);
      return busy ? LockOutcome::HeldByOther : LockOutcome::Failed;
    }
    if (!sameFile(fd, resolved)) {
      ::close(fd);
      continue;
    }
    noteEntryCreated(resolved);
    lock.emplace(FileLock(fd, resolved));
    return LockOutcome::Acquired;
  }
  return LockOutcome::Failed;
}

FileLock::~FileLock() {
  if (!owned_) return;
  // Removed while still locked, so that nobody locks the name we are about to give up.
  if (injectedFault(FileOp::Remove, path_) == FileError::None && ::unlink(path_.c_str()) == 0) {
    noteEntryRemoved(path_);
  }
  ::close(handle_);
}

#endif

FileLock::FileLock(FileLock&& other) noexcept
    : handle_(other.handle_),
      path_(std::move(other.path_)),
      owned_(std::exchange(other.owned_, false)) {}

}  // namespace platform
