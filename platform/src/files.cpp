#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <utility>

#include "file_faults.h"
#include "files_system.h"
#include "platform/case_path.h"
#include "platform/path_text.h"

namespace fs = std::filesystem;

namespace platform {

namespace {

// Most paths are spelled as on disk: the path as given is tried first, so that a hit costs
// none of the case resolver's lookups.
std::FILE* openResolvingCase(const fs::path& path, const char* mode, fs::path& opened) {
  opened = path;
  if (std::FILE* file = system::openStream(path, mode)) return file;
  opened = resolveCase(path);
  return opened == path ? nullptr : system::openStream(opened, mode);
}

// Archives are written in long runs: a larger buffer than the C library's default makes fewer,
// larger writes.
constexpr std::size_t kOutputBufferSize = std::size_t{64} * 1024;
// Copies go through a buffer of this size where the system cannot copy by itself, so memory
// does not grow with the files.
constexpr std::size_t kCopyChunkSize = std::size_t{64} * 1024;

FileOutcome outcome(FileError error) {
  return FileOutcome{error};
}

}  // namespace

FileError fileErrorOf(int errorNumber) {
  switch (errorNumber) {
    case 0:
      return FileError::Io;  // failed without saying why
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
    case EFBIG:
      return FileError::NoSpace;
    case EROFS:
    case EACCES:
    case EPERM:
      return FileError::ReadOnly;
    case ENOENT:
    case ENODEV:
    case ENXIO:
#ifdef ENOTCONN
    case ENOTCONN:
#endif
#ifdef ESTALE
    case ESTALE:
#endif
#ifdef ENOMEDIUM
    case ENOMEDIUM:
#endif
      return FileError::Gone;
    default:
      return FileError::Io;
  }
}

void CloseStream::operator()(std::FILE* file) const {
  std::fclose(file);
}

OutputFile::Created OutputFile::createOrSayWhy(const fs::path& path) {
  fs::path resolved = resolveCase(path);
  if (const FileError injected = injectedFault(FileOp::Create, resolved);
      injected != FileError::None) {
    return {std::nullopt, injected};
  }
  // Opening a folder for writing fails on every system, so it needs no check of its own.
  Stream file(system::openStream(resolved, "wb"));
  if (!file) return {std::nullopt, system::lastError()};
  std::setvbuf(file.get(), nullptr, _IOFBF, kOutputBufferSize);
  noteEntryCreated(resolved);
  return {OutputFile(std::move(file), std::move(resolved)), FileError::None};
}

std::optional<OutputFile> OutputFile::create(const fs::path& path) {
  return std::move(createOrSayWhy(path).file);
}

bool OutputFile::fail(FileError error) {
  if (error_ == FileError::None) error_ = error;
  return false;
}

bool OutputFile::write(std::span<const std::uint8_t> bytes) {
  if (file_ == nullptr) return false;
  if (const FileError injected = injectedFault(FileOp::Write, path_); injected != FileError::None) {
    return fail(injected);
  }
  if (bytes.empty()) return true;
  errno = 0;
  const std::size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file_.get());
  position_ += written;
  if (written != bytes.size()) return fail(system::lastError());
  startWritebackEvery(written);
  return true;
}

// A long file starts on its way to the device while it is still being written, so that the
// flush that must come before a save may report success waits for its tail only. A failed
// flush here shows again when the file is closed.
void OutputFile::startWritebackEvery(std::uint64_t written) {
  constexpr std::uint64_t kWritebackRun = std::uint64_t{1} << 20;
  unflushed_ += written;
  if (unflushed_ < kWritebackRun) return;
  unflushed_ = 0;
  if (std::fflush(file_.get()) == 0) system::startWriteback(file_.get());
}

bool OutputFile::append(InputFile& source, std::uint64_t size, Bytes& buffer) {
  if (file_ == nullptr || source.file_ == nullptr) return false;
  if (const FileError injected = injectedFault(FileOp::Write, path_); injected != FileError::None) {
    return fail(injected);
  }
  errno = 0;
  if (std::fflush(file_.get()) != 0) return fail(system::lastError());
  FileError error = FileError::None;
  switch (system::copyWithinSystem(file_.get(), source.file_.get(), size, error)) {
    case system::SystemCopy::Done:
      position_ += size;
      startWritebackEvery(size);
      return true;
    case system::SystemCopy::SourceShort:
      return false;
    case system::SystemCopy::Failed:
      return fail(error);
    case system::SystemCopy::Unsupported:
      break;
  }
  return copyThrough(*this, source, size, buffer);
}

bool OutputFile::seek(std::uint64_t offset) {
  if (file_ == nullptr) return false;
  if (!system::seekStream(file_.get(), offset)) return fail(system::lastError());
  position_ = offset;
  return true;
}

FileOutcome OutputFile::close() {
  if (file_ == nullptr) return outcome(error_ != FileError::None ? error_ : FileError::Io);
  const FileError injected = injectedFault(FileOp::Close, path_);
  errno = 0;
  if (std::fflush(file_.get()) != 0 || std::ferror(file_.get()) != 0) fail(system::lastError());
  errno = 0;
  if (std::fclose(file_.release()) != 0) fail(system::lastError());
  if (injected != FileError::None) fail(injected);
  return outcome(error_);
}

std::optional<InputFile> InputFile::open(const fs::path& path) {
  fs::path opened;
  std::FILE* file = openResolvingCase(path, "rb", opened);
  if (file == nullptr) return std::nullopt;
  // A folder opens for reading on some systems.
  Stream stream(file);
  const std::optional<system::StreamFacts> facts = system::streamFacts(file);
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
  return file_ != nullptr && system::seekStream(file_.get(), offset);
}

std::optional<std::uint64_t> InputFile::size() const {
  if (file_ == nullptr) return std::nullopt;
  return size_;
}

bool InputFile::close() {
  if (file_ == nullptr) return false;
  const bool injected = injectedFault(FileOp::Close, path_) != FileError::None;
  const bool closed = std::fclose(file_.release()) == 0;
  return closed && !injected;
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

namespace {

// Whether an entry of the wanted kind is there; one of the other kind counts as absent.
FileState entryState(const fs::path& path, fs::file_type wanted) {
  const fs::path resolved = resolveCase(path);
  if (injectedFault(FileOp::Check, resolved) != FileError::None) return FileState::Unknown;
  std::error_code error;
  const fs::file_status status = fs::status(resolved, error);
  if (status.type() == fs::file_type::not_found) return FileState::Absent;
  if (error) return FileState::Unknown;
  const bool folder = fs::is_directory(status);
  return folder == (wanted == fs::file_type::directory) ? FileState::Present : FileState::Absent;
}

}  // namespace

FileState fileState(const fs::path& path) {
  return entryState(path, fs::file_type::regular);
}

FileState folderState(const fs::path& path) {
  return entryState(path, fs::file_type::directory);
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

FileOutcome writeFlushed(const fs::path& path, std::span<const std::uint8_t> bytes) {
  OutputFile::Created created = OutputFile::createOrSayWhy(path);
  if (!created.file) return outcome(created.error);
  created.file->write(bytes);
  FileOutcome result = created.file->close();
  if (result) result = flushFile(path);
  if (!result) removeFile(path);
  return result;
}

fs::path withExtension(const fs::path& path, std::string_view extension) {
  const std::string name = pathToText(path.filename());
  const std::size_t stop = name.rfind('.');
  return path.parent_path() /
         textToPath(dottedName(stop == std::string::npos ? name : name.substr(0, stop), extension));
}

std::string dottedName(std::string_view name, std::string_view extension) {
  std::string text(name);
  return text.append(".").append(extension);
}

FileOutcome replaceFile(const fs::path& target, std::span<const std::uint8_t> bytes,
                        std::string_view temporaryExtension,
                        const std::function<bool()>& beforeRename) {
  const fs::path temporary = withExtension(target, temporaryExtension);
  FileOutcome result = writeFlushed(temporary, bytes);
  if (!result) return result;
  if (beforeRename && !beforeRename()) {
    removeFile(temporary);
    return outcome(FileError::Io);
  }
  result = renameFile(temporary, target);
  if (!result) {
    removeFile(temporary);
    return result;
  }
  return flushFolder(target.parent_path());
}

FileOutcome copyFile(const fs::path& from, const fs::path& to) {
  const std::optional<Bytes> bytes = readWholeFile(from);
  if (!bytes) return outcome(FileError::Io);
  return writeFlushed(to, *bytes);
}

namespace {

// Four multiply-and-shift lanes over 8-byte words: fast enough to read a stick at its speed,
// and any lost or changed block of bytes changes it.
class Checksum {
 public:
  void add(std::span<const std::uint8_t> bytes) {
    std::size_t at = 0;
    for (; at + 32 <= bytes.size(); at += 32) {
      for (std::size_t lane = 0; lane < 4; ++lane) mix(lanes_[lane], word(&bytes[at + lane * 8]));
    }
    for (; at < bytes.size(); ++at) mix(lanes_[at % 4], bytes[at] + 0x100u);
  }
  std::uint64_t value() const {
    std::uint64_t h = 0;
    for (const std::uint64_t lane : lanes_) mix(h, lane);
    return h;
  }

 private:
  static std::uint64_t word(const std::uint8_t* p) {
    std::uint64_t w = 0;
    for (int i = 7; i >= 0; --i) w = (w << 8) | p[i];
    return w;
  }
  static void mix(std::uint64_t& h, std::uint64_t w) {
    h = (h ^ w) * 0x9E3779B97F4A7C15u;
    h ^= h >> 29;
  }
  std::uint64_t lanes_[4] = {1, 2, 3, 4};
};

}  // namespace

std::optional<FileChecksum> fileChecksum(const fs::path& path, bool fromDevice) {
  Checksum checksum;
  FileChecksum result;
  const bool read =
      system::readChunks(resolveCase(path), fromDevice, [&](std::span<const std::uint8_t> chunk) {
        checksum.add(chunk);
        result.size += chunk.size();
      });
  if (!read) return std::nullopt;
  result.value = checksum.value();
  return result;
}

FileOutcome flushEachFileIn(const fs::path& folder) {
  std::error_code error;
  const fs::path resolved = resolveCase(folder);
  for (fs::directory_iterator it(resolved, error), end; !error && it != end; it.increment(error)) {
    if (!it->is_regular_file(error)) continue;
    if (FileOutcome flushed = flushFile(it->path()); !flushed) return flushed;
  }
  if (error) return outcome(fileErrorOf(error.default_error_condition().value()));
  return flushFolder(resolved);
}

std::uint64_t clusterRounded(std::uint64_t bytes, std::uint64_t clusterSize) {
  if (clusterSize <= 1) return bytes;
  return (bytes + clusterSize - 1) / clusterSize * clusterSize;
}

bool removeFile(const fs::path& path) {
  const fs::path resolved = resolveCase(path);
  if (injectedFault(FileOp::Remove, resolved) != FileError::None) return false;
  std::error_code error;
  if (fs::is_directory(resolved, error)) return false;
  const bool removed = fs::remove(resolved, error) && !error;
  noteEntryRemoved(resolved);
  return removed;
}

FileOutcome renameFile(const fs::path& from, const fs::path& to) {
  const fs::path source = resolveCase(from);
  const fs::path target = resolveCase(to);
  if (const FileError injected = injectedFault(FileOp::Rename, source, target);
      injected != FileError::None) {
    return outcome(injected);
  }
  std::error_code error;
  fs::rename(source, target, error);
  noteEntryRemoved(source);
  if (error) return outcome(fileErrorOf(error.default_error_condition().value()));
  noteEntryCreated(target);
  return {};
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
