// The mounted volumes on Linux: the kernel's mount table, the file system's own statistics,
// and the boot sector or the device links for what names the medium.
#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <set>
#include <string_view>

#include "mount_table.h"
#include "platform/path_text.h"
#include "platform/volumes.h"

namespace fs = std::filesystem;

namespace platform {

namespace {

// Kernel bookkeeping and memory file systems: never a stick.
const std::set<std::string_view> kInternalTypes{
    "proc",          "sysfs",           "devtmpfs",    "devpts",
    "tmpfs",         "ramfs",           "cgroup",      "cgroup2",
    "securityfs",    "pstore",          "bpf",         "debugfs",
    "tracefs",       "mqueue",          "hugetlbfs",   "configfs",
    "fusectl",       "autofs",          "binfmt_misc", "nsfs",
    "efivarfs",      "squashfs",        "overlay",     "rpc_pipefs",
    "selinuxfs",     "fuse.gvfsd-fuse", "fuse.portal", "fuse.lxcfs",
    "fuse.snapfuse",
};
// Shares on other computers: asking one that went away can hang for minutes.
const std::set<std::string_view> kNetworkTypes{
    "nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "fuse.rclone", "fuse.s3fs", "afs", "ceph",
};

std::string userFacingName(std::string_view type) {
  if (isFatFileSystem(type)) return "FAT";
  if (type == "exfat" || type == "fuse.exfat") return "exFAT";
  if (type == "ntfs" || type == "ntfs3" || type == "fuseblk" || type == "fuse.ntfs-3g") {
    return "NTFS";
  }
  if (type == "hfsplus") return "HFS+";
  return std::string(type);
}

std::optional<std::string> readProcText(const char* path) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return std::nullopt;
  std::string text;
  std::array<char, 4096> buffer{};
  std::size_t got = 0;
  while ((got = std::fread(buffer.data(), 1, buffer.size(), file)) > 0)
    text.append(buffer.data(), got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return std::nullopt;
  return text;
}

// The first sector of the device or image the volume came from, when this user may read it.
std::optional<BootSectorFacts> bootSectorOf(const std::string& source) {
  if (!source.starts_with('/')) return std::nullopt;
  const int fd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  std::array<std::uint8_t, 512> sector{};
  const ssize_t got = ::pread(fd, sector.data(), sector.size(), 0);
  ::close(fd);
  if (got != static_cast<ssize_t>(sector.size())) return std::nullopt;
  return readFatBootSector(sector);
}

// The name of the link in /dev/disk/<kind> that leads to `device`, as udev escapes it.
std::string deviceLinkName(const std::string& device, const char* kind) {
  std::error_code error;
  const fs::path target = fs::canonical(fs::path(device), error);
  if (error) return {};
  for (const fs::directory_entry& entry :
       fs::directory_iterator(fs::path("/dev/disk") / kind, error)) {
    std::error_code linkError;
    if (fs::canonical(entry.path(), linkError) == target && !linkError) {
      return unescapeDeviceLink(pathToText(entry.path().filename()));
    }
  }
  return {};
}

Volume describe(const MountEntry& entry) {
  Volume volume;
  volume.root = fs::path(entry.mountPoint);
  volume.fileSystem = userFacingName(entry.type);
  struct statvfs info {};
  if (::statvfs(entry.mountPoint.c_str(), &info) == 0) {
    const std::uint64_t unit = info.f_frsize != 0 ? info.f_frsize : info.f_bsize;
    volume.size = std::uint64_t{info.f_blocks} * unit;
    volume.available = std::uint64_t{info.f_bavail} * unit;
    volume.clusterSize = unit;
  }
  if (entry.type.starts_with("fuse") || isFatFileSystem(entry.type)) {
    if (const std::optional<BootSectorFacts> facts = bootSectorOf(entry.source)) {
      volume.fileSystem = facts->fileSystem;
      volume.clusterSize = facts->clusterSize;
      volume.serial = facts->serial;
      volume.label = facts->label;
      return volume;
    }
  }
  if (entry.source.starts_with("/dev/")) {
    volume.serial = deviceLinkName(entry.source, "by-uuid");
    volume.label = deviceLinkName(entry.source, "by-label");
  }
  return volume;
}

// The mounts a stick can be among; nothing when the table cannot be read.
std::optional<std::vector<MountEntry>> candidateMounts() {
  const std::optional<std::string> table = readProcText("/proc/self/mountinfo");
  if (!table) return std::nullopt;
  std::vector<MountEntry> entries = parseMountInfo(*table);
  std::erase_if(entries, [](const MountEntry& entry) {
    return kInternalTypes.contains(entry.type) || kNetworkTypes.contains(entry.type);
  });
  return entries;
}

}  // namespace

VolumeListing mountedVolumes() {
  VolumeListing listing;
  const std::optional<std::vector<MountEntry>> entries = candidateMounts();
  if (!entries) {
    listing.problem = "the list of mounted file systems could not be read";
    return listing;
  }
  for (const MountEntry& entry : *entries) listing.volumes.push_back(describe(entry));
  return listing;
}

std::optional<Volume> volumeOf(const fs::path& path) {
  const std::optional<std::vector<MountEntry>> entries = candidateMounts();
  if (!entries) return std::nullopt;
  std::vector<Volume> roots;
  for (const MountEntry& entry : *entries)
    roots.push_back(Volume{.root = fs::path(entry.mountPoint)});
  std::error_code error;
  fs::path resolved = fs::weakly_canonical(path, error);
  if (error) resolved = path;
  const std::optional<Volume> holding = volumeHolding(resolved, roots);
  if (!holding) return std::nullopt;
  for (const MountEntry& entry : *entries) {
    if (fs::path(entry.mountPoint) == holding->root) return describe(entry);
  }
  return std::nullopt;
}

}  // namespace platform
