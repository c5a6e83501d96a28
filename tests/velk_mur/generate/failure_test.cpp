// A generated file whose write fails is removed; a recording too long for the motion file is
// refused before a file is created.
#include <gtest/gtest.h>

#include "platform/src/file_faults.h"
#include "tests/support/gen_wav_maker.h"
#include "tests/support/temp_tree.h"
#include "tests/velk_mur/generate/file_structure.h"
#include "velk_mur/generate/src/head_motion.h"
#include "velk_mur/generate/led_file.h"
#include "velk_mur/generate/src/led_pattern.h"
#include "velk_mur/generate/src/mouth_motion.h"

using testing_support::halfSilentHalfLoud;
namespace fs = std::filesystem;

namespace {

TEST(GeneratorFailures, FailedWriteOrCloseLeavesNoFile) {
  testing_support::TempDir dir;
  velk_mur::ClipSamples clip;
  const platform::Bytes& samples = halfSilentHalfLoud();
  clip.samples.assign(samples.begin(), samples.end());
  const velk_mur::AmplitudeHistogram histogram = velk_mur::buildAmplitudeHistogram(samples);
  for (platform::FileOp op : {platform::FileOp::Write, platform::FileOp::Close}) {
    const platform::ScopedFault fault(1, {op});
    EXPECT_FALSE(velk_mur::generateHeadMotion(dir / "h.mtn", "h", clip));
    platform::FaultInjection::failAt(1, {op});
    EXPECT_FALSE(velk_mur::generateMouthMotion(dir / "m.mtn", "m", clip, histogram));
    platform::FaultInjection::failAt(1, {op});
    EXPECT_FALSE(velk_mur::generateLedPattern(dir / "l.led", clip, histogram));
    EXPECT_TRUE(fs::is_empty(dir.path()));
  }
}

TEST(GeneratorFailures, TooLongRecordingCreatesNoFile) {
  testing_support::TempDir dir;
  velk_mur::ClipSamples clip;
  clip.samples.assign(std::size_t{41941120}, 128);
  const velk_mur::AmplitudeHistogram histogram;
  EXPECT_FALSE(velk_mur::generateHeadMotion(dir / "h.mtn", "h", clip));
  EXPECT_FALSE(velk_mur::generateMouthMotion(dir / "m.mtn", "m", clip, histogram));
  EXPECT_FALSE(velk_mur::generateLedPattern(dir / "l.led", clip, histogram));
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

}  // namespace
