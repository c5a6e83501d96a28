#include "mouth_motion.h"

#include "amplitude.h"
#include "generated_file.h"
#include "motion_file.h"
#include "velk_mur/generate/key_frames.h"

namespace velk_mur {

namespace {

// Key frame j looks at samples 640 j + 1360 up to 640 j + 2000.
constexpr std::int64_t kWindowStart = 1360;
constexpr std::int64_t kWindowEnd = 2000;
constexpr std::int64_t kTailGuard = 2000;  // no window reaches into the last 2001 samples
constexpr std::int64_t kWideOpenAbove = 320;
constexpr std::int64_t kHalfOpenAbove = 128;

}  // namespace

MouthAnalysis::MouthAnalysis(std::span<const std::uint8_t> samples)
    : MouthAnalysis(samples, buildAmplitudeHistogram(samples)) {}

MouthAnalysis::MouthAnalysis(std::span<const std::uint8_t> samples,
                             const AmplitudeHistogram& histogram)
    : samples_(samples),
      q_(keyFrameQ(static_cast<std::int64_t>(samples.size()))),
      keyFrameCount_(q_ + 2),
      threshold_(percentileLevel(histogram, 2 * static_cast<std::int64_t>(samples.size()) / 3)) {}

std::int32_t MouthAnalysis::valueAt(std::int64_t j) const {
  const auto length = static_cast<std::int64_t>(samples_.size());
  const std::int64_t end = kKeyFrameSpacing * j + kWindowEnd;
  if (j < 1 || j > q_ || end >= length - kTailGuard) return kMouthClosed;
  const auto start = static_cast<std::size_t>(kKeyFrameSpacing * j + kWindowStart);
  const std::int64_t loudCount = countAtLeast(
      samples_.subspan(start, static_cast<std::size_t>(kWindowEnd - kWindowStart)), threshold_);
  if (loudCount > kWideOpenAbove) return kMouthWideOpen;
  if (loudCount > kHalfOpenAbove) return kMouthHalfOpen;
  return kMouthClosed;
}

bool writeMouthMotion(platform::Bytes& out, std::string_view motionName,
                      const MouthAnalysis& analysis) {
  if (analysis.keyFrameCount() > kMaxKeyFrames) return false;
  if (!writeMotionHeader(out, kMouthJointCount, analysis.keyFrameCount(), motionName)) {
    return false;
  }
  for (std::int64_t j = 0; j < analysis.keyFrameCount(); ++j) {
    writeKeyFrameHeader(out, j == 0 ? 0 : kInterpolationCount);
    writeJointValue(out, analysis.valueAt(j));
  }
  return true;
}

bool generateMouthMotion(const std::filesystem::path& outputPath, std::string_view motionName,
                         const ClipSamples& clip, const AmplitudeHistogram& histogram) {
  if (static_cast<std::int64_t>(clip.size()) > kMaxClipSamples) return false;
  platform::Bytes file;
  return writeMouthMotion(file, motionName, MouthAnalysis(clip.samples, histogram)) &&
         writeGeneratedFile(outputPath, file);
}

}  // namespace velk_mur
