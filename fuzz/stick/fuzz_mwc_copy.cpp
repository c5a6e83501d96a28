// The copy of an existing ERS-7.MWC without the generator's blocks, from a stick tree that
// holds the input as its configuration. A second reader, written here from the format's table
// and sharing no code with the copy, says which blocks the copy must keep, so a block lost or
// added is a failure.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/files.h"
#include "tests/support/recording_messenger.h"
#include "velk_mur/stick/src/mwc_update.h"
#include "velk_mur/stick/src/stick_file.h"

namespace {

const std::string kMessages[] = {
    "Failed to open old ERS-*.MWC files\nStick may be corrupt",
    "ERS-*.MWC file unknown format\nMay be compressed",
    "Original ERS*.MWC is corrupted\nRe-install Ulmaran",
    "Error: problem saving ERS-*.MWC data - aborting",
};

bool isOwnMessage(const std::string& text) {
  for (const std::string& message : kMessages) {
    if (text == message) return true;
  }
  return false;
}

// The independent reader: each block's number and bytes, or nothing when the file is not a
// configuration of version 1 whose declared blocks are all there and well formed.
struct Block {
  std::int32_t number;
  std::int32_t records;
  platform::Bytes bytes;
};

std::uint32_t le32(const std::uint8_t* p) {
  return p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
         (std::uint32_t{p[3]} << 24);
}

std::optional<std::vector<Block>> readBlocks(const std::uint8_t* data, std::size_t size) {
  if (size < 16 || std::string(data, data + 4) != "MWCM" || le32(data + 4) != 1) {
    return std::nullopt;
  }
  const auto declared = static_cast<std::int32_t>(le32(data + 8));
  if (declared < 0) return std::nullopt;
  std::vector<Block> blocks;
  std::size_t at = 16;
  for (std::int32_t b = 0; b < declared; ++b) {
    const std::size_t start = at;
    if (at + 12 > size || std::string(data + at, data + at + 4) != "MCID") return std::nullopt;
    const auto number = static_cast<std::int32_t>(le32(data + at + 4));
    const auto records = static_cast<std::int32_t>(le32(data + at + 8));
    if (records < 0) return std::nullopt;
    at += 12;
    for (std::int32_t r = 0; r < records; ++r) {
      if (at + 25 > size || std::string(data + at, data + at + 4) != "CMAC") return std::nullopt;
      const std::size_t length = data[at + 24];
      if (length < 2 || length > 100 || at + 25 + length > size) return std::nullopt;
      at += 25 + length;
    }
    blocks.push_back({number, records, platform::Bytes(data + start, data + at)});
  }
  return blocks;
}

struct CopyOutcome {
  bool copied = false;
  velk_mur::MwcHeader header;
  platform::Bytes output;
};

CopyOutcome copyOnce(const std::filesystem::path& stick, const std::uint8_t* data,
                     std::size_t size) {
  CopyOutcome outcome;
  if (!fuzz_support::writeInput(stick / "OPEN-R/MW/CONF/ERS-7.MWC", data, size)) return outcome;

  velk_mur::StickFile newFile;
  if (!velk_mur::openOnStick(newFile, stick, velk_mur::kConfigurationName,
                             velk_mur::kNewFileExtension, velk_mur::StickMode::Write)) {
    return outcome;
  }
  platform::RecordingMessenger messenger;
  velk_mur::MwcHeader& header = outcome.header;
  std::filesystem::path oldPath;
  const bool copied = outcome.copied =
      velk_mur::copyConfigurationForUpdate(newFile, stick, header, oldPath, messenger);
  const std::uint64_t written = newFile.position();
  newFile.close();

  if (copied) {
    FUZZ_FAIL_IF(!messenger.entries().empty());
    FUZZ_FAIL_IF(header.mcidCount < 0 || header.cmacTotal < 0);
    // Kept blocks are copied, never invented: the output holds at most the input behind a
    // new header.
    FUZZ_FAIL_IF(written > size + velk_mur::kMwcHeaderSize);
  } else {
    // A refusal says so exactly once, in one of the program's own messages.
    FUZZ_FAIL_IF(messenger.entries().size() != 1);
    FUZZ_FAIL_IF(!isOwnMessage(messenger.entries().front().text));
    return outcome;
  }
  if (std::optional<platform::Bytes> bytes = platform::readWholeFile(velk_mur::stickFilePath(
          stick, velk_mur::kConfigurationName, velk_mur::kNewFileExtension))) {
    outcome.output = std::move(*bytes);
  }
  FUZZ_FAIL_IF(outcome.output.size() != written);
  return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::filesystem::path& stick = fuzz_support::scratchFolder("fuzz_mwc_copy");
  CopyOutcome first = copyOnce(stick, data, size);
  const std::optional<std::vector<Block>> blocks = readBlocks(data, size);
  FUZZ_FAIL_IF(first.copied != blocks.has_value());
  if (!first.copied) return 0;
  // Exactly the blocks outside 24001 to 25001, byte for byte and in order, behind the header.
  platform::Bytes kept(velk_mur::kMwcHeaderSize, 0);
  std::int32_t keptBlocks = 0;
  std::int32_t keptRecords = 0;
  for (const Block& block : *blocks) {
    if (block.number >= 24001 && block.number <= 25001) continue;
    kept.insert(kept.end(), block.bytes.begin(), block.bytes.end());
    ++keptBlocks;
    keptRecords += block.records;
  }
  FUZZ_FAIL_IF(first.header.mcidCount != keptBlocks || first.header.cmacTotal != keptRecords);
  FUZZ_FAIL_IF(!std::equal(kept.begin() + velk_mur::kMwcHeaderSize, kept.end(),
                           first.output.begin() + velk_mur::kMwcHeaderSize, first.output.end()));
  // With its true header the copy is a configuration without owned blocks: copying it again
  // must keep every byte and the same counts.
  const platform::Bytes header = velk_mur::mwcHeaderBytes(first.header);
  std::copy(header.begin(), header.end(), first.output.begin());
  CopyOutcome second = copyOnce(stick, first.output.data(), first.output.size());
  FUZZ_FAIL_IF(!second.copied);
  const platform::Bytes secondHeader = velk_mur::mwcHeaderBytes(second.header);
  std::copy(secondHeader.begin(), secondHeader.end(), second.output.begin());
  FUZZ_FAIL_IF(second.output != first.output);
  FUZZ_FAIL_IF(second.header.mcidCount != first.header.mcidCount ||
               second.header.cmacTotal != first.header.cmacTotal);
  return 0;
}
