#include "oda_reader.h"

#include <algorithm>
#include <cstdio>

#include "platform/byte_order.h"

namespace velk_mur {

namespace {

constexpr std::size_t kSlotCountOffset = 8;
constexpr std::size_t kSlotSizeOffset = 12;
constexpr std::size_t kSlotNameOffset = 4;
constexpr std::size_t kSlotDataOffset = 132;
constexpr std::size_t kSlotDataSize = 136;

}  // namespace

OdaReadResult readOdaArchive(std::span<const std::uint8_t> bytes) {
  OdaReadResult result;
  OdaArchiveContents& archive = result.archive;
  if (bytes.size() < kOdaHeaderSize ||
      !std::equal(kOdaMagic.begin(), kOdaMagic.end(), bytes.begin())) {
    result.problem = "not a data archive (no \"ODAR\" header)";
    return result;
  }
  archive.slotCount = platform::getLe32(&bytes[kSlotCountOffset]);
  const std::uint32_t slotSize = platform::getLe32(&bytes[kSlotSizeOffset]);
  if (slotSize != kSlotSize) {
    result.problem = "directory slot size " + std::to_string(slotSize) + " instead of 144";
    return result;
  }
  const std::uint64_t dataStart = odaDirectoryEnd(archive.slotCount);
  // The writer reaches past the table only with its first entry: a header alone is an
  // archive whose slots are all empty.
  if (bytes.size() == kOdaHeaderSize) {
    archive.emptySlots = archive.slotCount;
    return result;
  }
  if (dataStart > bytes.size()) {
    result.problem = "the table of " + std::to_string(archive.slotCount) +
                     " slots runs past the end of the file (" + std::to_string(bytes.size()) +
                     " bytes)";
    return result;
  }
  for (std::uint32_t slot = 0; slot < archive.slotCount; ++slot) {
    const auto slotBytes = bytes.subspan(kOdaHeaderSize + std::size_t{slot} * kSlotSize, kSlotSize);
    if (std::all_of(slotBytes.begin(), slotBytes.end(), [](std::uint8_t b) { return b == 0; })) {
      ++archive.emptySlots;
      continue;
    }
    const auto nameField = slotBytes.subspan(kSlotNameOffset, kEntryNameFieldSize);
    const auto nameEnd = std::find(nameField.begin(), nameField.end(), std::uint8_t{0});
    if (nameEnd == nameField.end()) {
      result.problem = "slot " + std::to_string(slot) + ": name without terminating zero";
      return result;
    }
    OdaEntry entry;
    entry.slot = slot;
    std::copy_n(slotBytes.begin(), entry.tag.size(), entry.tag.begin());
    entry.name.assign(nameField.begin(), nameEnd);
    entry.offset = platform::getLe32(&slotBytes[kSlotDataOffset]);
    entry.size = platform::getLe32(&slotBytes[kSlotDataSize]);
    if (entry.offset < dataStart || std::uint64_t{entry.offset} + entry.size > bytes.size()) {
      result.problem = "entry " + entry.name + ": " + std::to_string(entry.size) +
                       " bytes at offset " + std::to_string(entry.offset) +
                       " lie outside the data area (the file has " + std::to_string(bytes.size()) +
                       " bytes)";
      return result;
    }
    archive.entries.push_back(std::move(entry));
  }
  return result;
}

std::span<const std::uint8_t> odaEntryData(std::span<const std::uint8_t> archive,
                                           const OdaEntry& entry) {
  if (entry.offset > archive.size() || archive.size() - entry.offset < entry.size) return {};
  return archive.subspan(entry.offset, entry.size);
}

std::string odaTagText(const platform::FourCC& tag) {
  std::string text;
  for (std::size_t index = 0; index < tag.size(); ++index) {
    const std::uint8_t byte = tag[index];
    if (byte == 0 && index == tag.size() - 1) break;  // "LED" is closed by a zero byte
    if (byte < 0x20 || byte > 0x7e) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", byte);
      text += hex;
    } else {
      text += static_cast<char>(byte);
    }
  }
  return text;
}

}  // namespace velk_mur
