#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/byte_sink.h"
#include "tests/support/gen_wav_maker.h"
#include "tests/velk_mur/generate/file_structure.h"
#include "velk_mur/generate/amplitude.h"
#include "velk_mur/generate/head_motion.h"
#include "velk_mur/generate/key_frames.h"
#include "velk_mur/generate/motion_file.h"
#include "velk_mur/generate/mouth_motion.h"

using velk_mur::HeadValues;

namespace {

// Degrees to hundredths, from micro-radians (degrees x 3141592 / 180).
double hundredths(std::int32_t microRadians) {
  return std::round(microRadians * 18000.0 / 3141592.0) / 100.0;
}

// One joint's course as runs of (key frames, degrees) in order.
using Course = std::vector<std::pair<int, std::vector<double>>>;

std::vector<double> expand(const Course& course) {
  std::vector<double> result;
  for (const auto& [count, degrees] : course) {
    if (degrees.size() == 1) {
      result.insert(result.end(), static_cast<std::size_t>(count), degrees[0]);
    } else {
      result.insert(result.end(), degrees.begin(), degrees.end());
    }
  }
  return result;
}

void expectJoint(const std::vector<HeadValues>& values, int joint, const Course& course) {
  const std::vector<double> expected = expand(course);
  ASSERT_EQ(values.size(), expected.size());
  for (std::size_t j = 0; j < values.size(); ++j) {
    EXPECT_DOUBLE_EQ(hundredths(values[j][static_cast<std::size_t>(joint)]), expected[j])
        << "joint " << joint + 1 << " key frame " << j;
  }
}

const Course kTrack3Start = {{3, {0}}, {4, {7, 14, 21, 28, 0}}};

TEST(KeyFrameTiming, CountsFollowTheSpecification) {
  EXPECT_EQ(velk_mur::keyFrameCount(8000), 15);
  EXPECT_EQ(velk_mur::keyFrameQ(639), 1);
  EXPECT_EQ(velk_mur::keyFrameCount(639), 3);
  EXPECT_EQ(velk_mur::keyFrameQ(640), 2);
  EXPECT_EQ(velk_mur::keyFrameCount(640), 4);
  EXPECT_EQ(velk_mur::keyFrameCount(0), 3);
  EXPECT_EQ(velk_mur::keyFrameCount(1), 3);
}

TEST(HeadMotion, TwoSecondsMovesOnlyTheThirdJoint) {
  const auto values = velk_mur::computeHeadValues(16000);
  ASSERT_EQ(values.size(), 28u);
  expectJoint(values, 0, {{28, {0}}});
  expectJoint(values, 1, {{28, {0}}});
  expectJoint(values, 2, {{3, {0}}, {4, {7, 14, 21, 28}}, {17, {35}}, {4, {28, 21, 14, 7}}});
}

TEST(HeadMotion, SixSecondsSwingsAndDips) {
  const auto values = velk_mur::computeHeadValues(48000);
  ASSERT_EQ(values.size(), 78u);
  expectJoint(values, 2, {{3, {0}}, {4, {7, 14, 21, 28}}, {67, {35}}, {4, {28, 21, 14, 7}}});
  expectJoint(values, 1,
              {{4, {0}},
               {2, {11.67, 23.33}},
               {28, {35}},
               {5, {23.33, 11.67, 0, -11.67, -23.33}},
               {28, {-35}},
               {2, {-23.33, -11.67}},
               {9, {0}}});
  expectJoint(values, 0,
              {{7, {0}}, {5, {-2.5, -5, -7.5, -10, -12.5}}, {61, {-15}},
               {5, {-12.5, -10, -7.5, -5, -2.5}}});
}

TEST(HeadMotion, TenSecondsSwingsTwice) {
  const auto values = velk_mur::computeHeadValues(80000);
  ASSERT_EQ(values.size(), 128u);
  expectJoint(values, 2, {{3, {0}}, {4, {7, 14, 21, 28}}, {117, {35}}, {4, {28, 21, 14, 7}}});
  expectJoint(values, 1,
              {{4, {0}},
               {2, {11.67, 23.33}},
               {28, {35}},
               {5, {23.33, 11.67, 0, -11.67, -23.33}},
               {28, {-35}},
               {3, {-11.67, 11.67, 35}},
               {27, {35}},
               {3, {23.33, 11.67, 0}},
               {28, {0}}});
  expectJoint(values, 0,
              {{7, {0}}, {5, {-2.5, -5, -7.5, -10, -12.5}}, {111, {-15}},
               {5, {-12.5, -10, -7.5, -5, -2.5}}});
}

TEST(HeadMotion, ShortRecordingsAreThreeKeyFramesOfZeros) {
  for (int length : {1, 100, 639}) {
    const auto values = velk_mur::computeHeadValues(length);
    ASSERT_EQ(values.size(), 3u);
    for (const HeadValues& v : values) EXPECT_EQ(v, (HeadValues{0, 0, 0}));
  }
}

TEST(HeadMotion, ZeroStepSegmentOfTrackOneGivesItsFrom) {
  for (int length : {2560, 3199}) {
    const auto values = velk_mur::computeHeadValues(length);
    ASSERT_EQ(values.size(), 7u);
    for (const HeadValues& v : values) EXPECT_EQ(v, (HeadValues{0, 0, 0}));
  }
}

TEST(HeadMotion, JointsStartMovingAtTheirThresholds) {
  const auto moves = [](std::int64_t length, int joint) {
    for (const HeadValues& v : velk_mur::computeHeadValues(length)) {
      if (v[static_cast<std::size_t>(joint)] != 0) return true;
    }
    return false;
  };
  EXPECT_FALSE(moves(10239, 2));
  EXPECT_TRUE(moves(10240, 2));
  EXPECT_FALSE(moves(24959, 1));
  EXPECT_TRUE(moves(24960, 1));
  EXPECT_FALSE(moves(42879, 0));
  EXPECT_TRUE(moves(42880, 0));
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
  EXPECT_EQ(velk_mur::percentileLevel(histogram, 4), 0);
  EXPECT_EQ(velk_mur::percentileLevel(histogram, 5), 10);
  EXPECT_EQ(velk_mur::percentileLevel(histogram, 9), 10);
  EXPECT_EQ(velk_mur::percentileLevel(histogram, 10), 129);
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
  std::int64_t sum = 0;
  for (auto c : histogram.counts) sum += c;
  EXPECT_EQ(sum, 257);
}

TEST(MouthMotion, HalfSilentRecordingOpensInKeyFramesFourToSix) {
  const platform::Bytes samples = testing_support::halfSilentHalfLoud();
  EXPECT_EQ(velk_mur::MouthAnalysis(samples).threshold(), 127);
  const auto values = velk_mur::computeMouthValues(samples);
  ASSERT_EQ(values.size(), 15u);
  for (std::size_t j = 0; j < values.size(); ++j) {
    const bool open = j >= 4 && j <= 6;
    EXPECT_EQ(values[j], open ? velk_mur::kMouthWideOpen : velk_mur::kMouthClosed) << j;
  }
}

TEST(MouthMotion, SilenceOpensWideWhereverThereIsAWindow) {
  const auto values = velk_mur::computeMouthValues(testing_support::silence(8000));
  ASSERT_EQ(values.size(), 15u);
  for (std::size_t j = 0; j < values.size(); ++j) {
    const bool window = j >= 1 && 640 * static_cast<int>(j) + 2000 < 6000;
    EXPECT_EQ(values[j], window ? velk_mur::kMouthWideOpen : velk_mur::kMouthClosed) << j;
  }
}

TEST(MouthMotion, ShortRecordingHasNoWindow) {
  for (std::size_t length : {std::size_t{1}, std::size_t{4640}}) {
    for (std::int32_t v : velk_mur::computeMouthValues(testing_support::silence(length))) {
      EXPECT_EQ(v, velk_mur::kMouthClosed);
    }
  }
  // At 4641 samples key frame 1's window exists (2640 < 2641).
  EXPECT_EQ(velk_mur::computeMouthValues(testing_support::silence(4641))[1], velk_mur::kMouthWideOpen);
}

TEST(MouthMotion, HalfOpenBetween129And320LoudSamples) {
  // Threshold 0 would count all; make most samples loud (amplitude 100) and pick windows.
  platform::Bytes samples(16000, 228);
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = i % 3 == 0 ? 228 : 128;
  // Two thirds silent: threshold is the smallest level with more than 2/3 below it: 100.
  const velk_mur::MouthAnalysis analysis(samples);
  EXPECT_EQ(analysis.threshold(), 100);
  EXPECT_EQ(analysis.valueAt(1), velk_mur::kMouthHalfOpen);  // 213 or 214 loud of 640
}

platform::Bytes motionBytes(bool head, std::size_t length, const std::string& name) {
  platform::MemorySink sink;
  const platform::Bytes samples = testing_support::silence(length);
  const bool ok = head ? velk_mur::writeHeadMotion(sink, name, static_cast<std::int64_t>(length))
                       : velk_mur::writeMouthMotion(sink, name, samples);
  EXPECT_TRUE(ok);
  return sink.bytes();
}

TEST(MotionFile, HelloMouthMotionIs432BytesWithTheGivenStart) {
  const platform::Bytes file = motionBytes(false, 8000, "m_any#any_hello");
  ASSERT_EQ(file.size(), 432u);
  const platform::Bytes start = {0x4F, 0x4D, 0x54, 0x4E, 0x00, 0x00, 0x00, 0x00, 0x18, 0x00, 0x00, 0x00,
                                 0x04, 0x00, 0x00, 0x00, 0x01, 0x00, 0x02, 0x00, 0x0F, 0x00, 0x10, 0x00,
                                 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x38, 0x00, 0x00, 0x00};
  EXPECT_TRUE(std::equal(start.begin(), start.end(), file.begin()));
  // Section 2 at 84 (40 bytes), section 3 at 124 (308 bytes).
  EXPECT_EQ(platform::getLe32(file.data() + 84), 2u);
  EXPECT_EQ(platform::getLe32(file.data() + 88), 40u);
  EXPECT_EQ(platform::getLe32(file.data() + 124), 3u);
  EXPECT_EQ(platform::getLe32(file.data() + 128), 308u);
  // The names section: counted strings and three zero bytes of padding.
  const std::string names(file.begin() + 36, file.begin() + 84);
  EXPECT_EQ(names, std::string("\x0Fm_any#any_hello\x13VELK_MUR(synthetic)\x08" "DRX-1000", 45) +
                       std::string(3, '\0'));
  const std::string joints(file.begin() + 92, file.begin() + 124);
  EXPECT_EQ(joints, std::string("\x01\x00\x1DPRM:/r1/c1/c2/c3/c4-Joint2:14", 32));
}

TEST(MotionFile, HelloHeadMotionIs596Bytes) {
  const platform::Bytes file = motionBytes(true, 8000, "h_any#any_7hello");
  ASSERT_EQ(file.size(), 596u);
  EXPECT_EQ(platform::getLe32(file.data() + 32), 56u);
  EXPECT_EQ(platform::getLe32(file.data() + 84), 2u);
  EXPECT_EQ(platform::getLe32(file.data() + 88), 84u);
  EXPECT_EQ(platform::getLe32(file.data() + 168), 3u);
  EXPECT_EQ(platform::getLe32(file.data() + 172), 428u);
  EXPECT_EQ(velk_mur::motionFileSize(16, 3, 15), 596);
  EXPECT_EQ(velk_mur::motionFileSize(15, 1, 15), 432);
}

TEST(MotionFile, FourteenCharacterNameNeedsNoPadding) {
  const platform::Bytes file = motionBytes(false, 8000, "m_any#any_abcd");
  EXPECT_EQ(platform::getLe32(file.data() + 32), 52u);
  EXPECT_EQ(platform::getLe32(file.data() + 28 + 52), 2u);
}

TEST(MotionFile, EveryWrittenFileWalksToItsExactEnd) {
  for (std::size_t length : {std::size_t{0}, std::size_t{1}, std::size_t{639}, std::size_t{8000},
                             std::size_t{48000}, std::size_t{80001}}) {
    for (std::size_t nameLength = 10; nameLength <= 17; ++nameLength) {
      for (bool head : {true, false}) {
        const std::string name(nameLength, 'n');
        generate_tests::MotionLayout layout;
        const platform::Bytes file = motionBytes(head, length, name);
        ASSERT_EQ(generate_tests::checkMotionFile(file, layout), "") << length << " " << nameLength;
        EXPECT_EQ(layout.motionName, name);
        EXPECT_EQ(layout.joints, head ? 3 : 1);
        EXPECT_EQ(layout.keyFrames, velk_mur::keyFrameCount(static_cast<std::int64_t>(length)));
        EXPECT_EQ(static_cast<std::int64_t>(file.size()),
                  velk_mur::motionFileSize(nameLength, layout.joints, layout.keyFrames));
        ASSERT_FALSE(layout.interpolation.empty());
        EXPECT_EQ(layout.interpolation[0], 0);
        for (std::size_t k = 1; k < layout.interpolation.size(); ++k) EXPECT_EQ(layout.interpolation[k], 4);
      }
    }
  }
}

TEST(MotionFile, WrittenValuesAreTheGeneratorsValues) {
  const platform::Bytes samples = testing_support::halfSilentHalfLoud();
  platform::MemorySink sink;
  ASSERT_TRUE(velk_mur::writeMouthMotion(sink, "m_any#any_x", samples));
  generate_tests::MotionLayout layout;
  ASSERT_EQ(generate_tests::checkMotionFile(sink.bytes(), layout), "");
  const auto values = velk_mur::computeMouthValues(samples);
  for (std::size_t k = 0; k < values.size(); ++k) EXPECT_EQ(layout.values[k][0], values[k]);

  platform::MemorySink headSink;
  ASSERT_TRUE(velk_mur::writeHeadMotion(headSink, "h_any#any_7x", 48000));
  layout = {};
  ASSERT_EQ(generate_tests::checkMotionFile(headSink.bytes(), layout), "");
  const auto head = velk_mur::computeHeadValues(48000);
  for (std::size_t k = 0; k < head.size(); ++k) {
    EXPECT_EQ(layout.values[k], std::vector<std::int32_t>(head[k].begin(), head[k].end()));
  }
}

TEST(MotionFile, HeadFilesOfEqualLengthDifferOnlyInName) {
  platform::MemorySink a;
  platform::MemorySink b;
  ASSERT_TRUE(velk_mur::writeHeadMotion(a, "h_any#any_7aa", 20000));
  ASSERT_TRUE(velk_mur::writeHeadMotion(b, "h_any#any_7bb", 20000));
  platform::Bytes aBytes = a.bytes();
  platform::Bytes bBytes = b.bytes();
  ASSERT_EQ(aBytes.size(), bBytes.size());
  EXPECT_NE(aBytes, bBytes);
  for (std::size_t at : {48u, 49u}) aBytes[at] = bBytes[at] = 0;  // "aa" and "bb" of the names
  EXPECT_EQ(aBytes, bBytes);
}

TEST(MotionFile, RefusesWhatTheFormatCannotHold) {
  platform::MemorySink sink;
  EXPECT_FALSE(velk_mur::writeMotionHeader(sink, 2, 10, "name"));
  EXPECT_FALSE(velk_mur::writeMotionHeader(sink, 1, 65536, "name"));
  EXPECT_FALSE(velk_mur::writeMotionHeader(sink, 1, 10, std::string(256, 'x')));
  EXPECT_TRUE(sink.bytes().empty());
  EXPECT_FALSE(velk_mur::writeHeadMotion(sink, "name", velk_mur::kMaxClipSamples + 1));
  EXPECT_TRUE(sink.bytes().empty());
  EXPECT_TRUE(velk_mur::writeMotionHeader(sink, 1, 65535, std::string(255, 'x')));
}

}  // namespace
