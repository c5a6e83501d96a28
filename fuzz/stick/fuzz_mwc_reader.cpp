// The action configuration reader on any bytes: it never reads outside them, every name it
// returns has the 2 to 100 characters a save accepts, and the blocks it accepts account for
// every byte up to the trailing ones.
#include <cstddef>
#include <cstdint>
#include <span>

#include "velk_mur/stick/src/mwc_reader.h"
#include "velk_mur/stick/src/mwc_update.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const velk_mur::MwcReadResult read = velk_mur::readMwcFile(std::span(data, size));
  std::uint64_t used = velk_mur::kMwcHeaderSize;
  for (const velk_mur::MwcBlock& block : read.configuration.blocks) {
    used += velk_mur::kBlockHeadSize;
    for (const velk_mur::MwcRecord& record : block.records) {
      if (record.name.size() < 2 || record.name.size() > 100) __builtin_trap();
      used += velk_mur::kCmacFixedSize + 1 + record.name.size();
    }
  }
  if (read.ok() && used + read.configuration.trailingBytes != size) __builtin_trap();
  if (!read.ok() && read.problem.empty()) __builtin_trap();
  return 0;
}
