#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/gen_wav_maker.h"
#include "tests/support/motion_values.h"
#include "tests/velk_mur/generate/file_structure.h"
#include "velk_mur/generate/key_frames.h"
#include "velk_mur/generate/src/head_motion.h"
#include "velk_mur/generate/src/motion_file.h"
#include "velk_mur/generate/src/mouth_motion.h"

using velk_mur::HeadValues, velk_mur::kMouthClosed, velk_mur::kMouthHalfOpen;

namespace {

// One joint's course in degrees, rounded to hundredths: "3x0 7 14" is three key frames at 0,
// then 7, then 14.
std::string course(const std::vector<HeadValues>& values, std::size_t joint) {
  std::ostringstream out;
  for (std::size_t j = 0, run = 1; j < values.size(); j += run) {
    for (run = 1; j + run < values.size() && values[j + run][joint] == values[j][joint];) ++run;
    out << (j > 0 ? " " : "") << (run > 1 ? std::to_string(run) + "x" : "")
        << std::round(values[j][joint] * 18000.0 / 3141592.0) / 100;  // from micro-radians
  }
  return out.str();
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
      // The shortest dip: with R = 56 after it, track 1 returns from -15 at once.
      {42880,
       {joint1 + "2x-15 -14.73 -14.46 -14.2 -13.93 -13.66 -13.39 -13.13 -12.86 -12.59 -12.32 "
                 "-12.05 -11.79 -11.52 -11.25 -10.98 -10.71 -10.45 -10.18 -9.91 -9.64 -9.38 -9.11 "
                 "-8.84 -8.57 -8.3 -8.04 -7.77 -7.5 -7.23 -6.96 -6.7 -6.43 -6.16 -5.89 -5.63 -5.36 "
                 "-5.09 -4.82 -4.55 -4.29 -4.02 -3.75 -3.48 -3.21 -2.95 -2.68 -2.41 -2.14 -1.88 "
                 "-1.61 -1.34 -1.07 -0.8 -0.54 -0.27 0",
        "4x0 11.67 23.33 28x35 23.33 11.67 34x0", joint3 + "59" + joint3End}},
      // One key frame more: R = 57 after the dip, the shortest that holds -15.
      {43520,
       {joint1 + "54" + joint1End, "4x0 11.67 23.33 28x35 23.33 11.67 35x0",
        joint3 + "60" + joint3End}},
      {48000, {joint1 + "61" + joint1End, joint2 + "-23.33 -11.67 9x0", joint3 + "67" + joint3End}},
      {80000,
       {joint1 + "111" + joint1End, joint2 + "-11.67 11.67 28x35 23.33 11.67 29x0",
        joint3 + "117" + joint3End}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.length);
    const auto values = testing_support::computeHeadValues(c.length);
    for (std::size_t joint = 0; joint < 3; ++joint)
      EXPECT_EQ(course(values, joint), c.joints[joint]);
  }
}

// Joints start moving at their thresholds; below the first the head stays still.
TEST(HeadMotion, JointsStartMovingAtTheirThresholdsAndStayWithinTheScript) {
  const struct {
    std::int64_t length;
    const char* moving;  // the joints that leave zero
  } rows[] = {           // clang-format off
      {10239, "---"}, {10240, "--3"}, {24959, "--3"}, {24960, "-23"}, {42879, "-23"}, {42880, "123"},
      // Every value must be one the script can reach; runs under UBSan too.
      {velk_mur::kMaxClipSamples, "123"}};
  // clang-format on
  for (const auto& row : rows) {
    std::string moving = "---";
    for (const HeadValues& v : testing_support::computeHeadValues(row.length)) {
      for (std::size_t joint = 0; joint < 3; ++joint) {
        if (v[joint] != 0) moving[joint] = static_cast<char>('1' + joint);
        EXPECT_LE(std::abs(v[joint]), joint == 0 ? 261799 : 610865);
      }
    }
    EXPECT_EQ(moving, row.moving) << row.length;
  }
}

TEST(MouthMotion, OpensWithTheLoudnessOfTheWindowAhead) {
  // Every third sample loud (amplitude 100): the threshold is the smallest level with more than
  // two thirds of the samples at or below it, 100, and each window has 213 or 214 loud of 640.
  platform::Bytes everyThirdLoud(16000);
  for (std::size_t i = 0; i < everyThirdLoud.size(); ++i)
    everyThirdLoud[i] = i % 3 == 0 ? 228 : 128;
  const struct {
    const char* name;
    platform::Bytes samples;
    int threshold;
    std::string course;
  } rows[] = {
      {"half silent, half loud", testing_support::halfSilentHalfLoud(), 127, "ccccwwwcccccccc"},
      // In silence every key frame with a whole window opens wide.
      {"silence", testing_support::silence(8000), 0, "cwwwwwwcccccccc"},
      {"first window", testing_support::silence(4641), 0, "cwcccccccc"},
      {"every third loud", everyThirdLoud, 100, "c" + std::string(18, 'h') + std::string(9, 'c')},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(velk_mur::MouthAnalysis(row.samples).threshold(), row.threshold) << row.name;
    std::string course;  // c closed, h half open, w wide open
    for (std::int32_t value : testing_support::computeMouthValues(row.samples))
      course += value == kMouthClosed ? 'c' : value == kMouthHalfOpen ? 'h' : 'w';
    EXPECT_EQ(course, row.course) << row.name;
  }
}

TEST(MotionFile, HelloMotionsAre432And596BytesWithTheGivenLayout) {
  const platform::Bytes samples = testing_support::silence(8000);
  const platform::Bytes file = generate_tests::written([&](auto& sink) {
    return velk_mur::writeMouthMotion(sink, "m_any#any_hello", velk_mur::MouthAnalysis(samples));
  });
  ASSERT_EQ(file.size(), 432u);
  // The header, the names section (counted strings and three zero bytes of padding), section 2
  // at 84 (40 bytes) with the mouth joint, section 3 at 124 (308 bytes).
  EXPECT_EQ(std::string(file.begin(), file.begin() + 132),
            std::string("OMTN\0\0\0\0\x18\0\0\0\x04\0\0\0\x01\0\x02\0\x0F\0\x10\0\0\0\0\0\x01\0\0\0"
                        "\x38\0\0\0\x0Fm_any#any_hello\x13VELK_MUR(synthetic)\x08"
                        "DRX-1000\0\0\0"
                        "\x02\0\0\0\x28\0\0\0\x01\x00\x1DPRM:/r1/c1/c2/c3/c4-Joint2:14"
                        "\x03\0\0\0\x34\x01\0\0",
                        132));
  const platform::Bytes head = generate_tests::written(
      [](auto& sink) { return velk_mur::writeHeadMotion(sink, "h_any#any_7hello", 8000); });
  ASSERT_EQ(head.size(), 596u);
  for (auto [at, value] : {std::pair{32, 56u}, {84, 2u}, {88, 84u}, {168, 3u}, {172, 428u}}) {
    EXPECT_EQ(platform::getLe32(head.data() + at), value) << at;
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
