// Every writer stops at the first failed write; every file-level generator removes the file
// it could not finish.
#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "platform/byte_sink.h"
#include "platform/file_faults.h"
#include "tests/support/gen_wav_maker.h"
#include "tests/support/temp_tree.h"
#include "velk_mur/generate/head_motion.h"
#include "velk_mur/generate/led_file.h"
#include "velk_mur/generate/led_pattern.h"
#include "velk_mur/generate/mouth_motion.h"

namespace {

using Writer = std::function<bool(platform::ByteSink&)>;

void expectFailsAtEveryByte(const Writer& writer) {
  platform::MemorySink full;
  ASSERT_TRUE(writer(full));
  for (std::size_t limit = 0; limit < full.bytes().size(); ++limit) {
    platform::FailingSink sink(limit);
    EXPECT_FALSE(writer(sink)) << "limit " << limit;
  }
}

const platform::Bytes& sound() {
  static const platform::Bytes samples = testing_support::halfSilentHalfLoud();
  return samples;
}

TEST(WriterFailures, HeadMotionStopsAtAFailedWrite) {
  expectFailsAtEveryByte([](platform::ByteSink& s) { return velk_mur::writeHeadMotion(s, "h_any#any_7ab", 8000); });
}

TEST(WriterFailures, MouthMotionStopsAtAFailedWrite) {
  expectFailsAtEveryByte([](platform::ByteSink& s) { return velk_mur::writeMouthMotion(s, "m_any#any_ab", sound()); });
}

TEST(WriterFailures, LedFileStopsAtAFailedWrite) {
  const auto masks = velk_mur::computeLedMasks(sound());
  expectFailsAtEveryByte([&](platform::ByteSink& s) { return velk_mur::writeLedFile(s, masks); });
  expectFailsAtEveryByte([](platform::ByteSink& s) { return velk_mur::writeLedFile(s, {}); });
}

TEST(WriterFailures, EventWritersReportAFailedWrite) {
  platform::FailingSink sink(0);
  EXPECT_FALSE(velk_mur::writeDeltaTime(sink, 300));
  EXPECT_FALSE(velk_mur::writeNoteEvent(sink, 0x90, 48, 0x60));
}

using Generator = std::function<bool(const std::filesystem::path&)>;

// Fails the Nth create, write or close for every N the generator reaches.
void expectRemovedAfterEveryFault(const Generator& generate) {
  testing_support::TempDir dir;
  const auto path = dir / "out.bin";
  int operations = 0;
  {
    platform::ScopedFault count(INT_MAX, {platform::FileOp::Create, platform::FileOp::Write,
                                          platform::FileOp::Close});
    ASSERT_TRUE(generate(path));
    operations = platform::FaultInjection::operationsSeen();
  }
  ASSERT_GT(operations, 3);
  for (int n = 1; n <= operations; ++n) {
    std::filesystem::remove(path);
    platform::ScopedFault fault(n, {platform::FileOp::Create, platform::FileOp::Write,
                                    platform::FileOp::Close});
    EXPECT_FALSE(generate(path)) << "fault at " << n;
    EXPECT_TRUE(platform::FaultInjection::failureReached());
    EXPECT_FALSE(std::filesystem::exists(path)) << "incomplete file left after fault " << n;
  }
}

TEST(GeneratorFailures, HeadMotionRemovesItsIncompleteFile) {
  const velk_mur::ClipSamples clip{sound()};
  expectRemovedAfterEveryFault([&](const auto& p) { return velk_mur::generateHeadMotion(p, "h_any#any_7ab", clip); });
}

TEST(GeneratorFailures, MouthMotionRemovesItsIncompleteFile) {
  const velk_mur::ClipSamples clip{sound()};
  expectRemovedAfterEveryFault([&](const auto& p) { return velk_mur::generateMouthMotion(p, "m_any#any_ab", clip); });
}

TEST(GeneratorFailures, LedPatternRemovesItsIncompleteFile) {
  const velk_mur::ClipSamples clip{sound()};
  expectRemovedAfterEveryFault([&](const auto& p) { return velk_mur::generateLedPattern(p, clip); });
}

TEST(GeneratorFailures, GeneratorsWriteTheSameBytesAsTheWriters) {
  testing_support::TempDir dir;
  const velk_mur::ClipSamples clip{sound()};
  ASSERT_TRUE(velk_mur::generateMouthMotion(dir / "m.mtn", "m_any#any_ab", clip));
  platform::MemorySink sink;
  ASSERT_TRUE(velk_mur::writeMouthMotion(sink, "m_any#any_ab", clip.samples));
  EXPECT_EQ(testing_support::readFile(dir / "m.mtn"), sink.bytes());

  ASSERT_TRUE(velk_mur::generateLedPattern(dir / "x.led", clip));
  platform::MemorySink led;
  ASSERT_TRUE(velk_mur::writeLedFile(led, velk_mur::computeLedMasks(clip.samples)));
  EXPECT_EQ(testing_support::readFile(dir / "x.led"), led.bytes());
}

TEST(GeneratorFailures, TooLongRecordingCreatesNoFile) {
  testing_support::TempDir dir;
  velk_mur::ClipSamples clip;
  clip.samples.assign(static_cast<std::size_t>(41941120), 128);
  EXPECT_FALSE(velk_mur::generateHeadMotion(dir / "h.mtn", "h", clip));
  EXPECT_FALSE(velk_mur::generateMouthMotion(dir / "m.mtn", "m", clip));
  EXPECT_FALSE(velk_mur::generateLedPattern(dir / "l.led", clip));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
