#pragma once
// The robot's action configuration ERS-7.MWC: a "MWCM" header and "MCID" blocks of "CMAC"
// records. A save copies the old file without the blocks of the generator's own numbers and
// appends one block per recording.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

#include "platform/byte_order.h"
#include "platform/byte_sink.h"
#include "platform/files.h"
#include "platform/messenger.h"
#include "stick_file.h"

namespace velk_mur {

inline constexpr platform::FourCC kMwcMagic{'M', 'W', 'C', 'M'};
inline constexpr platform::FourCC kMcidTag{'M', 'C', 'I', 'D'};
inline constexpr platform::FourCC kCmacTag{'C', 'M', 'A', 'C'};

inline constexpr std::uint32_t kMwcVersion = 1;
inline constexpr std::size_t kMwcHeaderSize = 16;
inline constexpr std::size_t kBlockHeadSize = 12;
inline constexpr std::size_t kCmacFixedSize = 24;

// Names in an existing file outside this range mean the file is corrupted.
inline constexpr std::size_t kMinRecordNameLength = 2;
inline constexpr std::size_t kMaxRecordNameLength = 100;
// A counted name's length is one byte.
inline constexpr std::size_t kMaxCountedStringLength = 255;

// Kind codes of the CMAC records written for a generated action.
inline constexpr std::uint32_t kFullBodyMotionRecord = 0x1010;
inline constexpr std::uint32_t kMouthMotionRecord = 0x1020;
inline constexpr std::uint32_t kHeadMotionRecord = 0x1030;
inline constexpr std::uint32_t kSoundRecord = 0x2010;
inline constexpr std::uint32_t kLedRecord = 0x3030;

struct MwcHeader {
  std::uint32_t version = kMwcVersion;
  std::int32_t mcidCount = 0;
  std::int32_t cmacTotal = 0;
};

platform::Bytes mwcHeaderBytes(const MwcHeader& header);

// 24 fixed bytes and the counted name; a name over 255 characters is refused, nothing written.
bool writeCmacRecord(platform::ByteSink& file, std::uint32_t kindCode, std::string_view name);

// Writes the block of one generated action in one write; returns its CMAC record count (1, 3 or
// 4), or 0 when the write failed.
int writeActionBlock(platform::ByteSink& file, std::int32_t actionNumber,
                     std::string_view actionName, bool hasFullBodyMotion, bool audioOnly);

struct BlockCopy {
  bool kept = false;
  std::int32_t cmacCount = 0;
};

// Reads one block from the old file and appends it byte for byte to `keptBlocks` unless its
// number lies in [lowestOwned, highestOwned]. Nothing when the block cannot be read or is
// malformed.
std::optional<BlockCopy> copyOrDropActionBlock(platform::ByteSource& oldFile,
                                               platform::Bytes& keptBlocks,
                                               std::int32_t lowestOwned, std::int32_t highestOwned);

// Copies the stick's ERS-7.MWC into `newFile` without the generator's blocks, behind a
// placeholder header. `header` receives the kept counts, `oldPath` the old file's full path.
// Shows its own messages.
bool copyConfigurationForUpdate(platform::ByteSink& newFile, const std::filesystem::path& stickRoot,
                                MwcHeader& header, std::filesystem::path& oldPath,
                                platform::Messenger& messenger);

}  // namespace velk_mur
