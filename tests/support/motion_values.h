#pragma once
// Every key frame's values of a head or mouth motion at once, as the writers produce them one
// by one: for tests and benchmarks of the motions' content.
#include <cstdint>
#include <span>
#include <vector>

#include "velk_mur/generate/src/head_motion.h"
#include "velk_mur/generate/src/mouth_motion.h"

namespace testing_support {

inline std::vector<velk_mur::HeadValues> computeHeadValues(std::int64_t sampleCount) {
  velk_mur::HeadMotionScript script(sampleCount);
  std::vector<velk_mur::HeadValues> values;
  values.reserve(static_cast<std::size_t>(script.keyFrameCount()));
  for (std::int64_t j = 0; j < script.keyFrameCount(); ++j) values.push_back(script.next());
  return values;
}

inline std::vector<std::int32_t> computeMouthValues(std::span<const std::uint8_t> samples) {
  const velk_mur::MouthAnalysis analysis(samples);
  std::vector<std::int32_t> values;
  values.reserve(static_cast<std::size_t>(analysis.keyFrameCount()));
  for (std::int64_t j = 0; j < analysis.keyFrameCount(); ++j) values.push_back(analysis.valueAt(j));
  return values;
}

}  // namespace testing_support
