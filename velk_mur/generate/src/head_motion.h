#pragma once
// The head motion: a scripted gesture of the three head joints whose course depends
// only on the recording's length.
#include <array>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

#include "platform/byte_order.h"
#include "velk_mur/generate/wav_input.h"

namespace velk_mur {

using HeadValues = std::array<std::int32_t, 3>;  // joints in head-list order

// Yields the head joint values key frame by key frame, so the file is written as it goes.
class HeadMotionScript {
 public:
  explicit HeadMotionScript(std::int64_t sampleCount);

  std::int64_t keyFrameCount() const { return keyFrameCount_; }
  // The values of the next key frame; call keyFrameCount() times.
  HeadValues next();

  // One linear segment of one joint (`phase` -1 is the resting phase).
  struct JointTrack {
    std::int32_t from = 0;
    std::int32_t to = 0;
    std::int32_t steps = 0;
    std::int32_t step = 0;
    std::int32_t phase = 0;
  };

 private:
  std::int64_t keyFrameCount_;
  std::int32_t countdown_;  // R: q in key frame 0, one less in each later one
  std::array<JointTrack, 3> tracks_;
};

// Appends the whole head motion file. Refuses a recording longer than kMaxClipSamples before
// appending anything.
bool writeHeadMotion(platform::Bytes& out, std::string_view motionName, std::int64_t sampleCount);

// Creates the file and writes the head motion; on failure the incomplete file is removed.
bool generateHeadMotion(const std::filesystem::path& outputPath, std::string_view motionName,
                        const ClipSamples& clip);

}  // namespace velk_mur
