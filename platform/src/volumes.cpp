#include "platform/volumes.h"

#include <algorithm>
#include <cstdio>

#include "platform/ascii_text.h"
#include "platform/byte_order.h"
#include "platform/path_text.h"

namespace fs = std::filesystem;

namespace platform {

namespace {

// Offsets of the BIOS parameter block shared by every FAT kind.
constexpr std::size_t kBytesPerSector = 11;
constexpr std::size_t kSectorsPerCluster = 13;
constexpr std::size_t kReservedSectors = 14;
constexpr std::size_t kFatCount = 16;
constexpr std::size_t kRootEntries = 17;
constexpr std::size_t kTotalSectors16 = 19;
constexpr std::size_t kFatSize16 = 22;
constexpr std::size_t kTotalSectors32 = 32;
constexpr std::size_t kFatSize32 = 36;
// The extended block (signature, serial, label) sits at one place on FAT12/16, another on FAT32.
constexpr std::size_t kExtendedSmall = 38;
constexpr std::size_t kExtendedLarge = 66;
constexpr std::uint8_t kExtendedSignature = 0x29;
constexpr std::size_t kSectorSize = 512;
constexpr std::size_t kLabelLength = 11;
constexpr std::size_t kDirectoryEntrySize = 32;
// The count of clusters, not the name in the boot sector, decides the kind.
constexpr std::uint64_t kMostFat12Clusters = 4084;
constexpr std::uint64_t kMostFat16Clusters = 65524;

bool isPowerOfTwo(std::uint32_t value) {
  return value != 0 && (value & (value - 1)) == 0;
}

std::string serialText(std::uint32_t serial) {
  char text[10];
  std::snprintf(text, sizeof text, "%04X-%04X", static_cast<unsigned>(serial >> 16),
                static_cast<unsigned>(serial & 0xFFFF));
  return text;
}

std::string labelText(const std::uint8_t* bytes) {
  std::string label(reinterpret_cast<const char*>(bytes), kLabelLength);
  while (!label.empty() && (label.back() == ' ' || label.back() == '\0')) label.pop_back();
  if (label == "NO NAME") return {};
  return label;
}

// Keeps what a folder name may hold on every system.
std::string folderSafe(std::string_view text) {
  std::string safe;
  for (const char c : text) {
    const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                       c == '-' || c == '_' || c == '.' || static_cast<unsigned char>(c) >= 0x80;
    safe += plain ? c : '_';
  }
  while (!safe.empty() && safe.back() == '.') safe.pop_back();
  return safe;
}

// Drive letters and folders on Windows are one in any letter case; mount points elsewhere are not.
bool samePart(const fs::path& a, const fs::path& b) {
#ifdef _WIN32
  return equalsIgnoreCase(pathToText(a), pathToText(b));
#else
  return a == b;
#endif
}

}  // namespace

bool isFatFileSystem(std::string_view fileSystem) {
  const std::string lower = toLowerAscii(fileSystem);
  return lower.starts_with("fat") || lower == "vfat" || lower == "msdos" || lower == "fuse.fusefat";
}

std::optional<BootSectorFacts> readFatBootSector(std::span<const std::uint8_t> sector) {
  if (sector.size() < kSectorSize || sector[510] != 0x55 || sector[511] != 0xAA) {
    return std::nullopt;
  }
  const std::uint8_t* p = sector.data();
  const std::uint32_t bytesPerSector = getLe16(p + kBytesPerSector);
  const std::uint32_t sectorsPerCluster = p[kSectorsPerCluster];
  const std::uint32_t reserved = getLe16(p + kReservedSectors);
  const std::uint32_t fats = p[kFatCount];
  const std::uint32_t rootEntries = getLe16(p + kRootEntries);
  const std::uint32_t total16 = getLe16(p + kTotalSectors16);
  const std::uint32_t fatSize16 = getLe16(p + kFatSize16);
  const std::uint64_t totalSectors = total16 != 0 ? total16 : getLe32(p + kTotalSectors32);
  const std::uint64_t fatSize = fatSize16 != 0 ? fatSize16 : getLe32(p + kFatSize32);
  if (bytesPerSector < kSectorSize || bytesPerSector > 4096 || !isPowerOfTwo(bytesPerSector) ||
      !isPowerOfTwo(sectorsPerCluster) || reserved == 0 || fats == 0 || fatSize == 0) {
    return std::nullopt;
  }
  const std::uint64_t rootSectors =
      (std::uint64_t{rootEntries} * kDirectoryEntrySize + bytesPerSector - 1) / bytesPerSector;
  const std::uint64_t systemSectors = reserved + fats * fatSize + rootSectors;
  if (totalSectors <= systemSectors) return std::nullopt;
  const std::uint64_t clusters = (totalSectors - systemSectors) / sectorsPerCluster;

  BootSectorFacts facts;
  facts.fileSystem = clusters <= kMostFat12Clusters   ? "FAT12"
                     : clusters <= kMostFat16Clusters ? "FAT16"
                                                      : "FAT32";
  facts.clusterSize = std::uint64_t{bytesPerSector} * sectorsPerCluster;
  facts.size = totalSectors * bytesPerSector;
  const std::size_t extended = facts.fileSystem == "FAT32" ? kExtendedLarge : kExtendedSmall;
  if (p[extended] == kExtendedSignature) {
    facts.serial = serialText(getLe32(p + extended + 1));
    facts.label = labelText(p + extended + 5);
  }
  return facts;
}

std::optional<Volume> volumeHolding(const fs::path& path, const std::vector<Volume>& volumes) {
  const fs::path wanted = path.lexically_normal();
  const Volume* best = nullptr;
  std::size_t bestLength = 0;
  for (const Volume& volume : volumes) {
    const fs::path root = volume.root.lexically_normal();
    // Compared component by component, so /media/stick does not hold /media/stick2.
    auto rootPart = root.begin();
    auto pathPart = wanted.begin();
    std::size_t length = 0;
    for (; rootPart != root.end() && pathPart != wanted.end(); ++rootPart, ++pathPart, ++length) {
      if (rootPart->empty()) break;  // a trailing separator ends the root
      if (!samePart(*rootPart, *pathPart)) break;
    }
    const bool rootEnded = rootPart == root.end() || rootPart->empty();
    if (rootEnded && (best == nullptr || length > bestLength)) {
      best = &volume;
      bestLength = length;
    }
  }
  if (best == nullptr) return std::nullopt;
  return *best;
}

std::string volumeKey(const Volume& volume) {
  const fs::path root = volume.root.filename().empty() ? volume.root.parent_path() : volume.root;
  for (const std::string& name : {volume.serial, volume.label, pathToText(root.filename())}) {
    std::string key = folderSafe(name);
    if (!key.empty()) return key;
  }
  return "stick";
}

}  // namespace platform
