#pragma once
// Reads an OPEN-R motion file ("OMTN") back: the generator's own head and mouth motions and a
// user's full-body motion. Every count and size comes from the file and is checked against
// the bytes at hand before it is used.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace velk_mur {

struct MotionKeyFrame {
  std::int32_t interpolationCount = 0;  // frames played between the previous key frame and this
  std::int64_t timeMs = 0;              // from the start of the motion
};

struct MotionFileContents {
  std::uint16_t versionMajor = 0;
  std::uint16_t versionMinor = 0;
  std::uint16_t frameTimeMs = 0;
  std::uint32_t options = 0;
  std::string motionName;
  std::string creator;
  std::string robotDesign;
  std::vector<std::string> joints;
  std::vector<MotionKeyFrame> keyFrames;
  // Micro-radians, key frame after key frame, one per joint in joint-list order.
  std::vector<std::int32_t> values;

  std::span<const std::int32_t> valuesOf(std::size_t keyFrame) const {
    return std::span(values).subspan(keyFrame * joints.size(), joints.size());
  }
};

struct MotionReadResult {
  MotionFileContents motion;
  std::string problem;  // empty when the file was read; otherwise why it was refused
  bool ok() const { return problem.empty(); }
};

MotionReadResult readMotionFile(std::span<const std::uint8_t> bytes);

// Joint angles in the files are micro-radians, degrees x 3141592 / 180.
double microRadiansToDegrees(std::int32_t value);

}  // namespace velk_mur
