// The file layer on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "file_faults.h"
#include "files_system.h"
#include "platform/case_path.h"
#include "platform/files.h"
#include "platform/path_text.h"

#ifdef __linux__
#include <sys/sendfile.h>
#endif

namespace fs = std::filesystem;

namespace platform {

namespace system {

std::FILE* openStream(const fs::path& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

std::optional<StreamFacts> streamFacts(std::FILE* file) {
  struct stat info {};
  if (::fstat(::fileno(file), &info) != 0) return std::nullopt;
  return StreamFacts{S_ISDIR(info.st_mode), static_cast<std::uint64_t>(info.st_size)};
}

bool seekStream(std::FILE* file, std::uint64_t offset) {
  return ::fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

void startWriteback(std::FILE* file) {
#ifdef __linux__
  ::sync_file_range(::fileno(file), 0, 0, SYNC_FILE_RANGE_WRITE);
#else
  (void)file;
#endif
}

SystemCopy copyWithinSystem(std::FILE* to, std::FILE* from, std::uint64_t size, FileError& error) {
#ifdef __linux__
  // The kernel copies from file to file: the bytes never pass through this program.
  constexpr std::uint64_t kMaxSendfileRun = 0x7ffff000;
  off_t at = 0;
  std::uint64_t copied = 0;
  while (copied < size) {
    const ssize_t sent = ::sendfile(
        ::fileno(to), ::fileno(from), &at,
        static_cast<std::size_t>(std::min<std::uint64_t>(size - copied, kMaxSendfileRun)));
    if (sent < 0 && copied == 0 && (errno == EINVAL || errno == ENOSYS)) {
      return SystemCopy::Unsupported;
    }
    if (sent < 0) {
      error = lastError();
      return SystemCopy::Failed;
    }
    if (sent == 0) return SystemCopy::SourceShort;
    copied += static_cast<std::uint64_t>(sent);
  }
  return SystemCopy::Done;
#else
  (void)to;
  (void)from;
  (void)size;
  (void)error;
  return SystemCopy::Unsupported;
#endif
}

FileError lastError() {
  return fileErrorOf(errno);
}

bool readChunks(const fs::path& path, bool fromDevice,
                const std::function<void(std::span<const std::uint8_t>)>& take) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
#ifdef POSIX_FADV_DONTNEED
  // The cached pages of a flushed file are clean: dropped, the next read asks the device.
  if (fromDevice) ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
#else
  (void)fromDevice;
#endif
  constexpr std::size_t kChunk = std::size_t{1} << 20;
  std::vector<std::uint8_t> buffer(kChunk);
  bool ok = true;
  std::size_t filled = 0;
  for (;;) {
    const ssize_t got = ::read(fd, buffer.data() + filled, kChunk - filled);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      ok = false;
      break;
    }
    filled += static_cast<std::size_t>(got);
    if (got == 0 || filled == kChunk) {
      take(std::span<const std::uint8_t>(buffer.data(), filled));
      if (got == 0) break;
      filled = 0;
    }
  }
  ::close(fd);
  return ok;
}

}  // namespace system

namespace {

FileOutcome syncPath(const fs::path& path, int flags) {
  if (const FileError injected = injectedFault(FileOp::Flush, path); injected != FileError::None) {
    return {injected};
  }
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  if (fd < 0) return {system::lastError()};
  // A file system that cannot sync folders says EINVAL: there is nothing more to push then.
  FileOutcome result;
  if (::fsync(fd) != 0 && errno != EINVAL) result.error = system::lastError();
  ::close(fd);
  return result;
}

}  // namespace

FileOutcome flushFile(const fs::path& path) {
  return syncPath(resolveCase(path), O_RDONLY);
}

FileOutcome flushFolder(const fs::path& folder) {
  return syncPath(resolveCase(folder.empty() ? fs::path(".") : folder), O_RDONLY | O_DIRECTORY);
}

FileOutcome flushFolderAndFiles(const fs::path& folder) {
#ifdef __linux__
  const fs::path resolved = resolveCase(folder.empty() ? fs::path(".") : folder);
  if (const FileError injected = injectedFault(FileOp::Flush, resolved);
      injected != FileError::None) {
    return {injected};
  }
  const int fd = ::open(resolved.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return {system::lastError()};
  // One call pushes every file of the file system, the folder's entries among them.
  FileOutcome result;
  if (::syncfs(fd) != 0) result.error = system::lastError();
  ::close(fd);
  return result;
#else
  return flushEachFileIn(folder);
#endif
}

bool readOnlyVolume(const fs::path& path) {
  struct statvfs info {};
  return ::statvfs(resolveCase(path).c_str(), &info) == 0 && (info.f_flag & ST_RDONLY) != 0;
}

Replaceable replaceable(const fs::path& path) {
  const fs::path resolved = resolveCase(path);
  if (injectedFault(FileOp::Check, resolved) != FileError::None) return Replaceable::Unknown;
  // Opened for writing without truncating: read-only and immutable files refuse this, and a
  // rename over a file the user protected would overrule them.
  const int fd = ::open(resolved.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd >= 0) {
    ::close(fd);
    return Replaceable::Yes;
  }
  if (errno == ENOENT) return Replaceable::Yes;
  if (errno == EACCES || errno == EPERM || errno == EROFS || errno == ETXTBSY) {
    return Replaceable::No;
  }
  return Replaceable::Unknown;
}

std::optional<SpaceInfo> spaceInfo(const fs::path& path) {
  struct statvfs info {};
  if (::statvfs(resolveCase(path).c_str(), &info) != 0) return std::nullopt;
  // The fragment size is the allocation unit (a FAT cluster); some file systems leave it 0,
  // and some FAT drivers report a smaller one there than the cluster they give a folder's
  // files as their block size: the larger counts.
  const std::uint64_t reported = info.f_frsize != 0 ? info.f_frsize : info.f_bsize;
  struct stat folder {};
  const std::uint64_t block = ::stat(resolveCase(path).c_str(), &folder) == 0
                                  ? static_cast<std::uint64_t>(folder.st_blksize)
                                  : 0;
  const std::uint64_t cluster = std::max(reported, block);
  return SpaceInfo{std::uint64_t{info.f_bavail} * reported, cluster != 0 ? cluster : 1};
}

FolderSizes::FolderSizes(fs::path folder) : folder_(std::move(folder)) {
  handle_ = ::open(folder_.empty() ? "." : folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

FolderSizes::~FolderSizes() {
  if (handle_ >= 0) ::close(handle_);
}

std::optional<std::uint64_t> FolderSizes::of(const std::string& name) const {
  struct stat info {};
  if (handle_ >= 0 && ::fstatat(handle_, name.c_str(), &info, 0) == 0) {
    if (S_ISDIR(info.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
  }
  // A name spelled otherwise on disk, or a question that failed, goes the long way.
  return fileSize(folder_ / textToPath(name));
}

}  // namespace platform
