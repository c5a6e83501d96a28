// The motion file reader on any bytes: it never reads outside them, and a file it accepts
// has key frames in time order, each with one value per joint; a motion of the generator's
// layout it accepts, written again by the writers, reads back with the same key frames and
// values.
#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz/fuzz_support.h"
#include "platform/byte_sink.h"
#include "velk_mur/generate/motion_reader.h"
#include "velk_mur/generate/src/motion_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  const velk_mur::MotionReadResult read = velk_mur::readMotionFile(input);
  if (!read.ok()) {
    FUZZ_FAIL_IF(read.problem.empty());
    return 0;
  }
  const velk_mur::MotionFileContents& motion = read.motion;
  FUZZ_FAIL_IF(motion.values.size() != motion.keyFrames.size() * motion.joints.size());
  std::int64_t previous = 0;
  for (const velk_mur::MotionKeyFrame& frame : motion.keyFrames) {
    FUZZ_FAIL_IF(frame.timeMs < previous);
    previous = frame.timeMs;
  }
  // Only the generator's own layout goes back through the writers.
  platform::Bytes sink;
  if (!velk_mur::writeMotionHeader(sink, static_cast<int>(motion.joints.size()),
                                   static_cast<std::int64_t>(motion.keyFrames.size()),
                                   motion.motionName)) {
    return 0;
  }
  for (std::size_t index = 0; index < motion.keyFrames.size(); ++index) {
    velk_mur::writeKeyFrameHeader(sink, motion.keyFrames[index].interpolationCount);
    for (std::int32_t value : motion.valuesOf(index)) velk_mur::writeJointValue(sink, value);
  }
  const velk_mur::MotionReadResult again = velk_mur::readMotionFile(sink);
  FUZZ_FAIL_IF(!again.ok() || again.motion.keyFrames.size() != motion.keyFrames.size() ||
               again.motion.values != motion.values);
  return 0;
}
