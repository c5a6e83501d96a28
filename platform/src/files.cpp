#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <utility>

#include "file_faults.h"
#include "platform/case_path.h"
#include "platform/path_text.h"

#ifdef _WIN32
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#ifdef __linux__
#include <sys/sendfile.h>
#endif
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace platform {

namespace {

bool& deviceFullFlag() {
  static bool full = false;
  return full;
}

// Remembers why a write, close or flush failed, so the save can say that the stick is full.
bool failed(bool injected) {
  if (injected ? FaultInjection::deviceFull() : errno == ENOSPC) deviceFullFlag() = true;
  return false;
}

// The C library opens narrow paths in the local code page on Windows; wide names reach
// every file whatever its name.
std::FILE* openStream(const fs::path& path, const char* mode) {
#ifdef _WIN32
  const std::string narrow(mode);
  return _wfopen(path.c_str(), std::wstring(narrow.begin(), narrow.end()).c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

// Most paths are spelled as on disk: the path as given is tried first, so that a hit costs
// none of the case resolver's lookups.
std::FILE* openResolvingCase(const fs::path& path, const char* mode, fs::path& opened) {
  opened = path;
  if (std::FILE* file = openStream(path, mode)) return file;
  opened = resolveCase(path);
  return opened == path ? nullptr : openStream(opened, mode);
}

// What an open stream is, asked of the stream itself rather than by its path again.
struct StreamFacts {
  bool folder = false;
  std::uint64_t size = 0;
};
std::optional<StreamFacts> streamFacts(std::FILE* file) {
#ifdef _WIN32
  struct _stat64 info {};
  if (_fstat64(_fileno(file), &info) != 0) return std::nullopt;
  return StreamFacts{(info.st_mode & _S_IFDIR) != 0, static_cast<std::uint64_t>(info.st_size)};
#else
  struct stat info {};
  if (::fstat(::fileno(file), &info) != 0) return std::nullopt;
  return StreamFacts{S_ISDIR(info.st_mode), static_cast<std::uint64_t>(info.st_size)};
#endif
}

// Archives are written in long runs: a larger buffer than the C library's default makes fewer,
// larger writes.
constexpr std::size_t kOutputBufferSize = std::size_t{64} * 1024;
// Copies go through a buffer of this size where the system cannot copy by itself, so memory
// does not grow with the files.
constexpr std::size_t kCopyChunkSize = std::size_t{64} * 1024;
// The most one sendfile call moves on Linux.
constexpr std::uint64_t kMaxSendfileRun = 0x7ffff000;

}  // namespace

bool deviceFullSeen() {
  return deviceFullFlag();
}

void clearDeviceFull() {
  deviceFullFlag() = false;
}

std::optional<OutputFile> OutputFile::create(const fs::path& path) {
  if (FaultInjection::shouldFail(FileOp::Create)) return std::nullopt;
  fs::path resolved = resolveCase(path);
  // Opening a folder for writing fails on every system, so it needs no check of its own.
  Stream file(openStream(resolved, "wb"));
  if (!file) return std::nullopt;
  std::setvbuf(file.get(), nullptr, _IOFBF, kOutputBufferSize);
  noteEntryCreated(resolved);
  return OutputFile(std::move(file), std::move(resolved));
}

void CloseStream::operator()(std::FILE* file) const {
  std::fclose(file);
}

bool OutputFile::write(std::span<const std::uint8_t> bytes) {
  if (file_ == nullptr) return false;
  if (FaultInjection::shouldFail(FileOp::Write)) return failed(true);
  if (bytes.empty()) return true;
  const std::size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file_.get());
  position_ += written;
  if (written != bytes.size()) return failed(false);
  startWritebackEvery(written);
  return true;
}

// A long file starts on its way to the device while it is still being written, so that the
// flush that must come before a save may report success waits for its tail only. A failed
// flush here shows again when the file is closed.
void OutputFile::startWritebackEvery(std::uint64_t written) {
#ifdef __linux__
  constexpr std::uint64_t kWritebackRun = std::uint64_t{1} << 20;
  unflushed_ += written;
  if (unflushed_ < kWritebackRun) return;
  unflushed_ = 0;
  if (std::fflush(file_.get()) == 0) {
    ::sync_file_range(::fileno(file_.get()), 0, 0, SYNC_FILE_RANGE_WRITE);
  }
#else
  (void)written;
#endif
}

bool OutputFile::append(InputFile& source, std::uint64_t size, Bytes& buffer) {
  if (file_ == nullptr || source.file_ == nullptr) return false;
#ifdef __linux__
  // The kernel copies from file to file: the bytes never pass through this program.
  if (FaultInjection::shouldFail(FileOp::Write)) return failed(true);
  if (std::fflush(file_.get()) != 0) return failed(false);
  off_t from = 0;
  std::uint64_t copied = 0;
  while (copied < size) {
    const ssize_t sent = ::sendfile(
        ::fileno(file_.get()), ::fileno(source.file_.get()), &from,
        static_cast<std::size_t>(std::min<std::uint64_t>(size - copied, kMaxSendfileRun)));
    if (sent < 0 && copied == 0 && (errno == EINVAL || errno == ENOSYS)) break;
    if (sent < 0) return failed(false);
    if (sent == 0) return false;  // the source shrank
    copied += static_cast<std::uint64_t>(sent);
  }
  if (copied == size) {
    position_ += copied;
    startWritebackEvery(copied);
    return true;
  }
#endif
  return copyThrough(*this, source, size, buffer);
}

bool OutputFile::seek(std::uint64_t offset) {
  if (file_ == nullptr) return false;
  if (std::fseek(file_.get(), static_cast<long>(offset), SEEK_SET) != 0) return false;
  position_ = offset;
  return true;
}

bool OutputFile::close() {
  if (file_ == nullptr) return false;
  const bool failNow = FaultInjection::shouldFail(FileOp::Close);
  const bool flushed = std::fflush(file_.get()) == 0 && std::ferror(file_.get()) == 0;
  if (!flushed) failed(false);
  const bool closed = std::fclose(file_.release()) == 0;
  if (!closed) failed(false);
  if (failNow) return failed(true);
  return flushed && closed;
}

std::optional<InputFile> InputFile::open(const fs::path& path) {
  fs::path opened;
  std::FILE* file = openResolvingCase(path, "rb", opened);
  if (file == nullptr) return std::nullopt;
  // A folder opens for reading on some systems.
  Stream stream(file);
  const std::optional<StreamFacts> facts = streamFacts(file);
  if (!facts || facts->folder) return std::nullopt;
  return InputFile(std::move(stream), std::move(opened), facts->size);
}

bool InputFile::read(std::span<std::uint8_t> out) {
  if (out.empty()) return file_ != nullptr;
  return readSome(out) == out.size();
}

std::size_t InputFile::readSome(std::span<std::uint8_t> out) {
  if (file_ == nullptr || out.empty()) return 0;
  return std::fread(out.data(), 1, out.size(), file_.get());
}

bool InputFile::seek(std::uint64_t offset) {
  if (file_ == nullptr) return false;
  return std::fseek(file_.get(), static_cast<long>(offset), SEEK_SET) == 0;
}

std::optional<std::uint64_t> InputFile::size() const {
  if (file_ == nullptr) return std::nullopt;
  return size_;
}

bool InputFile::close() {
  if (file_ == nullptr) return false;
  const bool failNow = FaultInjection::shouldFail(FileOp::Close);
  const bool closed = std::fclose(file_.release()) == 0;
  return closed && !failNow;
}

bool copyThrough(ByteSink& sink, InputFile& source, std::uint64_t size, Bytes& buffer) {
  if (buffer.empty()) buffer.resize(kCopyChunkSize);
  const std::span<std::uint8_t> chunk(buffer);
  if (!source.seek(0)) return false;
  std::uint64_t copied = 0;
  while (copied < size) {
    const auto wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(size - copied, chunk.size()));
    const std::size_t got = source.readSome(chunk.first(wanted));
    if (got == 0) return false;  // the source shrank or could not be read
    if (!sink.write(chunk.first(got))) return false;
    copied += got;
  }
  return true;
}

namespace {

template <typename Buffer>
std::optional<Buffer> readWhole(const fs::path& path, std::uint64_t maxSize) {
  std::optional<InputFile> file = InputFile::open(path);
  if (!file) return std::nullopt;
  const std::optional<std::uint64_t> size = file->size();
  if (!size || *size > maxSize) return std::nullopt;
  Buffer buffer(static_cast<std::size_t>(*size), 0);
  if (!file->read(
          std::span<std::uint8_t>(reinterpret_cast<std::uint8_t*>(buffer.data()), buffer.size()))) {
    return std::nullopt;
  }
  return buffer;
}

}  // namespace

std::optional<Bytes> readWholeFile(const fs::path& path, std::uint64_t maxSize) {
  return readWhole<Bytes>(path, maxSize);
}

std::optional<std::string> readWholeText(const fs::path& path, std::uint64_t maxSize) {
  return readWhole<std::string>(path, maxSize);
}

FileReadResult readFileIfPresent(const fs::path& path, std::uint64_t maxSize) {
  FileReadResult result;
  if (fileState(path) == FileState::Absent) {
    result.status = FileReadStatus::Missing;
  } else if (std::optional<Bytes> bytes = readWholeFile(path, maxSize)) {
    result.status = FileReadStatus::Read;
    result.bytes = std::move(*bytes);
  }
  return result;
}

bool fileExists(const fs::path& path) {
  return InputFile::open(path).has_value();
}

FileState fileState(const fs::path& path) {
  if (FaultInjection::shouldFail(FileOp::Check)) return FileState::Unknown;
  std::error_code error;
  const fs::file_status status = fs::status(resolveCase(path), error);
  if (status.type() == fs::file_type::not_found) return FileState::Absent;
  if (error) return FileState::Unknown;
  return fs::is_directory(status) ? FileState::Absent : FileState::Present;
}

std::optional<std::uint64_t> fileSize(const fs::path& path) {
  std::error_code error;
  std::uintmax_t size = fs::file_size(path, error);
  if (error == std::errc::no_such_file_or_directory) {
    // Only a name spelled otherwise on disk needs the case resolver's lookups.
    const fs::path resolved = resolveCase(path);
    if (resolved == path) return std::nullopt;
    size = fs::file_size(resolved, error);
  }
  if (error) return std::nullopt;
  return size;
}

FolderSizes::FolderSizes(fs::path folder) : folder_(std::move(folder)) {
#ifndef _WIN32
  handle_ = ::open(folder_.empty() ? "." : folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#endif
}

FolderSizes::~FolderSizes() {
#ifndef _WIN32
  if (handle_ >= 0) ::close(handle_);
#endif
}

std::optional<std::uint64_t> FolderSizes::of(const std::string& name) const {
#ifndef _WIN32
  struct stat info {};
  if (handle_ >= 0 && ::fstatat(handle_, name.c_str(), &info, 0) == 0) {
    if (S_ISDIR(info.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
  }
  // A name spelled otherwise on disk, or a question that failed, goes the long way.
#endif
  return fileSize(folder_ / textToPath(name));
}

bool writeFlushed(const fs::path& path, std::span<const std::uint8_t> bytes) {
  std::optional<OutputFile> file = OutputFile::create(path);
  if (!file) return false;
  const bool written = file->write(bytes);
  if (file->close() && written && flushFile(path)) return true;
  removeFile(path);
  return false;
}

bool copyFile(const fs::path& from, const fs::path& to) {
  const std::optional<Bytes> bytes = readWholeFile(from);
  return bytes && writeFlushed(to, *bytes);
}

#ifdef _WIN32

bool flushFile(const fs::path& path) {
  if (FaultInjection::shouldFail(FileOp::Flush)) return failed(true);
  const HANDLE file =
      CreateFileW(resolveCase(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool flushed = FlushFileBuffers(file) != 0;
  CloseHandle(file);
  return flushed;
}

// Windows writes a folder's entries with the files flushed in it; there is no folder handle
// to flush.
bool flushFolder(const fs::path& /*folder*/) {
  return !FaultInjection::shouldFail(FileOp::Flush) || failed(true);
}

Replaceable replaceable(const fs::path& path) {
  if (FaultInjection::shouldFail(FileOp::Check)) return Replaceable::Unknown;
  const fs::path resolved = resolveCase(path);
  const DWORD attributes = GetFileAttributesW(resolved.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    const bool absent = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return absent ? Replaceable::Yes : Replaceable::Unknown;
  }
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) return Replaceable::No;
  // The rename needs delete access, which a program holding the file open may not share.
  const HANDLE file =
      CreateFileW(resolved.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Replaceable::No;
  CloseHandle(file);
  return Replaceable::Yes;
}

std::optional<SpaceInfo> spaceInfo(const fs::path& path) {
  const std::wstring root = fs::absolute(resolveCase(path)).root_path().wstring();
  // The cluster size from GetDiskFreeSpaceW; the free bytes from the Ex form, which reports
  // volumes above 2 GB and the caller's quota.
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
  ULARGE_INTEGER available{};
  if (!GetDiskFreeSpaceW(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                         &totalClusters) ||
      !GetDiskFreeSpaceExW(root.c_str(), &available, nullptr, nullptr)) {
    return std::nullopt;
  }
  const std::uint64_t cluster = std::uint64_t{sectorsPerCluster} * bytesPerSector;
  return SpaceInfo{available.QuadPart, cluster};
}

#else

namespace {

bool syncPath(const fs::path& path, int flags) {
  if (FaultInjection::shouldFail(FileOp::Flush)) return failed(true);
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  if (fd < 0) return false;
  // A file system that cannot sync folders says EINVAL: there is nothing more to push then.
  const bool synced = ::fsync(fd) == 0 || errno == EINVAL || failed(false);
  ::close(fd);
  return synced;
}

}  // namespace

bool flushFile(const fs::path& path) {
  return syncPath(resolveCase(path), O_RDONLY);
}

bool flushFolder(const fs::path& folder) {
  return syncPath(resolveCase(folder.empty() ? fs::path(".") : folder), O_RDONLY | O_DIRECTORY);
}

Replaceable replaceable(const fs::path& path) {
  if (FaultInjection::shouldFail(FileOp::Check)) return Replaceable::Unknown;
  const fs::path resolved = resolveCase(path);
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
  // The fragment size is the allocation unit (a FAT cluster); some file systems leave it 0.
  const std::uint64_t unit = info.f_frsize != 0 ? info.f_frsize : info.f_bsize;
  return SpaceInfo{std::uint64_t{info.f_bavail} * unit, unit != 0 ? unit : 1};
}

#endif

std::uint64_t clusterRounded(std::uint64_t bytes, std::uint64_t clusterSize) {
  if (clusterSize <= 1) return bytes;
  return (bytes + clusterSize - 1) / clusterSize * clusterSize;
}

bool removeFile(const fs::path& path) {
  if (FaultInjection::shouldFail(FileOp::Remove)) return false;
  const fs::path resolved = resolveCase(path);
  std::error_code error;
  if (fs::is_directory(resolved, error)) return false;
  const bool removed = fs::remove(resolved, error) && !error;
  noteEntryRemoved(resolved);
  return removed;
}

bool renameFile(const fs::path& from, const fs::path& to) {
  if (FaultInjection::shouldFail(FileOp::Rename)) return false;
  const fs::path source = resolveCase(from);
  const fs::path target = resolveCase(to);
  std::error_code error;
  fs::rename(source, target, error);
  noteEntryRemoved(source);
  if (!error) noteEntryCreated(target);
  return !error;
}

bool createFolder(const fs::path& path) {
  const fs::path resolved = resolveCase(path);
  std::error_code error;
  if (fs::create_directory(resolved, error)) noteEntryCreated(resolved);
  return fs::is_directory(resolved, error);
}

std::optional<std::uint64_t> freeSpace(const fs::path& path) {
  const std::optional<SpaceInfo> info = spaceInfo(path);
  if (!info) return std::nullopt;
  return info->available;
}

}  // namespace platform
