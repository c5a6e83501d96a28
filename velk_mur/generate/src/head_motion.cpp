#include "head_motion.h"

#include "generated_file.h"
#include "motion_file.h"
#include "velk_mur/generate/key_frames.h"

namespace velk_mur {

namespace {

constexpr std::int32_t kPlus35 = 610865;    // 35 degrees in micro-radians
constexpr std::int32_t kMinus35 = -610865;  // -35 degrees
constexpr std::int32_t kMinus15 = -261799;  // -15 degrees
constexpr std::int32_t kResting = -1;

struct Segment {
  std::int32_t to;
  std::int32_t steps;
  std::int32_t phase;
};

// Track 1, the first head joint: dips to -15 degrees only in long recordings.
Segment nextSegmentOfTrack1(std::int32_t phase, std::int32_t r) {
  if (phase == 0 && r > 62) return {kMinus15, 6, 1};
  if (phase == 1 && r > 56) return {kMinus15, r - 6, 2};
  if (phase == 2) return {0, 6, kResting};
  return {0, r, kResting};
}

// Track 2, the second head joint: swings between +35 and -35 degrees while time remains.
Segment nextSegmentOfTrack2(std::int32_t phase, std::int32_t r) {
  if ((phase == 0 || phase == 4) && r > 37) return {kPlus35, 3, 1};
  if (phase == 1 && r > 31) return {kPlus35, 25, 2};
  if (phase == 2 && r > 37) return {kMinus35, 6, 3};
  if (phase == 3) return {kMinus35, 25, 4};
  return {0, 3, kResting};
}

// Track 3, the third head joint: rises to 35 degrees, holds, and returns towards 0.
Segment nextSegmentOfTrack3(std::int32_t phase, std::int32_t r) {
  if (phase == 0) return r > 15 ? Segment{kPlus35, 5, 1} : Segment{0, r, kResting};
  if (phase == 1) return {kPlus35, r - 5, 2};
  if (phase == 2) return {0, 5, kResting};
  return {0, r, kResting};
}

std::int32_t valueAndAdvance(HeadMotionScript::JointTrack& track) {
  std::int32_t value = track.from;
  if (track.steps > 0) {
    // (to - from) * step can pass 32 bits only for segments whose to equals from, where the
    // product is 0 anyway; 64 bits keep the arithmetic defined for every accepted length.
    const std::int64_t delta = std::int64_t{track.to} - track.from;
    value = static_cast<std::int32_t>(track.from + delta * track.step / track.steps);
  }
  ++track.step;
  return value;
}

void beginNextSegmentIfDone(HeadMotionScript::JointTrack& track,
                            Segment (*table)(std::int32_t, std::int32_t), std::int32_t r) {
  if (track.step <= track.steps) return;
  const Segment next = table(track.phase, r);
  track.from = track.to;
  track.to = next.to;
  track.steps = next.steps;
  track.phase = next.phase;
  track.step = 0;
}

}  // namespace

HeadMotionScript::HeadMotionScript(std::int64_t sampleCount)
    : keyFrameCount_(velk_mur::keyFrameCount(sampleCount)),
      countdown_(static_cast<std::int32_t>(keyFrameQ(sampleCount))) {
  tracks_[0].steps = 5;
  tracks_[1].steps = 2;
  tracks_[2].steps = 1;
}

HeadValues HeadMotionScript::next() {
  HeadValues values{};
  for (std::size_t t = 0; t < tracks_.size(); ++t) values[t] = valueAndAdvance(tracks_[t]);
  beginNextSegmentIfDone(tracks_[2], nextSegmentOfTrack3, countdown_);
  beginNextSegmentIfDone(tracks_[1], nextSegmentOfTrack2, countdown_);
  beginNextSegmentIfDone(tracks_[0], nextSegmentOfTrack1, countdown_);
  --countdown_;
  return values;
}

bool writeHeadMotion(platform::Bytes& out, std::string_view motionName, std::int64_t sampleCount) {
  if (sampleCount < 0 || sampleCount > kMaxClipSamples) return false;
  HeadMotionScript script(sampleCount);
  if (!writeMotionHeader(out, kHeadJointCount, script.keyFrameCount(), motionName)) return false;
  for (std::int64_t j = 0; j < script.keyFrameCount(); ++j) {
    writeKeyFrameHeader(out, j == 0 ? 0 : kInterpolationCount);
    for (std::int32_t value : script.next()) writeJointValue(out, value);
  }
  return true;
}

bool generateHeadMotion(const std::filesystem::path& outputPath, std::string_view motionName,
                        const ClipSamples& clip) {
  platform::Bytes file;
  return writeHeadMotion(file, motionName, static_cast<std::int64_t>(clip.size())) &&
         writeGeneratedFile(outputPath, file);
}

}  // namespace velk_mur
