#pragma once
// The file systems mounted on this computer, as a user sees them: where each one is, what kind
// it is, how big, how full, and the serial number or label that names the medium whatever
// path it was mounted at.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct Volume {
  std::filesystem::path root{};  // the mount point, or the drive's root on Windows
  std::string fileSystem{};      // "FAT16", "FAT32", "FAT", "ext4", "NTFS", ...
  std::uint64_t size = 0;        // bytes, 0 when unknown
  std::uint64_t available = 0;
  std::uint64_t clusterSize = 0;  // the allocation unit, 0 when unknown
  std::string serial{};           // "1A2B-3C4D" for FAT, empty when unknown
  std::string label{};            // as the file system stores it, empty when none
  bool operator==(const Volume&) const = default;
};

// True for the FAT family, the only file systems the robot reads.
bool isFatFileSystem(std::string_view fileSystem);

// What the first sector of a FAT volume tells: its exact kind, cluster size, serial and label.
struct BootSectorFacts {
  std::string fileSystem;  // FAT12, FAT16 or FAT32, told by the count of clusters
  std::uint64_t clusterSize = 0;
  std::uint64_t size = 0;
  std::string serial;
  std::string label;  // without the padding; empty for "NO NAME"
};
// Nothing when the bytes are not a FAT boot sector.
std::optional<BootSectorFacts> readFatBootSector(std::span<const std::uint8_t> sector);

// The mounted volumes, or the reason they could not be listed. File systems of the kernel's own
// (proc, sysfs, cgroups, ...) and network shares are left out: neither can be a stick, and
// asking a share that went away can hang.
struct VolumeListing {
  std::vector<Volume> volumes;
  std::string problem;  // empty when the list is complete
};
VolumeListing mountedVolumes();

// The volume that holds `path`: the mounted volume with the longest root that contains it.
std::optional<Volume> volumeHolding(const std::filesystem::path& path,
                                    const std::vector<Volume>& volumes);

// The volume that holds `path` (symbolic links resolved), asking only that one: a file system
// elsewhere whose driver stopped answering cannot stall a save or an inspection.
std::optional<Volume> volumeOf(const std::filesystem::path& path);

// A name for the medium that stays the same wherever it is mounted, usable as a folder name:
// the serial, else the label, else the mount folder's own name.
std::string volumeKey(const Volume& volume);

}  // namespace platform
