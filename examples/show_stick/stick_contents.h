#pragma once
// Readers for the files that a save leaves on a stick, for looking at them: the data
// archives, the action configuration and the action catalogue. They never trust a count or
// an offset read from the file; whatever was read before a problem is kept, and the problem
// is described in words.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace stick_contents {

inline constexpr std::int32_t kLowestGeneratedNumber = 24001;
inline constexpr std::int32_t kHighestGeneratedNumber = 25001;

// True for the action numbers that the generator owns and rewrites at every save.
bool isGeneratedNumber(std::int32_t number);

struct ArchiveEntry {
  std::string tag;  // printable form of the four tag bytes ("WAVE", "OMTN", "LED")
  std::string name;
  std::uint32_t offset = 0;
  std::uint32_t size = 0;
};

struct ArchiveListing {
  std::uint32_t slotCount = 0;
  std::uint32_t emptySlots = 0;
  std::vector<ArchiveEntry> entries;  // the filled slots, in slot order
  std::string problem;                // empty when the archive is well formed
};

ArchiveListing readArchive(std::span<const std::uint8_t> bytes);

struct ConfigurationRecord {
  std::uint32_t kind = 0;
  std::string name;
};

struct ConfigurationBlock {
  std::int32_t number = 0;
  std::vector<ConfigurationRecord> records;
};

struct ConfigurationListing {
  std::uint32_t version = 0;
  std::int32_t declaredBlocks = 0;
  std::int32_t declaredRecords = 0;
  std::vector<ConfigurationBlock> blocks;  // complete blocks read before any problem
  std::uint64_t trailingBytes = 0;         // bytes after the last declared block
  std::string problem;                     // empty when the file is well formed
};

ConfigurationListing readConfiguration(std::span<const std::uint8_t> bytes);

// Words for a record's kind code ("sound", "head motion", ...), or its hexadecimal value.
std::string kindName(std::uint32_t kind);

// The text lines of a catalogue file, without CR LF or LF; an unterminated last line counts.
std::vector<std::string> catalogueLines(std::span<const std::uint8_t> bytes);

}  // namespace stick_contents
