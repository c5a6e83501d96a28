// Head motion, mouth motion and LED pattern generated from arbitrary samples and lengths: the
// files must have the shape that the check pass accepts.
#include <cstdint>
#include <span>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "platform/byte_sink.h"
#include "velk_mur/generate/led_file.h"
#include "velk_mur/generate/src/generated_check.h"
#include "velk_mur/generate/src/head_motion.h"
#include "velk_mur/generate/src/led_pattern.h"
#include "velk_mur/generate/src/mouth_motion.h"

namespace {

constexpr std::string_view kName = "h_any#any_7fuzz";
// The head motion depends only on the length; longer ones only take longer.
constexpr std::int64_t kMaxHeadSamples = std::int64_t{1} << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const std::int64_t headSamples =
      (std::int64_t{data[0]} << 16 | std::int64_t{data[1]} << 8 | data[2]) % kMaxHeadSamples;
  const std::span<const std::uint8_t> samples(data + 3, size - 3);

  platform::Bytes head;
  if (velk_mur::writeHeadMotion(head, kName, headSamples)) {
    FUZZ_FAIL_IF(!velk_mur::isWellFormedMotion(head));
  }
  platform::Bytes mouth;
  if (velk_mur::writeMouthMotion(mouth, kName, velk_mur::MouthAnalysis(samples))) {
    FUZZ_FAIL_IF(!velk_mur::isWellFormedMotion(mouth));
  }
  platform::Bytes led;
  if (velk_mur::writeLedFile(led, velk_mur::computeLedMasks(samples))) {
    FUZZ_FAIL_IF(!velk_mur::isWellFormedLed(led));
  }
  return 0;
}
