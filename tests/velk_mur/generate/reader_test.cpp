// The motion and LED readers against the writers: whatever the generator writes reads back
// and writes again to the same bytes; damaged files are refused with a reason.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/gen_wav_maker.h"
#include "tests/velk_mur/generate/file_structure.h"
#include "velk_mur/generate/led_file.h"
#include "velk_mur/generate/led_reader.h"
#include "velk_mur/generate/motion_reader.h"
#include "velk_mur/generate/src/head_motion.h"
#include "velk_mur/generate/src/led_pattern.h"
#include "velk_mur/generate/src/motion_file.h"
#include "velk_mur/generate/src/mouth_motion.h"

namespace {

using generate_tests::written;
using platform::Bytes;

Bytes mouthMotion(const std::string& name, const Bytes& samples) {
  return written([&](Bytes& sink) {
    return velk_mur::writeMouthMotion(sink, "m_any#any_" + name, velk_mur::MouthAnalysis(samples));
  });
}
Bytes ledFile(const std::vector<std::uint32_t>& masks) {
  return written([&](Bytes& sink) { return velk_mur::writeLedFile(sink, masks); });
}

// What the writers make of a read motion: the same header and key frames.
Bytes rewrittenMotion(const velk_mur::MotionReadResult& read) {
  EXPECT_TRUE(read.ok()) << read.problem;
  const velk_mur::MotionFileContents& motion = read.motion;
  return written([&](Bytes& sink) {
    const bool header =
        velk_mur::writeMotionHeader(sink, static_cast<int>(motion.joints.size()),
                                    std::ssize(motion.keyFrames), motion.motionName);
    for (std::size_t index = 0; index < motion.keyFrames.size(); ++index) {
      velk_mur::writeKeyFrameHeader(sink, motion.keyFrames[index].interpolationCount);
      for (std::int32_t value : motion.valuesOf(index)) velk_mur::writeJointValue(sink, value);
    }
    return header;
  });
}

TEST(Readers, ReadBackWhatTheGeneratorWroteAndWriteItAgain) {
  const std::pair<std::string, Bytes> recordings[] = {
      {"hello", testing_support::halfSilentHalfLoud()},
      {"tiny", testing_support::silence(655)}};  // no LED steps, two key frames
  for (const auto& [name, samples] : recordings) {
    SCOPED_TRACE(name);
    const Bytes head = written([&](Bytes& sink) {
      return velk_mur::writeHeadMotion(sink, "h_any#any_7" + name, std::ssize(samples));
    });
    const Bytes mouth = mouthMotion(name, samples);
    EXPECT_EQ(rewrittenMotion(velk_mur::readMotionFile(head)), head);
    const velk_mur::MotionReadResult readMouth = velk_mur::readMotionFile(mouth);
    ASSERT_TRUE(readMouth.ok()) << readMouth.problem;
    EXPECT_EQ(rewrittenMotion(readMouth), mouth);
    EXPECT_EQ(readMouth.motion.keyFrames.back().timeMs,
              80 * (std::ssize(readMouth.motion.keyFrames) - 1));

    std::vector<std::uint32_t> masks = velk_mur::computeLedMasks(samples);
    const velk_mur::LedReadResult read = velk_mur::readLedFile(ledFile(masks));
    // Steps after the last lit one write nothing, so they do not come back.
    while (!masks.empty() && masks.back() == 0) masks.pop_back();
    EXPECT_EQ(velk_mur::ledMasksPerStep(read.pattern, velk_mur::kTicksPerStep), masks)
        << read.problem;
  }
}

TEST(Readers, RefuseDamagedFilesWithAReason) {
  // The mouth motion of the one-second example: sections at 4, 28, 84, 124; 432 bytes. The LED
  // file of masks 0800, 0C00, 0C00, 0000: 69 bytes, the track length at 18 (big-endian), events
  // from offset 49.
  const Bytes motion = mouthMotion("hello", testing_support::halfSilentHalfLoud());
  const Bytes led = ledFile({0x0800, 0x0C00, 0x0C00, 0x0000});
  ASSERT_EQ(motion.size(), 432u);
  ASSERT_EQ(led.size(), 69u);
  const struct {
    bool isLed;
    std::function<void(Bytes&)> damage;
    const char* reason;
  } rows[] = {
      {false, [](Bytes& b) { b.clear(); }, "no \"OMTN\" magic"},
      {false, [](Bytes& b) { b.resize(40); }, "section 1 size 56 does not fit"},
      {false, [](Bytes& b) { b[91] = 0x7F; }, "section 2 size"},
      {false, [](Bytes& b) { b.push_back(0); }, "1 bytes after the last"},
      {false, [](Bytes& b) { b[20] = 16; }, "16 key frames of 1 joints need 320"},
      {false, [](Bytes& b) { b[22] = b[23] = 0; }, "frame time of 0 ms"},
      {false, [](Bytes& b) { b[94] = 200; }, "joint name runs past"},
      {true, [](Bytes& b) { b.clear(); }, "no \"MThd\" header"},
      {true, [](Bytes& b) { b[9] = 1; }, "MIDI format 1"},
      {true, [](Bytes& b) { b[14] = 'X'; }, "no \"MTrk\" track chunk"},
      {true, [](Bytes& b) { b[21] = 48; }, "track length 48"},
      {true, [](Bytes& b) { b.resize(65), b[21] = 43; }, "no end-of-track"},
      {true, [](Bytes& b) { b.insert(b.begin() + 49, 4, 0x81), b[21] = 51; },
       "delta time cut or too long"},
      {true, [](Bytes& b) { b[50] = 0x3B; }, "data byte without a status"},
  };
  for (const auto& row : rows) {
    Bytes bytes = row.isLed ? led : motion;
    row.damage(bytes);
    const std::string problem =
        row.isLed ? velk_mur::readLedFile(bytes).problem : velk_mur::readMotionFile(bytes).problem;
    EXPECT_NE(problem.find(row.reason), std::string::npos) << row.reason << ": " << problem;
  }
}

}  // namespace
