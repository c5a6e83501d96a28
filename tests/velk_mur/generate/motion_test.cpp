#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <sstream>
#include <vector>

#include "tests/support/gen_wav_maker.h"
#include "tests/velk_mur/generate/file_structure.h"
#include "velk_mur/generate/amplitude.h"
#include "velk_mur/generate/head_motion.h"
#include "velk_mur/generate/key_frames.h"
#include "velk_mur/generate/motion_file.h"
#include "velk_mur/generate/mouth_motion.h"

using velk_mur::HeadValues;
using velk_mur::kMouthClosed;
using velk_mur::kMouthWideOpen;

namespace {

// One joint's course in degrees: "3x0 7 14" is three key frames at 0, then 7, then 14.
void expectJoint(const std::vector<HeadValues>& values, int joint, const std::string& course) {
  std::vector<double> expected;
  std::istringstream tokens(course);
  for (std::string token; tokens >> token;) {
    const std::size_t x = token.find('x');
    const std::size_t count = x == token.npos ? 1 : std::stoul(token.substr(0, x));
    expected.insert(expected.end(), count, std::stod(token.substr(x == token.npos ? 0 : x + 1)));
  }
  ASSERT_EQ(values.size(), expected.size());
  for (std::size_t j = 0; j < values.size(); ++j) {
    // Micro-radians to degrees, rounded to hundredths.
    const double degrees = std::round(values[j][std::size_t(joint)] * 18000.0 / 3141592.0) / 100;
    EXPECT_DOUBLE_EQ(degrees, expected[j]) << "joint " << joint + 1 << " key frame " << j;
  }
}

TEST(KeyFrameTiming, OneKeyFrameEvery640SamplesPlusTwo) {
  for (auto [length, q, count] :
       {std::tuple{0, 1, 3}, {1, 1, 3}, {639, 1, 3}, {640, 2, 4}, {8000, 13, 15}}) {
    EXPECT_EQ(velk_mur::keyFrameQ(length), q) << length;
    EXPECT_EQ(velk_mur::keyFrameCount(length), count) << length;
  }
}

TEST(HeadMotion, WorkedExamplesSwingAndDip) {
  const std::string joint1 = "7x0 -2.5 -5 -7.5 -10 -12.5 ";
  const std::string joint2 = "4x0 11.67 23.33 28x35 23.33 11.67 0 -11.67 -23.33 28x-35 ";
  const std::string joint3 = "3x0 7 14 21 28 ";
  const std::string joint1End = "x-15 -12.5 -10 -7.5 -5 -2.5", joint3End = "x35 28 21 14 7";
  const struct {
    std::int64_t length;
    std::string joints[3];
  } cases[] = {
      {16000, {"28x0", "28x0", joint3 + "17" + joint3End}},
      {48000, {joint1 + "61" + joint1End, joint2 + "-23.33 -11.67 9x0", joint3 + "67" + joint3End}},
      {80000,
       {joint1 + "111" + joint1End, joint2 + "-11.67 11.67 35 27x35 23.33 11.67 0 28x0",
        joint3 + "117" + joint3End}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.length);
    const auto values = velk_mur::computeHeadValues(c.length);
    for (int joint = 0; joint < 3; ++joint) expectJoint(values, joint, c.joints[joint]);
  }
}

TEST(HeadMotion, ShortRecordingsKeepTheHeadStill) {
  // Up to 3199 samples the third joint's first segment has zero steps and gives its start.
  for (auto [length, count] : {std::pair{1, 3}, {100, 3}, {639, 3}, {2560, 7}, {3199, 7}}) {
    EXPECT_EQ(velk_mur::computeHeadValues(length), std::vector<HeadValues>(std::size_t(count)))
        << length;
  }
}

TEST(HeadMotion, JointsStartMovingAtTheirThresholds) {
  for (auto [joint, threshold] : {std::pair{2, 10240}, {1, 24960}, {0, 42880}}) {
    for (std::int64_t length : {threshold - 1, threshold}) {
      bool moves = false;
      for (const HeadValues& v : velk_mur::computeHeadValues(length)) {
        moves = moves || v[std::size_t(joint)] != 0;
      }
      EXPECT_EQ(moves, length == threshold) << "joint " << joint + 1 << " at " << length;
    }
  }
}

TEST(HeadMotion, LongestAcceptedRecordingStaysWithinTheScript) {
  // Every value must be one the script can reach; runs under UBSan too.
  const auto values = velk_mur::computeHeadValues(velk_mur::kMaxClipSamples);
  ASSERT_EQ(values.size(), 65535u);
  for (const HeadValues& v : values) {
    EXPECT_LE(std::abs(v[0]), 261799);
    EXPECT_LE(std::abs(v[1]), 610865);
    EXPECT_LE(std::abs(v[2]), 610865);
  }
}

TEST(Amplitude, PercentileLevelIsStrictlyAboveTheBound) {
  velk_mur::AmplitudeHistogram histogram;
  histogram.counts[0] = 5;
  histogram.counts[10] = 5;
  for (auto [bound, level] : {std::pair{4, 0}, {5, 10}, {9, 10}, {10, 129}}) {
    EXPECT_EQ(velk_mur::percentileLevel(histogram, bound), level) << bound;
  }
  EXPECT_EQ(velk_mur::percentileLevel(velk_mur::AmplitudeHistogram{}, 0), 129);
}

TEST(Amplitude, HistogramCountsAmplitudesOfEveryByte) {
  platform::Bytes samples;
  for (int v = 0; v < 256; ++v) samples.push_back(static_cast<std::uint8_t>(v));
  samples.push_back(128);
  const auto histogram = velk_mur::buildAmplitudeHistogram(samples);
  EXPECT_EQ(histogram.counts[0], 2);
  EXPECT_EQ(histogram.counts[127], 2);  // 1 and 255
  EXPECT_EQ(histogram.counts[128], 1);  // only 0
  EXPECT_EQ(std::accumulate(histogram.counts.begin(), histogram.counts.end(), std::int64_t{0}),
            257);
}

TEST(MouthMotion, OpensWideWhereTheWindowAheadIsLoud) {
  std::vector<std::int32_t> openInFourToSix(15, kMouthClosed);
  std::fill_n(openInFourToSix.begin() + 4, 3, kMouthWideOpen);
  EXPECT_EQ(velk_mur::MouthAnalysis(generate_tests::halfSilentHalfLoud()).threshold(), 127);
  EXPECT_EQ(velk_mur::computeMouthValues(generate_tests::halfSilentHalfLoud()), openInFourToSix);
  // In silence every key frame with a whole window (1 to 6 of 15) opens wide.
  std::vector<std::int32_t> openInOneToSix(15, kMouthClosed);
  std::fill_n(openInOneToSix.begin() + 1, 6, kMouthWideOpen);
  EXPECT_EQ(velk_mur::computeMouthValues(testing_support::silence(8000)), openInOneToSix);
}

TEST(MouthMotion, ShortRecordingHasNoWindow) {
  for (std::size_t length : {1, 4640}) {
    const auto values = velk_mur::computeMouthValues(testing_support::silence(length));
    EXPECT_EQ(values, std::vector<std::int32_t>(values.size(), kMouthClosed)) << length;
  }
  // At 4641 samples key frame 1's window exists (2640 < 2641).
  EXPECT_EQ(velk_mur::computeMouthValues(testing_support::silence(4641))[1], kMouthWideOpen);
}

TEST(MouthMotion, HalfOpenBetween129And320LoudSamples) {
  // Every third sample loud (amplitude 100): the threshold is the smallest level with more than
  // two thirds of the samples at or below it, 100.
  platform::Bytes samples(16000);
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = i % 3 == 0 ? 228 : 128;
  const velk_mur::MouthAnalysis analysis(samples);
  EXPECT_EQ(analysis.threshold(), 100);
  EXPECT_EQ(analysis.valueAt(1), velk_mur::kMouthHalfOpen);  // 213 or 214 loud of 640
}

platform::Bytes motionBytes(bool head, const std::string& name, const platform::Bytes& samples) {
  return generate_tests::written([&](auto& sink) {
    return head ? velk_mur::writeHeadMotion(sink, name, std::int64_t(samples.size()))
                : velk_mur::writeMouthMotion(sink, name, velk_mur::MouthAnalysis(samples));
  });
}

TEST(MotionFile, HelloMouthMotionIs432BytesWithTheGivenStart) {
  const platform::Bytes file =
      motionBytes(false, "m_any#any_hello", testing_support::silence(8000));
  ASSERT_EQ(file.size(), 432u);
  const platform::Bytes start = {0x4F, 0x4D, 0x54, 0x4E, 0x00, 0x00, 0x00, 0x00, 0x18,
                                 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x01, 0x00,
                                 0x02, 0x00, 0x0F, 0x00, 0x10, 0x00, 0x00, 0x00, 0x00,
                                 0x00, 0x01, 0x00, 0x00, 0x00, 0x38, 0x00, 0x00, 0x00};
  EXPECT_TRUE(std::equal(start.begin(), start.end(), file.begin()));
  // The names section: counted strings and three zero bytes of padding.
  EXPECT_EQ(std::string(file.begin() + 36, file.begin() + 84),
            std::string("\x0Fm_any#any_hello\x13VELK_MUR(synthetic)\x08"
                        "DRX-1000\0\0\0",
                        48));
  // Section 2 at 84 (40 bytes) with the mouth joint, section 3 at 124 (308 bytes).
  EXPECT_EQ(std::string(file.begin() + 84, file.begin() + 132),
            std::string("\x02\0\0\0\x28\0\0\0\x01\x00\x1DPRM:/r1/c1/c2/c3/c4-Joint2:14"
                        "\x03\0\0\0\x34\x01\0\0",
                        48));
}

TEST(MotionFile, HelloHeadMotionIs596Bytes) {
  const platform::Bytes file =
      motionBytes(true, "h_any#any_7hello", testing_support::silence(8000));
  ASSERT_EQ(file.size(), 596u);
  for (auto [at, value] : {std::pair{32, 56u}, {84, 2u}, {88, 84u}, {168, 3u}, {172, 428u}}) {
    EXPECT_EQ(platform::getLe32(file.data() + at), value) << at;
  }
  EXPECT_EQ(velk_mur::motionFileSize(16, 3, 15), 596);
  EXPECT_EQ(velk_mur::motionFileSize(15, 1, 15), 432);
}

TEST(MotionFile, EveryWrittenFileWalksToItsExactEndWithTheGeneratorsValues) {
  for (std::size_t length : {0, 1, 639, 8000, 48000, 80001}) {
    platform::Bytes samples = testing_support::silence(length);
    if (length == 8000) samples = generate_tests::halfSilentHalfLoud();
    std::vector<std::vector<std::int32_t>> headValues;
    for (const HeadValues& v : velk_mur::computeHeadValues(std::int64_t(length))) {
      headValues.emplace_back(v.begin(), v.end());
    }
    std::vector<std::vector<std::int32_t>> mouthValues;
    for (std::int32_t v : velk_mur::computeMouthValues(samples)) mouthValues.push_back({v});
    // Names of 10 to 17 characters need every amount of padding.
    for (std::size_t nameLength = 10; nameLength <= 17; ++nameLength) {
      for (bool head : {true, false}) {
        SCOPED_TRACE(::testing::Message()
                     << length << " samples, name " << nameLength << ", head " << head);
        const std::string name(nameLength, 'n');
        const platform::Bytes file = motionBytes(head, name, samples);
        generate_tests::MotionLayout layout;
        ASSERT_EQ(generate_tests::checkMotionFile(file, layout), "");
        EXPECT_EQ(layout.motionName, name);
        EXPECT_EQ(layout.joints, head ? 3 : 1);
        EXPECT_EQ(layout.values, head ? headValues : mouthValues);
        EXPECT_EQ(static_cast<std::int64_t>(file.size()),
                  velk_mur::motionFileSize(nameLength, layout.joints, layout.keyFrames));
        std::vector<std::int32_t> interpolation(std::size_t(layout.keyFrames), 4);
        interpolation[0] = 0;
        EXPECT_EQ(layout.interpolation, interpolation);
      }
    }
  }
}

TEST(MotionFile, RefusesWhatTheFormatCannotHold) {
  platform::Bytes file;
  EXPECT_FALSE(velk_mur::writeMotionHeader(file, 2, 10, "name"));
  EXPECT_FALSE(velk_mur::writeMotionHeader(file, 1, 65536, "name"));
  EXPECT_FALSE(velk_mur::writeMotionHeader(file, 1, 10, std::string(256, 'x')));
  EXPECT_FALSE(velk_mur::writeHeadMotion(file, "name", velk_mur::kMaxClipSamples + 1));
  EXPECT_TRUE(file.empty());
  EXPECT_TRUE(velk_mur::writeMotionHeader(file, 1, 65535, std::string(255, 'x')));
}

}  // namespace
