// The file layer on Windows.
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>

#include "file_faults.h"
#include "files_system.h"
#include "platform/case_path.h"
#include "platform/files.h"
#include "platform/path_text.h"

namespace fs = std::filesystem;

namespace platform {

namespace system {

// The C library opens narrow paths in the local code page; wide names reach every file
// whatever its name.
std::FILE* openStream(const fs::path& path, const char* mode) {
  const std::string narrow(mode);
  return _wfopen(path.c_str(), std::wstring(narrow.begin(), narrow.end()).c_str());
}

std::optional<StreamFacts> streamFacts(std::FILE* file) {
  struct _stat64 info {};
  if (_fstat64(_fileno(file), &info) != 0) return std::nullopt;
  return StreamFacts{(info.st_mode & _S_IFDIR) != 0, static_cast<std::uint64_t>(info.st_size)};
}

bool seekStream(std::FILE* file, std::uint64_t offset) {
  return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
}

void startWriteback(std::FILE* /*file*/) {}

SystemCopy copyWithinSystem(std::FILE* /*to*/, std::FILE* /*from*/, std::uint64_t /*size*/,
                            FileError& /*error*/) {
  return SystemCopy::Unsupported;
}

FileError lastError() {
  return fileErrorOf(errno);
}

bool readChunks(const fs::path& path, bool fromDevice,
                const std::function<void(std::span<const std::uint8_t>)>& take) {
  // Unbuffered reads go to the device; they need a buffer and lengths in whole sectors, which
  // a page-aligned megabyte is.
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, fromDevice ? FILE_FLAG_NO_BUFFERING : 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  constexpr DWORD kChunk = DWORD{1} << 20;
  void* buffer = VirtualAlloc(nullptr, kChunk, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  bool ok = buffer != nullptr;
  while (ok) {
    DWORD got = 0;
    if (ReadFile(file, buffer, kChunk, &got, nullptr) == 0) {
      ok = false;
      break;
    }
    take(std::span<const std::uint8_t>(static_cast<const std::uint8_t*>(buffer), got));
    if (got < kChunk) break;
  }
  if (buffer != nullptr) VirtualFree(buffer, 0, MEM_RELEASE);
  CloseHandle(file);
  return ok;
}

}  // namespace system

namespace {

FileError errorOfLastCall() {
  switch (GetLastError()) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return FileError::NoSpace;
    case ERROR_WRITE_PROTECT:
    case ERROR_ACCESS_DENIED:
      return FileError::ReadOnly;
    case ERROR_NOT_READY:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return FileError::Gone;
    default:
      return FileError::Io;
  }
}

}  // namespace

FileOutcome flushFile(const fs::path& path) {
  const fs::path resolved = resolveCase(path);
  if (const FileError injected = injectedFault(FileOp::Flush, resolved);
      injected != FileError::None) {
    return {injected};
  }
  const HANDLE file =
      CreateFileW(resolved.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {errorOfLastCall()};
  FileOutcome result;
  if (FlushFileBuffers(file) == 0) result.error = errorOfLastCall();
  CloseHandle(file);
  return result;
}

// Windows writes a folder's entries with the files flushed in it; there is no folder handle
// to flush.
FileOutcome flushFolder(const fs::path& folder) {
  return {injectedFault(FileOp::Flush, resolveCase(folder))};
}

FileOutcome flushFolderAndFiles(const fs::path& folder) {
  return flushEachFileIn(folder);
}

bool readOnlyVolume(const fs::path& path) {
  const std::wstring root = fs::absolute(resolveCase(path)).root_path().wstring();
  DWORD flags = 0;
  return GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) &&
         (flags & FILE_READ_ONLY_VOLUME) != 0;
}

Replaceable replaceable(const fs::path& path) {
  const fs::path resolved = resolveCase(path);
  if (injectedFault(FileOp::Check, resolved) != FileError::None) return Replaceable::Unknown;
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

FolderSizes::FolderSizes(fs::path folder) : folder_(std::move(folder)) {}

FolderSizes::~FolderSizes() = default;

std::optional<std::uint64_t> FolderSizes::of(const std::string& name) const {
  return fileSize(folder_ / textToPath(name));
}

}  // namespace platform
