// The action configuration reader on any bytes: it never reads outside them, every name it
// returns has the 2 to 100 characters a save accepts, and the blocks it accepts account for
// every byte up to the trailing ones.
#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz/fuzz_support.h"
#include "velk_mur/stick/src/mwc_reader.h"
#include "velk_mur/stick/src/mwc_update.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const velk_mur::MwcReadResult read = velk_mur::readMwcFile(std::span(data, size));
  std::uint64_t used = velk_mur::kMwcHeaderSize;
  for (const velk_mur::MwcBlock& block : read.configuration.blocks) {
    used += velk_mur::kBlockHeadSize;
    for (const velk_mur::MwcRecord& record : block.records) {
      FUZZ_FAIL_IF(record.name.size() < 2 || record.name.size() > 100);
      used += velk_mur::kCmacFixedSize + 1 + record.name.size();
    }
  }
  FUZZ_FAIL_IF(read.ok() && used + read.configuration.trailingBytes != size);
  FUZZ_FAIL_IF(!read.ok() && read.problem.empty());
  return 0;
}
