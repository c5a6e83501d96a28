// The motion and LED readers against the writers: whatever the generator writes reads back
// to the values it was computed from and writes again to the same bytes; damaged files are
// refused with a reason.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
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

struct Recording {
  const char* name;
  Bytes samples;
};

Bytes noise(std::size_t count, unsigned seed) {
  std::mt19937 random(seed);
  Bytes samples(count);
  for (std::size_t i = 0; i < count; ++i) {
    const int envelope = (i / 3000) % 3 == 0 ? 120 : 15;
    samples[i] =
        static_cast<std::uint8_t>(128 + static_cast<int>(random() % (2 * envelope + 1)) - envelope);
  }
  return samples;
}

const std::vector<Recording>& recordings() {
  static const std::vector<Recording> table = {
      {"hello", testing_support::halfSilentHalfLoud()},  // the worked examples
      {"tiny", testing_support::silence(655)},           // no LED steps, two key frames
      {"speech", noise(3 * 8000 + 17, 3)},
  };
  return table;
}

// What the writers make of a read motion: the same header and key frames.
Bytes rewrittenMotion(const velk_mur::MotionFileContents& motion) {
  return written([&](platform::Bytes& sink) {
    if (!velk_mur::writeMotionHeader(sink, static_cast<int>(motion.joints.size()),
                                     static_cast<std::int64_t>(motion.keyFrames.size()),
                                     motion.motionName)) {
      return false;
    }
    for (std::size_t index = 0; index < motion.keyFrames.size(); ++index) {
      velk_mur::writeKeyFrameHeader(sink, motion.keyFrames[index].interpolationCount);
      for (std::int32_t value : motion.valuesOf(index)) velk_mur::writeJointValue(sink, value);
    }
    return true;
  });
}

TEST(MotionReader, ReadsBackWhatTheGeneratorWroteAndWritesItAgain) {
  for (const Recording& recording : recordings()) {
    SCOPED_TRACE(recording.name);
    const auto count = static_cast<std::int64_t>(recording.samples.size());
    const std::string name = recording.name;
    const Bytes head = written([&](platform::Bytes& sink) {
      return velk_mur::writeHeadMotion(sink, "h_any#any_7" + name, count);
    });
    const Bytes mouth = written([&](platform::Bytes& sink) {
      return velk_mur::writeMouthMotion(sink, "m_any#any_" + name,
                                        velk_mur::MouthAnalysis(recording.samples));
    });
    const auto mouthValues = velk_mur::computeMouthValues(recording.samples);

    const velk_mur::MotionReadResult readHead = velk_mur::readMotionFile(head);
    const velk_mur::MotionReadResult readMouth = velk_mur::readMotionFile(mouth);
    ASSERT_TRUE(readHead.ok()) << readHead.problem;
    ASSERT_TRUE(readMouth.ok()) << readMouth.problem;
    EXPECT_EQ(readMouth.motion.joints, std::vector<std::string>{"PRM:/r1/c1/c2/c3/c4-Joint2:14"});
    ASSERT_EQ(readMouth.motion.keyFrames.size(), mouthValues.size());
    for (std::size_t k = 0; k < mouthValues.size(); ++k) {
      ASSERT_EQ(readMouth.motion.keyFrames[k].timeMs, static_cast<std::int64_t>(k) * 80);
      ASSERT_EQ(readMouth.motion.valuesOf(k)[0], mouthValues[k]);
    }
    EXPECT_EQ(rewrittenMotion(readHead.motion), head);
    EXPECT_EQ(rewrittenMotion(readMouth.motion), mouth);
  }
}

TEST(LedReader, ReadsBackWhatTheGeneratorWroteAndWritesItAgain) {
  for (const Recording& recording : recordings()) {
    SCOPED_TRACE(recording.name);
    std::vector<std::uint32_t> masks = velk_mur::computeLedMasks(recording.samples);
    const Bytes file =
        written([&](platform::Bytes& sink) { return velk_mur::writeLedFile(sink, masks); });
    const velk_mur::LedReadResult read = velk_mur::readLedFile(file);
    ASSERT_TRUE(read.ok()) << read.problem;
    // Steps after the last lit one write nothing, so they do not come back.
    while (!masks.empty() && masks.back() == 0) masks.pop_back();
    const auto readMasks = velk_mur::ledMasksPerStep(read.pattern, velk_mur::kTicksPerStep);
    EXPECT_EQ(readMasks, masks);
    EXPECT_EQ(
        written([&](platform::Bytes& sink) { return velk_mur::writeLedFile(sink, readMasks); }),
        file);
  }
}

using Damage = std::function<void(Bytes&)>;

void put32(Bytes& bytes, std::size_t at, std::uint32_t value, bool bigEndian = false) {
  for (int i = 0; i < 4; ++i) {
    bytes[at + static_cast<std::size_t>(i)] =
        static_cast<std::uint8_t>(value >> (bigEndian ? 24 - 8 * i : 8 * i));
  }
}

TEST(MotionReader, RefusesDamagedFilesWithAReason) {
  // The mouth motion of the one-second example: sections at 4, 28, 84, 124; 432 bytes.
  const Bytes good = written([](platform::Bytes& sink) {
    const platform::Bytes samples = testing_support::halfSilentHalfLoud();
    return velk_mur::writeMouthMotion(sink, "m_any#any_hello", velk_mur::MouthAnalysis(samples));
  });
  ASSERT_EQ(good.size(), 432u);
  struct Row {
    const char* what;
    Damage damage;
    const char* reason;
  };
  const Row rows[] = {
      {"empty", [](Bytes& b) { b.clear(); }, "no \"OMTN\" magic"},
      {"cut in section 1", [](Bytes& b) { b.resize(40); }, "section 1 size 56 does not fit"},
      {"cut in the key frames", [](Bytes& b) { b.resize(400); }, "section 3 size 308 does not fit"},
      {"section size past the end", [](Bytes& b) { put32(b, 88, 0x7FFFFFF0); }, "section 2 size"},
      {"bytes behind the last section", [](Bytes& b) { b.push_back(0); }, "1 bytes after the last"},
      {"key frame count too high", [](Bytes& b) { b[20] = 16; },
       "16 key frames of 1 joints need 320"},
      {"frame time 0", [](Bytes& b) { b[22] = b[23] = 0; }, "frame time of 0 ms"},
      {"joint name past its section", [](Bytes& b) { b[94] = 200; }, "joint name runs past"},
  };
  for (const Row& row : rows) {
    Bytes bytes = good;
    row.damage(bytes);
    const velk_mur::MotionReadResult read = velk_mur::readMotionFile(bytes);
    EXPECT_NE(read.problem.find(row.reason), std::string::npos) << row.what << ": " << read.problem;
  }
}

TEST(LedReader, RefusesDamagedFilesWithAReason) {
  // The 69-byte example: masks 0800, 0C00, 0C00, 0000; events from offset 49.
  const std::vector<std::uint32_t> masks{0x0800, 0x0C00, 0x0C00, 0x0000};
  const Bytes good =
      written([&](platform::Bytes& sink) { return velk_mur::writeLedFile(sink, masks); });
  ASSERT_EQ(good.size(), 69u);
  struct Row {
    const char* what;
    Damage damage;
    const char* reason;
  };
  const Row rows[] = {
      {"empty", [](Bytes& b) { b.clear(); }, "no \"MThd\" header"},
      {"format 1", [](Bytes& b) { b[9] = 1; }, "MIDI format 1"},
      {"no track chunk", [](Bytes& b) { b[14] = 'X'; }, "no \"MTrk\" track chunk"},
      {"track length too long", [](Bytes& b) { put32(b, 18, 48, true); }, "track length 48"},
      {"cut before the end of track",
       [](Bytes& b) {
         b.resize(65);
         put32(b, 18, 43, true);
       },
       "no end-of-track"},
      {"delta time of five bytes",
       [](Bytes& b) {
         b.insert(b.begin() + 49, {0x81, 0x81, 0x81, 0x81});
         put32(b, 18, 51, true);
       },
       "delta time cut or too long"},
      {"data byte without a status", [](Bytes& b) { b[50] = 0x3B; }, "data byte without a status"},
  };
  for (const Row& row : rows) {
    Bytes bytes = good;
    row.damage(bytes);
    const velk_mur::LedReadResult read = velk_mur::readLedFile(bytes);
    EXPECT_NE(read.problem.find(row.reason), std::string::npos) << row.what << ": " << read.problem;
  }
}

}  // namespace
