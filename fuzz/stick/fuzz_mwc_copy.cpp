// The copy of an existing ERS-7.MWC without the generator's blocks, from a stick tree that
// holds the input as its configuration.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/files.h"
#include "tests/support/recording_messenger.h"
#include "velk_mur/stick/mwc_update.h"
#include "velk_mur/stick/stick_file.h"

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
    if (!messenger.entries().empty()) __builtin_trap();
    if (header.mcidCount < 0 || header.cmacTotal < 0) __builtin_trap();
    // Kept blocks are copied, never invented: the output holds at most the input behind a
    // new header.
    if (written > size + velk_mur::kMwcHeaderSize) __builtin_trap();
  } else {
    // A refusal says so exactly once, in one of the program's own messages.
    if (messenger.entries().size() != 1) __builtin_trap();
    if (!isOwnMessage(messenger.entries().front().text)) __builtin_trap();
    return outcome;
  }
  if (std::optional<platform::Bytes> bytes = platform::readWholeFile(velk_mur::stickFilePath(
          stick, velk_mur::kConfigurationName, velk_mur::kNewFileExtension))) {
    outcome.output = std::move(*bytes);
  }
  if (outcome.output.size() != written) __builtin_trap();
  return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::filesystem::path& stick = fuzz_support::scratchFolder("fuzz_mwc_copy");
  CopyOutcome first = copyOnce(stick, data, size);
  if (!first.copied) return 0;
  // With its true header the copy is a configuration without owned blocks: copying it again
  // must keep every byte and the same counts.
  const platform::Bytes header = velk_mur::mwcHeaderBytes(first.header);
  std::copy(header.begin(), header.end(), first.output.begin());
  CopyOutcome second = copyOnce(stick, first.output.data(), first.output.size());
  if (!second.copied) __builtin_trap();
  const platform::Bytes secondHeader = velk_mur::mwcHeaderBytes(second.header);
  std::copy(secondHeader.begin(), secondHeader.end(), second.output.begin());
  if (second.output != first.output) __builtin_trap();
  if (second.header.mcidCount != first.header.mcidCount ||
      second.header.cmacTotal != first.header.cmacTotal) {
    __builtin_trap();
  }
  return 0;
}
