#pragma once
// Binary file input and output. Every path is resolved without regard to letter case, and
// every create, write, close, rename and remove passes the fault seam (file_faults.h).
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/byte_order.h"
#include "platform/byte_sink.h"

namespace platform {

class InputFile;

// Why a write, close, flush, create or rename failed, so that the user hears what to do about
// it: make room, unlock the stick, put it back, or try another.
enum class FileError { None, NoSpace, ReadOnly, Gone, Io };

// The reason behind a system error number.
FileError fileErrorOf(int errorNumber);

struct FileOutcome {
  FileError error = FileError::None;
  explicit operator bool() const { return error == FileError::None; }
};

// Owns an open C stream and closes it without a check when dropped.
struct CloseStream {
  void operator()(std::FILE* file) const;
};
using Stream = std::unique_ptr<std::FILE, CloseStream>;

// A file opened for writing as bytes. Creating it truncates an existing file; a file whose
// name differs only in letter case is replaced rather than given a twin.
class OutputFile final : public ByteSink {
 public:
  static std::optional<OutputFile> create(const std::filesystem::path& path);
  struct Created;
  // The same, with the reason when the file could not be created.
  static Created createOrSayWhy(const std::filesystem::path& path);

  // Dropping the file closes it without reporting; call close() to learn the outcome.

  using ByteSink::write;
  bool write(std::span<const std::uint8_t> bytes) override;
  bool seek(std::uint64_t offset) override;
  std::uint64_t position() const override { return position_; }

  // Writes the first `size` bytes of `source` here, as one write: copied by the system itself
  // where it can, through `buffer` otherwise. False also when the source has fewer bytes.
  bool append(InputFile& source, std::uint64_t size, Bytes& buffer);

  // Flushes and closes; fails when anything written or buffered could not be written, with
  // the first failure's reason.
  FileOutcome close();
  // Why the first failed write failed; None while every write succeeded.
  FileError error() const { return error_; }
  const std::filesystem::path& path() const { return path_; }

 private:
  OutputFile(Stream file, std::filesystem::path path)
      : file_(std::move(file)), path_(std::move(path)) {}
  void startWritebackEvery(std::uint64_t written);
  bool fail(FileError error);
  Stream file_;
  std::filesystem::path path_;
  std::uint64_t position_ = 0;
  std::uint64_t unflushed_ = 0;
  FileError error_ = FileError::None;
};

struct OutputFile::Created {
  std::optional<OutputFile> file;
  FileError error = FileError::None;
};

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Fills `out` completely or reports failure.
  virtual bool read(std::span<std::uint8_t> out) = 0;
};

// A file opened for reading as bytes.
class InputFile final : public ByteSource {
 public:
  static std::optional<InputFile> open(const std::filesystem::path& path);

  bool read(std::span<std::uint8_t> out) override;
  // Reads up to out.size() bytes; returns how many were read.
  std::size_t readSome(std::span<std::uint8_t> out);
  bool seek(std::uint64_t offset);
  // The size the file had when it was opened.
  std::optional<std::uint64_t> size() const;
  bool close();
  const std::filesystem::path& path() const { return path_; }

 private:
  friend class OutputFile;  // copies from the stream without reading it through a buffer
  InputFile(Stream file, std::filesystem::path path, std::uint64_t size)
      : file_(std::move(file)), path_(std::move(path)), size_(size) {}
  Stream file_;
  std::filesystem::path path_;
  std::uint64_t size_ = 0;
};

// Writes the first `size` bytes of `source` to `sink` through `buffer`, which grows to one
// chunk and serves the next copy too. False also when the source has fewer bytes.
bool copyThrough(ByteSink& sink, InputFile& source, std::uint64_t size, Bytes& buffer);

// The whole file, or nothing when it cannot be opened or read. `maxSize` guards memory.
std::optional<Bytes> readWholeFile(const std::filesystem::path& path,
                                   std::uint64_t maxSize = std::uint64_t{1} << 31);
// The same as text, read straight into the string.
std::optional<std::string> readWholeText(const std::filesystem::path& path,
                                         std::uint64_t maxSize = std::uint64_t{1} << 31);

// Reading a file that may be absent: absence and a failed read are different answers.
enum class FileReadStatus { Read, Missing, Unreadable };
struct FileReadResult {
  FileReadStatus status = FileReadStatus::Unreadable;
  Bytes bytes;  // the whole file when read
};
FileReadResult readFileIfPresent(const std::filesystem::path& path,
                                 std::uint64_t maxSize = std::uint64_t{1} << 31);

// True when the file can be opened for reading. False also when it could not be checked, so
// never decide on it that a file may be overwritten or deleted: ask fileState.
bool fileExists(const std::filesystem::path& path);

// Whether a file is there. Unknown means the question itself failed (an I/O error, a folder
// that cannot be read): the file may well be there, and nothing may be done as if it were not.
enum class FileState { Absent, Present, Unknown };
FileState fileState(const std::filesystem::path& path);
// The same question of a folder (a file there counts as no folder).
FileState folderState(const std::filesystem::path& path);

// Writes `bytes` as the whole of the file `path` (created or truncated), closes it and flushes
// it to the device. On any failure the file is removed, so a caller that renames it over its
// target afterwards never puts a part of it in place.
FileOutcome writeFlushed(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

// `path` with its extension (after the last dot of the name, if any) replaced: "R-CODE.TMP".
std::filesystem::path withExtension(const std::filesystem::path& path, std::string_view extension);
// "name.extension" as text, for names formed from parts.
std::string dottedName(std::string_view name, std::string_view extension);

// Puts `bytes` in the place of `target` whole or not at all: written beside it under
// `temporaryExtension` and flushed, renamed over it, and its folder flushed. `beforeRename`,
// when given, runs once the new file is safe on the device; false from it gives up, leaving
// the target as it was.
FileOutcome replaceFile(const std::filesystem::path& target, std::span<const std::uint8_t> bytes,
                        std::string_view temporaryExtension,
                        const std::function<bool()>& beforeRename = {});

// Copies the file whole into `to` as writeFlushed writes it.
FileOutcome copyFile(const std::filesystem::path& from, const std::filesystem::path& to);

// Pushes what was written to the file, or the folder's entries (new, renamed and removed
// names), out to the device, so that a stick pulled afterwards keeps them. Only after both
// may a save say it is done.
FileOutcome flushFile(const std::filesystem::path& path);
FileOutcome flushFolder(const std::filesystem::path& folder);
// The folder's entries and every file in it, in one pass where the system can push a whole
// file system at once: for many files written in a row, far cheaper than one flush each.
FileOutcome flushFolderAndFiles(const std::filesystem::path& folder);

// A file's size and a 64-bit checksum of its bytes. `fromDevice` reads them from the device
// itself rather than from the system's cache of what was written (drop the cached pages on
// Linux, an unbuffered read on Windows), so that a stick or card reader that did not keep a
// write shows it; call it after the file was flushed.
struct FileChecksum {
  std::uint64_t size = 0;
  std::uint64_t value = 0;
  bool operator==(const FileChecksum&) const = default;
};
std::optional<FileChecksum> fileChecksum(const std::filesystem::path& path, bool fromDevice);

// Whether the file system that holds `path` is mounted read-only (a locked stick). False also
// when that could not be asked.
bool readOnlyVolume(const std::filesystem::path& path);

// Whether an existing file can be replaced now. No when it is read-only, immutable or held
// open by a program that forbids it; an absent file can always be replaced.
enum class Replaceable { Yes, No, Unknown };
Replaceable replaceable(const std::filesystem::path& path);

// Removes a file; false when it could not be removed (also when it was absent).
bool removeFile(const std::filesystem::path& path);

// Renames `from` to `to`, replacing `to` (or an existing file whose name differs only in
// case) in one step.
FileOutcome renameFile(const std::filesystem::path& from, const std::filesystem::path& to);

// Creates a folder; true when it exists afterwards.
bool createFolder(const std::filesystem::path& path);

// Bytes free on the file system that holds `path`, and its allocation unit: every file takes
// a whole number of clusters.
struct SpaceInfo {
  std::uint64_t available = 0;
  std::uint64_t clusterSize = 1;
};
std::optional<SpaceInfo> spaceInfo(const std::filesystem::path& path);
std::optional<std::uint64_t> freeSpace(const std::filesystem::path& path);

// `bytes` rounded up to whole clusters (a cluster size of 0 counts as 1).
std::uint64_t clusterRounded(std::uint64_t bytes, std::uint64_t clusterSize);

// The file's size (letter case resolved): nothing when it is absent or cannot be checked.
std::optional<std::uint64_t> fileSize(const std::filesystem::path& path);

// The sizes of many files in one folder, each asked relative to the folder: one name's lookup
// instead of the whole path's.
class FolderSizes {
 public:
  explicit FolderSizes(std::filesystem::path folder);
  FolderSizes(const FolderSizes&) = delete;
  FolderSizes& operator=(const FolderSizes&) = delete;
  ~FolderSizes();

  // The same answer as fileSize(folder / name).
  std::optional<std::uint64_t> of(const std::string& name) const;

 private:
  std::filesystem::path folder_;
  int handle_ = -1;  // the open folder where the system can ask within it
};

}  // namespace platform
