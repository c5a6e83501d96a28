#include "platform/files.h"

#include <cerrno>
#include <system_error>
#include <utility>

#include "platform/case_path.h"
#include "platform/file_faults.h"

namespace fs = std::filesystem;

namespace platform {

namespace {

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

}  // namespace

std::optional<OutputFile> OutputFile::create(const fs::path& path) {
  if (FaultInjection::shouldFail(FileOp::Create)) return std::nullopt;
  fs::path resolved = resolveCase(path);
  // Opening a folder for writing fails on every system, so it needs no check of its own.
  std::FILE* file = openStream(resolved, "wb");
  if (file == nullptr) return std::nullopt;
  noteEntryCreated(resolved);
  return OutputFile(file, std::move(resolved));
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)),
      path_(std::move(other.path_)),
      position_(other.position_) {}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
  if (this != &other) {
    if (file_ != nullptr) std::fclose(file_);
    file_ = std::exchange(other.file_, nullptr);
    path_ = std::move(other.path_);
    position_ = other.position_;
  }
  return *this;
}

OutputFile::~OutputFile() {
  if (file_ != nullptr) std::fclose(file_);
}

bool OutputFile::write(std::span<const std::uint8_t> bytes) {
  if (file_ == nullptr) return false;
  if (FaultInjection::shouldFail(FileOp::Write)) return false;
  if (bytes.empty()) return true;
  const std::size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file_);
  position_ += written;
  return written == bytes.size();
}

bool OutputFile::seek(std::uint64_t offset) {
  if (file_ == nullptr) return false;
  if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) return false;
  position_ = offset;
  return true;
}

bool OutputFile::close() {
  if (file_ == nullptr) return false;
  const bool failNow = FaultInjection::shouldFail(FileOp::Close);
  const bool flushed = std::fflush(file_) == 0 && std::ferror(file_) == 0;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  return flushed && closed && !failNow;
}

std::optional<InputFile> InputFile::open(const fs::path& path) {
  fs::path resolved = resolveCase(path);
  std::FILE* file = openStream(resolved, "rb");
  if (file == nullptr) return std::nullopt;
  // A folder opens for reading on some systems; it is checked only once something opened, so
  // an absent file costs no second look.
  std::error_code error;
  if (fs::is_directory(resolved, error)) {
    std::fclose(file);
    return std::nullopt;
  }
  return InputFile(file, std::move(resolved));
}

InputFile::InputFile(InputFile&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)), path_(std::move(other.path_)) {}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
  if (this != &other) {
    if (file_ != nullptr) std::fclose(file_);
    file_ = std::exchange(other.file_, nullptr);
    path_ = std::move(other.path_);
  }
  return *this;
}

InputFile::~InputFile() {
  if (file_ != nullptr) std::fclose(file_);
}

bool InputFile::read(std::span<std::uint8_t> out) {
  if (out.empty()) return file_ != nullptr;
  return readSome(out) == out.size();
}

std::size_t InputFile::readSome(std::span<std::uint8_t> out) {
  if (file_ == nullptr || out.empty()) return 0;
  return std::fread(out.data(), 1, out.size(), file_);
}

bool InputFile::seek(std::uint64_t offset) {
  if (file_ == nullptr) return false;
  return std::fseek(file_, static_cast<long>(offset), SEEK_SET) == 0;
}

std::optional<std::uint64_t> InputFile::size() {
  if (file_ == nullptr) return std::nullopt;
  const long here = std::ftell(file_);
  if (here < 0 || std::fseek(file_, 0, SEEK_END) != 0) return std::nullopt;
  const long end = std::ftell(file_);
  if (end < 0 || std::fseek(file_, here, SEEK_SET) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(end);
}

bool InputFile::close() {
  if (file_ == nullptr) return false;
  const bool failNow = FaultInjection::shouldFail(FileOp::Close);
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  return closed && !failNow;
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

bool fileExists(const fs::path& path) {
  return InputFile::open(path).has_value();
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
  std::error_code error;
  const fs::space_info info = fs::space(resolveCase(path), error);
  if (error) return std::nullopt;
  return info.available;
}

}  // namespace platform
