// The data archive reader on any bytes: every entry it lists lies inside the data area of the
// input, and a problem is always named.
#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz/fuzz_support.h"
#include "velk_mur/stick/src/oda_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  const velk_mur::OdaReadResult read = velk_mur::readOdaArchive(input);
  const std::uint64_t dataStart = velk_mur::odaDirectoryEnd(read.archive.slotCount);
  for (const velk_mur::OdaEntry& entry : read.archive.entries) {
    FUZZ_FAIL_IF(entry.offset < dataStart || std::uint64_t{entry.offset} + entry.size > size);
    FUZZ_FAIL_IF(velk_mur::odaEntryData(input, entry).size() != entry.size);
  }
  FUZZ_FAIL_IF(read.ok() &&
               read.archive.entries.size() + read.archive.emptySlots != read.archive.slotCount);
  return 0;
}
