// The LED file reader on any bytes: it never reads outside them, and the LED pattern of a file
// it accepts, written again at the generator's step, reads back to the same pattern.
#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz/fuzz_support.h"
#include "platform/byte_sink.h"
#include "velk_mur/generate/led_file.h"
#include "velk_mur/generate/led_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const velk_mur::LedReadResult read = velk_mur::readLedFile(std::span(data, size));
  if (!read.ok()) {
    FUZZ_FAIL_IF(read.problem.empty());
    return 0;
  }
  for (const velk_mur::LedSwitch& change : read.pattern.switches) {
    FUZZ_FAIL_IF(change.led < 0 || change.led >= velk_mur::kLedCount ||
                 change.tick > read.pattern.endTick);
  }
  const auto masks = velk_mur::ledMasksPerStep(read.pattern, velk_mur::kTicksPerStep);
  platform::Bytes sink;
  if (!velk_mur::writeLedFile(sink, masks)) return 0;  // a gap beyond the MIDI limit
  const velk_mur::LedReadResult again = velk_mur::readLedFile(sink);
  FUZZ_FAIL_IF(!again.ok());
  FUZZ_FAIL_IF(velk_mur::ledMasksPerStep(again.pattern, velk_mur::kTicksPerStep) != masks);
  return 0;
}
