#include "mwc_reader.h"

#include <algorithm>
#include <cstdio>

#include "mwc_update.h"
#include "platform/byte_order.h"

namespace velk_mur {

namespace {

std::int32_t signed32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::int32_t>(platform::getLe32(&bytes[at]));
}

}  // namespace

MwcReadResult readMwcFile(std::span<const std::uint8_t> bytes) {
  MwcReadResult result;
  MwcContents& configuration = result.configuration;
  const auto refuse = [&result](std::string problem) {
    result.problem = std::move(problem);
    return result;
  };
  if (bytes.size() < kMwcHeaderSize || !platform::hasTag(bytes, 0, kMwcMagic)) {
    return refuse("not an action configuration (no \"MWCM\" header)");
  }
  configuration.version = platform::getLe32(&bytes[4]);
  configuration.declaredBlocks = signed32(bytes, 8);
  configuration.declaredRecords = signed32(bytes, 12);
  if (configuration.version != kMwcVersion) {
    return refuse("version " + std::to_string(configuration.version) + " (only 1 is known)");
  }
  if (configuration.declaredBlocks < 0) {
    return refuse("negative block count " + std::to_string(configuration.declaredBlocks));
  }

  std::size_t position = kMwcHeaderSize;
  for (std::int32_t index = 0; index < configuration.declaredBlocks; ++index) {
    if (!platform::hasTag(bytes, position, kMcidTag) || bytes.size() - position < kBlockHeadSize) {
      return refuse("block " + std::to_string(index + 1) + " of " +
                    std::to_string(configuration.declaredBlocks) +
                    ": no \"MCID\" block head at offset " + std::to_string(position));
    }
    MwcBlock block;
    block.number = signed32(bytes, position + 4);
    const std::int32_t recordCount = signed32(bytes, position + 8);
    position += kBlockHeadSize;
    const std::string where = "block " + std::to_string(block.number);
    if (recordCount < 0) return refuse(where + ": negative record count");
    for (std::int32_t record = 0; record < recordCount; ++record) {
      const std::string which = where + ", record " + std::to_string(record + 1);
      if (!platform::hasTag(bytes, position, kCmacTag) ||
          bytes.size() - position < kCmacFixedSize + 1) {
        return refuse(which + ": no complete \"CMAC\" record at offset " +
                      std::to_string(position));
      }
      const std::uint32_t kind = platform::getLe32(&bytes[position + 4]);
      const std::size_t length = bytes[position + kCmacFixedSize];
      const std::size_t nameStart = position + kCmacFixedSize + 1;
      if (length < kMinRecordNameLength || length > kMaxRecordNameLength) {
        return refuse(which + ": name length " + std::to_string(length) + " outside 2 to 100");
      }
      if (bytes.size() - nameStart < length) return refuse(which + ": name runs past the end");
      block.records.push_back(
          {kind, std::string(reinterpret_cast<const char*>(&bytes[nameStart]), length)});
      position = nameStart + length;
    }
    configuration.blocks.push_back(std::move(block));
  }
  configuration.trailingBytes = bytes.size() - position;
  return result;
}

std::string mwcKindName(std::uint32_t kind) {
  switch (kind) {
    case kFullBodyMotionRecord:
      return "full-body motion";
    case kHeadMotionRecord:
      return "head motion";
    case kMouthMotionRecord:
      return "mouth motion";
    case kSoundRecord:
      return "sound";
    case kLedRecord:
      return "eye LEDs";
    default: {
      char hex[24];
      std::snprintf(hex, sizeof hex, "kind 0x%04X", static_cast<unsigned>(kind));
      return hex;
    }
  }
}

}  // namespace velk_mur
