#include "examples/show_stick/stick_contents.h"

#include <algorithm>
#include <cstdio>

#include "platform/ascii_text.h"
#include "platform/byte_order.h"

namespace stick_contents {
namespace {

constexpr std::size_t kArchiveHeaderSize = 64;
constexpr std::uint32_t kArchiveSlotSize = 144;
constexpr std::size_t kSlotNameOffset = 4;
constexpr std::size_t kSlotNameSize = 128;
constexpr std::size_t kSlotDataOffset = 132;
constexpr std::size_t kSlotDataSize = 136;

constexpr std::size_t kConfigurationHeaderSize = 16;
constexpr std::size_t kBlockHeadSize = 12;
constexpr std::size_t kRecordFixedSize = 24;
constexpr std::uint32_t kConfigurationVersion = 1;
constexpr unsigned kShortestName = 2;
constexpr unsigned kLongestName = 100;

constexpr platform::FourCC kArchiveMagic{'O', 'D', 'A', 'R'};
constexpr platform::FourCC kConfigurationMagic{'M', 'W', 'C', 'M'};
constexpr platform::FourCC kBlockTag{'M', 'C', 'I', 'D'};
constexpr platform::FourCC kRecordTag{'C', 'M', 'A', 'C'};

using platform::hasTag;

std::string printableTag(const std::uint8_t* tag) {
  std::string text;
  for (int i = 0; i < 4; ++i) {
    if (tag[i] == 0) continue;  // "LED" is closed by a zero byte
    if (tag[i] < 0x20 || tag[i] > 0x7e) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", tag[i]);
      text += hex;
    } else {
      text += static_cast<char>(tag[i]);
    }
  }
  return text;
}

std::string at(std::size_t offset) {
  return " at offset " + std::to_string(offset);
}

}  // namespace

bool isGeneratedNumber(std::int32_t number) {
  return number >= kLowestGeneratedNumber && number <= kHighestGeneratedNumber;
}

ArchiveListing readArchive(std::span<const std::uint8_t> bytes) {
  ArchiveListing listing;
  if (bytes.size() < kArchiveHeaderSize || !hasTag(bytes, 0, kArchiveMagic)) {
    listing.problem = "not an archive (no \"ODAR\" header)";
    return listing;
  }
  listing.slotCount = platform::getLe32(&bytes[8]);
  const std::uint32_t slotSize = platform::getLe32(&bytes[12]);
  if (slotSize != kArchiveSlotSize) {
    listing.problem = "directory slot size " + std::to_string(slotSize) + " instead of 144";
    return listing;
  }
  const std::uint64_t dataStart = kArchiveHeaderSize + std::uint64_t{listing.slotCount} * slotSize;
  if (dataStart > bytes.size()) {
    listing.problem = std::to_string(listing.slotCount) + " slots declared, but the file ends" +
                      at(bytes.size()) + ", inside the directory";
    return listing;
  }
  for (std::uint32_t slot = 0; slot < listing.slotCount; ++slot) {
    const std::size_t base = kArchiveHeaderSize + std::size_t{slot} * kArchiveSlotSize;
    const auto slotBytes = bytes.subspan(base, kArchiveSlotSize);
    if (std::all_of(slotBytes.begin(), slotBytes.end(), [](std::uint8_t b) { return b == 0; })) {
      ++listing.emptySlots;
      continue;
    }
    const auto nameField = slotBytes.subspan(kSlotNameOffset, kSlotNameSize);
    const auto nameEnd = std::find(nameField.begin(), nameField.end(), std::uint8_t{0});
    if (nameEnd == nameField.end()) {
      listing.problem = "slot " + std::to_string(slot) + ": name without terminating zero";
      return listing;
    }
    ArchiveEntry entry;
    entry.tag = printableTag(slotBytes.data());
    entry.name.assign(nameField.begin(), nameEnd);
    entry.offset = platform::getLe32(&slotBytes[kSlotDataOffset]);
    entry.size = platform::getLe32(&slotBytes[kSlotDataSize]);
    if (entry.offset < dataStart || std::uint64_t{entry.offset} + entry.size > bytes.size()) {
      listing.problem = "slot " + std::to_string(slot) + " (" + entry.name + "): data at " +
                        std::to_string(entry.offset) + ", " + std::to_string(entry.size) +
                        " bytes, lies outside the data area (file has " +
                        std::to_string(bytes.size()) + " bytes)";
      return listing;
    }
    listing.entries.push_back(std::move(entry));
  }
  return listing;
}

ConfigurationListing readConfiguration(std::span<const std::uint8_t> bytes) {
  ConfigurationListing listing;
  if (bytes.size() < kConfigurationHeaderSize || !hasTag(bytes, 0, kConfigurationMagic)) {
    listing.problem = "not an action configuration (no \"MWCM\" header)";
    return listing;
  }
  listing.version = platform::getLe32(&bytes[4]);
  listing.declaredBlocks = static_cast<std::int32_t>(platform::getLe32(&bytes[8]));
  listing.declaredRecords = static_cast<std::int32_t>(platform::getLe32(&bytes[12]));
  if (listing.version != kConfigurationVersion) {
    listing.problem = "version " + std::to_string(listing.version) + " (only 1 is known)";
    return listing;
  }
  if (listing.declaredBlocks < 0) {
    listing.problem = "negative block count " + std::to_string(listing.declaredBlocks);
    return listing;
  }
  std::size_t position = kConfigurationHeaderSize;
  for (std::int32_t index = 0; index < listing.declaredBlocks; ++index) {
    if (!hasTag(bytes, position, kBlockTag) || bytes.size() - position < kBlockHeadSize) {
      listing.problem = "block " + std::to_string(index + 1) + " of " +
                        std::to_string(listing.declaredBlocks) + ": no \"MCID\" block head" +
                        at(position);
      return listing;
    }
    ConfigurationBlock block;
    block.number = static_cast<std::int32_t>(platform::getLe32(&bytes[position + 4]));
    const auto recordCount = static_cast<std::int32_t>(platform::getLe32(&bytes[position + 8]));
    position += kBlockHeadSize;
    if (recordCount < 0) {
      listing.problem = "block " + std::to_string(block.number) + ": negative record count";
      return listing;
    }
    for (std::int32_t record = 0; record < recordCount; ++record) {
      if (!hasTag(bytes, position, kRecordTag) || bytes.size() - position < kRecordFixedSize + 1) {
        listing.problem = "block " + std::to_string(block.number) + ", record " +
                          std::to_string(record + 1) + ": no complete \"CMAC\" record" +
                          at(position);
        return listing;
      }
      const std::uint32_t kind = platform::getLe32(&bytes[position + 4]);
      const unsigned length = bytes[position + kRecordFixedSize];
      const std::size_t nameStart = position + kRecordFixedSize + 1;
      if (length < kShortestName || length > kLongestName) {
        listing.problem = "block " + std::to_string(block.number) + ", record " +
                          std::to_string(record + 1) + ": name length " + std::to_string(length) +
                          " outside 2 to 100 (a save would refuse this file)";
        return listing;
      }
      if (bytes.size() - nameStart < length) {
        listing.problem = "block " + std::to_string(block.number) + ", record " +
                          std::to_string(record + 1) + ": name runs past the end of the file";
        return listing;
      }
      block.records.push_back(
          {kind, std::string(bytes.begin() + nameStart, bytes.begin() + nameStart + length)});
      position = nameStart + length;
    }
    listing.blocks.push_back(std::move(block));
  }
  listing.trailingBytes = bytes.size() - position;
  return listing;
}

std::string kindName(std::uint32_t kind) {
  switch (kind) {
    case 0x1010:
      return "full-body motion";
    case 0x1030:
      return "head motion";
    case 0x1020:
      return "mouth motion";
    case 0x2010:
      return "sound";
    case 0x3030:
      return "eye LEDs";
    default: {
      char hex[16];
      std::snprintf(hex, sizeof hex, "kind 0x%04X", static_cast<unsigned>(kind));
      return hex;
    }
  }
}

std::vector<std::string> catalogueLines(std::span<const std::uint8_t> bytes) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  std::vector<std::string> lines;
  for (const platform::TextLine& line : platform::splitLines(text))
    lines.emplace_back(line.content);
  return lines;
}

}  // namespace stick_contents
