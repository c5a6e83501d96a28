#include "platform/volumes.h"

#include <gtest/gtest.h>

#include <array>

#ifndef _WIN32
#include "platform/src/mount_table.h"
#endif

namespace fs = std::filesystem;
using platform::BootSectorFacts;
using platform::Volume;

namespace {

// A boot sector laid out by hand from the on-disk format, with room for a FAT32 block.
struct SectorShape {
  std::uint16_t bytesPerSector = 512;
  std::uint8_t sectorsPerCluster = 4;
  std::uint16_t reserved = 1;
  std::uint8_t fats = 2;
  std::uint16_t rootEntries = 512;
  std::uint32_t totalSectors = 32768;
  std::uint32_t fatSectors = 32;
  bool large = false;  // FAT32: the sizes in their 32-bit fields
  bool extended = true;
  bool signature = true;
};

void put16(std::array<std::uint8_t, 512>& s, std::size_t at, std::uint32_t v) {
  s[at] = static_cast<std::uint8_t>(v);
  s[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(std::array<std::uint8_t, 512>& s, std::size_t at, std::uint32_t v) {
  put16(s, at, v & 0xFFFF);
  put16(s, at + 2, v >> 16);
}

std::array<std::uint8_t, 512> bootSector(const SectorShape& shape) {
  std::array<std::uint8_t, 512> s{};
  put16(s, 11, shape.bytesPerSector);
  s[13] = shape.sectorsPerCluster;
  put16(s, 14, shape.reserved);
  s[16] = shape.fats;
  put16(s, 17, shape.large ? 0 : shape.rootEntries);
  if (shape.totalSectors < 0x10000 && !shape.large) {
    put16(s, 19, shape.totalSectors);
  } else {
    put32(s, 32, shape.totalSectors);
  }
  if (shape.large) {
    put32(s, 36, shape.fatSectors);
  } else {
    put16(s, 22, shape.fatSectors);
  }
  const std::size_t block = shape.large ? 66 : 38;
  if (shape.extended) {
    s[block] = 0x29;
    put32(s, block + 1, 0x1A2B3C4D);
    const char label[] = "AIBO STICK ";
    for (std::size_t i = 0; i < 11; ++i) s[block + 5 + i] = static_cast<std::uint8_t>(label[i]);
  }
  if (shape.signature) {
    s[510] = 0x55;
    s[511] = 0xAA;
  }
  return s;
}

struct BootCase {
  const char* name;
  SectorShape shape;
  const char* fileSystem;  // nullptr: not a FAT boot sector
  std::uint64_t clusterSize;
  const char* serial;
};

TEST(BootSector, KindClusterSerialAndLabelFollowTheLayout) {
  const BootCase cases[] = {
      {"16 MB stick", {}, "FAT16", 2048, "1A2B-3C4D"},
      {"8 MB with 8 KiB clusters",
       {.sectorsPerCluster = 16, .totalSectors = 16384, .fatSectors = 4},
       "FAT12",
       8192,
       "1A2B-3C4D"},
      // 4084 clusters is FAT12's last count, 4085 FAT16's first; the system area is 1+2*12+32.
      {"last FAT12 count",
       {.sectorsPerCluster = 1, .totalSectors = 57 + 4084, .fatSectors = 12},
       "FAT12",
       512,
       "1A2B-3C4D"},
      {"first FAT16 count",
       {.sectorsPerCluster = 1, .totalSectors = 57 + 4085, .fatSectors = 12},
       "FAT16",
       512,
       "1A2B-3C4D"},
      {"FAT32",
       {.sectorsPerCluster = 8,
        .reserved = 32,
        .totalSectors = 2097152,
        .fatSectors = 2048,
        .large = true},
       "FAT32",
       4096,
       "1A2B-3C4D"},
      {"no extended block", {.extended = false}, "FAT16", 2048, ""},
      {"no signature", {.signature = false}, nullptr, 0, ""},
      {"sector size not a power of two", {.bytesPerSector = 600}, nullptr, 0, ""},
      {"cluster not a power of two", {.sectorsPerCluster = 3}, nullptr, 0, ""},
      {"no FAT", {.fats = 0}, nullptr, 0, ""},
      {"system area fills the disk", {.totalSectors = 60}, nullptr, 0, ""},
  };
  for (const BootCase& c : cases) {
    SCOPED_TRACE(c.name);
    const auto sector = bootSector(c.shape);
    const std::optional<BootSectorFacts> facts = platform::readFatBootSector(sector);
    if (c.fileSystem == nullptr) {
      EXPECT_FALSE(facts);
      continue;
    }
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->fileSystem, c.fileSystem);
    EXPECT_EQ(facts->clusterSize, c.clusterSize);
    EXPECT_EQ(facts->serial, c.serial);
    EXPECT_EQ(facts->label, c.serial[0] != '\0' ? "AIBO STICK" : "");
    EXPECT_EQ(facts->size, std::uint64_t{c.shape.totalSectors} * c.shape.bytesPerSector);
  }
}

#ifndef _WIN32
TEST(MountTable, FieldsAreFoundAfterTheOptionalOnesAndUnescaped) {
  const std::string table =
      "36 35 98:0 / /media/owner/AIBO\\040STICK rw,nosuid shared:7 master:1 - vfat /dev/sdb1 rw\n"
      "45 27 0:40 / /tmp/m rw - fuse.fusefat fusefat rw,user_id=0\n"
      "broken line without separator\n"
      "22 27 0:21 / /proc rw - proc\n"
      "27 1 254:0 / / rw - ext4 /dev/vda rw";
  const std::vector<platform::MountEntry> entries = platform::parseMountInfo(table);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].mountPoint, "/media/owner/AIBO STICK");
  EXPECT_EQ(entries[0].type, "vfat");
  EXPECT_EQ(entries[0].source, "/dev/sdb1");
  EXPECT_EQ(entries[1].type, "fuse.fusefat");
  EXPECT_EQ(entries[2].mountPoint, "/");
}

TEST(MountTable, EscapesOfBothKindsBecomeTheirBytes) {
  const struct {
    const char* text;
    const char* mount;
    const char* link;
  } cases[] = {
      {"A\\040B", "A B", "A\\040B"},
      {"A\\x20B", "A\\x20B", "A B"},
      {"cut\\04", "cut\\04", "cut\\04"},  // too few digits
      {"not\\999", "not\\999", "not\\999"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::unescapeMountText(c.text), c.mount) << c.text;
    EXPECT_EQ(platform::unescapeDeviceLink(c.text), c.link) << c.text;
  }
}

#endif

TEST(VolumeHolding, TheLongestRootThatContainsThePathWholeComponentsOnly) {
  std::vector<Volume> volumes(3);
  volumes[0].root = "/";
  volumes[1].root = "/media/stick";
  volumes[2].root = "/media/stick/inner";
  const struct {
    const char* path;
    const char* root;
  } cases[] = {
      {"/media/stick/OPEN-R", "/media/stick"},
      {"/media/stick", "/media/stick"},
      {"/media/stick/", "/media/stick"},
      {"/media/stick2/OPEN-R", "/"},
      {"/media/stick/inner/x", "/media/stick/inner"},
      {"/media/stick/inner/../x", "/media/stick"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const std::optional<Volume> found = platform::volumeHolding(c.path, volumes);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->root, fs::path(c.root));
  }
  EXPECT_FALSE(platform::volumeHolding("relative/path", {volumes[1]}));
}

TEST(VolumeKey, SerialThenLabelThenTheMountFolderMadeSafeForAFolderName) {
  const struct {
    const char* serial;
    const char* label;
    const char* root;
    const char* key;
  } cases[] = {
      {"1A2B-3C4D", "AIBO", "/media/x", "1A2B-3C4D"},
      {"", "MY STICK/1", "/media/x", "MY_STICK_1"},
      {"", "", "/media/owner/AIBO", "AIBO"},
      {"", "", "/media/owner/AIBO/", "AIBO"},
      {"", "", "/", "stick"},
      {"", "..", "/media/x", "x"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    Volume volume;
    volume.serial = c.serial;
    volume.label = c.label;
    volume.root = c.root;
    EXPECT_EQ(platform::volumeKey(volume), c.key);
  }
}

}  // namespace
