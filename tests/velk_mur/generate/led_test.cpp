#include <gtest/gtest.h>

#include <vector>

#include "platform/byte_sink.h"
#include "tests/support/gen_wav_maker.h"
#include "tests/velk_mur/generate/file_structure.h"
#include "velk_mur/generate/key_frames.h"
#include "velk_mur/generate/led_file.h"
#include "velk_mur/generate/led_pattern.h"

namespace {

const platform::Bytes kFileStart = {
    'M', 'T', 'h', 'd', 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0x01, 0x00, 0x78,
    'M', 'T', 'r', 'k', 0x00, 0x00, 0x00, 0x00,  // track length patched per test
    0x00, 0xFF, 0x03, 0x08, 'V', 'e', 'l', 'k', '_', 'M', 'u', 'r',
    0x00, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90,
    0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08};

platform::Bytes expectedFile(const platform::Bytes& events) {
  platform::Bytes file = kFileStart;
  file.insert(file.end(), events.begin(), events.end());
  for (std::uint8_t b : {0x00, 0xFF, 0x2F, 0x00}) file.push_back(b);
  const auto length = static_cast<std::uint32_t>(file.size() - 22);
  for (int i = 0; i < 4; ++i) file[18 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(length >> (24 - 8 * i));
  return file;
}

platform::Bytes ledBytes(const std::vector<std::uint32_t>& masks) {
  platform::MemorySink sink;
  EXPECT_TRUE(velk_mur::writeLedFile(sink, masks));
  return sink.bytes();
}

TEST(LedFile, FourStepExampleIs69Bytes) {
  const platform::Bytes file = ledBytes({0x0800, 0x0C00, 0x0C00, 0x0000});
  ASSERT_EQ(file.size(), 69u);
  EXPECT_EQ(file, expectedFile({0x00, 0x90, 0x3B, 0x60, 0x28, 0x90, 0x3A, 0x60, 0x50, 0x90, 0x3A,
                                0x00, 0x00, 0x90, 0x3B, 0x00}));
  EXPECT_EQ(platform::getBe32(file.data() + 18), 47u);
}

TEST(LedFile, NoStepsGiveThe53ByteFile) {
  const platform::Bytes file = ledBytes({});
  ASSERT_EQ(file.size(), 53u);
  EXPECT_EQ(file, expectedFile({}));
  EXPECT_EQ(platform::getBe32(file.data() + 18), 31u);
}

TEST(LedFile, HalfSilentRecordingGivesThe151ByteFile) {
  const platform::Bytes samples = testing_support::halfSilentHalfLoud();
  const auto thresholds = velk_mur::loudnessThresholds(samples);
  EXPECT_EQ(thresholds, (std::array<int, 8>{0, 0, 0, 0, 127, 127, 127, 128}));
  const auto masks = velk_mur::computeLedMasks(samples);
  EXPECT_EQ(masks, (std::vector<std::uint32_t>{0x0C3C, 0x0C3C, 0x0C3C, 0x0C3C, 0x0C3C, 0x0C3C,
                                               0x0FFF, 0x0FFF, 0x0FFF, 0x0FFF, 0x0FFF, 0x0FFF}));
  platform::Bytes events;
  bool first = true;
  const auto add = [&](std::initializer_list<int> notes, std::initializer_list<std::uint8_t> delta,
                       std::uint8_t velocity) {
    first = true;
    for (int note : notes) {
      if (first) {
        events.insert(events.end(), delta.begin(), delta.end());
      } else {
        events.push_back(0);
      }
      first = false;
      events.insert(events.end(), {0x90, static_cast<std::uint8_t>(note), velocity});
    }
  };
  add({50, 51, 52, 53, 58, 59}, {0x00}, 0x60);
  add({48, 49, 54, 55, 56, 57}, {0x81, 0x70}, 0x60);
  add({48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59}, {0x81, 0x70}, 0x00);
  const platform::Bytes file = ledBytes(masks);
  ASSERT_EQ(file.size(), 151u);
  EXPECT_EQ(file, expectedFile(events));
}

TEST(LedPattern, StepCountsFollowTheSpecification) {
  EXPECT_EQ(velk_mur::ledStepCount(655), 0);
  EXPECT_EQ(velk_mur::ledStepCount(656), 1);
  EXPECT_EQ(velk_mur::ledStepCount(8000), 12);
  EXPECT_EQ(velk_mur::ledStepCount(7989), 12);
  EXPECT_EQ(velk_mur::ledStepCount(7988), 11);
}

TEST(LedPattern, ShortRecordingGivesNoSteps) {
  EXPECT_TRUE(velk_mur::computeLedMasks(testing_support::silence(655)).empty());
}

TEST(LedPattern, SilenceLightsEveryLed) {
  for (std::uint8_t value : {std::uint8_t{128}, std::uint8_t{200}}) {
    const auto masks = velk_mur::computeLedMasks(platform::Bytes(8000, value));
    ASSERT_EQ(masks.size(), 12u);
    for (std::uint32_t mask : masks) EXPECT_EQ(mask, 0x3FFFu);
  }
}

TEST(LedPattern, LevelCountsOnlyWhenMoreThanHalfTheStepReachesIt) {
  // Amplitude 10 everywhere but in the start of step 0: every threshold is 10.
  for (std::size_t silent : {std::size_t{333}, std::size_t{332}}) {
    platform::Bytes samples(8000, 138);
    for (std::size_t i = 0; i < silent; ++i) samples[i] = 128;
    EXPECT_EQ(velk_mur::loudnessThresholds(samples), (std::array<int, 8>{10, 10, 10, 10, 10, 10, 10, 10}));
    const auto masks = velk_mur::computeLedMasks(samples);
    EXPECT_EQ(masks[0], silent == 333 ? 0u : 0x3FFFu) << silent;  // 333 of 666 loud is not enough
    EXPECT_EQ(masks[1], 0x3FFFu);
  }
}

TEST(LedFile, StepWithOffAndOnWritesAscendingBitsWithOwnStatus) {
  const platform::Bytes file = ledBytes({0x0001, 0x0002});
  EXPECT_EQ(file, expectedFile({0x00, 0x90, 0x30, 0x60, 0x28, 0x90, 0x30, 0x00, 0x00, 0x90, 0x31,
                                0x60, 0x28, 0x90, 0x31, 0x00}));
}

TEST(LedFile, LedsStillLitGoOutAtTick40TimesW) {
  std::vector<generate_tests::NoteEvent> events;
  ASSERT_EQ(generate_tests::checkLedFile(ledBytes({0x2000, 0x2000, 0x2000}), events), "");
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[1].tick, 120u);
  EXPECT_EQ(events[1].note, 61);
  EXPECT_EQ(events[1].velocity, 0);
}

TEST(LedFile, DeltaTimesUseOneToThreeBytes) {
  const auto delta = [](std::uint32_t ticks) {
    platform::MemorySink sink;
    EXPECT_TRUE(velk_mur::writeDeltaTime(sink, ticks));
    return sink.bytes();
  };
  EXPECT_EQ(delta(0), (platform::Bytes{0x00}));
  EXPECT_EQ(delta(127), (platform::Bytes{0x7F}));
  EXPECT_EQ(delta(128), (platform::Bytes{0x81, 0x00}));
  EXPECT_EQ(delta(240), (platform::Bytes{0x81, 0x70}));
  EXPECT_EQ(delta(16383), (platform::Bytes{0xFF, 0x7F}));
  EXPECT_EQ(delta(16384), (platform::Bytes{0x81, 0x80, 0x00}));
  EXPECT_EQ(delta(2097151), (platform::Bytes{0xFF, 0xFF, 0x7F}));
  EXPECT_EQ(delta(2097152), (platform::Bytes{0x81, 0x80, 0x80, 0x00}));
  platform::MemorySink sink;
  EXPECT_FALSE(velk_mur::writeDeltaTime(sink, 0x10000000));
}

TEST(LedFile, EveryWrittenFileIsWellFormedMidi) {
  for (std::size_t length : {std::size_t{0}, std::size_t{655}, std::size_t{7988}, std::size_t{8000},
                             std::size_t{40000}}) {
    platform::Bytes samples(length);
    std::uint32_t seed = 12345;
    for (auto& s : samples) {
      seed = seed * 1103515245u + 12345u;
      s = static_cast<std::uint8_t>(128 + static_cast<int>((seed >> 16) % 64) - 32);
    }
    const auto masks = velk_mur::computeLedMasks(samples);
    std::vector<generate_tests::NoteEvent> events;
    ASSERT_EQ(generate_tests::checkLedFile(ledBytes(masks), events), "") << length;
    // Replaying the events gives back each step's mask, and everything is out at the end.
    std::uint32_t lit = 0;
    std::size_t next = 0;
    for (std::size_t step = 0; step <= masks.size(); ++step) {
      while (next < events.size() && events[next].tick == 40 * step) {
        const std::uint32_t bit = 1u << (events[next].note - 48);
        lit = events[next].velocity == 0x60 ? (lit | bit) : (lit & ~bit);
        ++next;
      }
      EXPECT_EQ(lit, step < masks.size() ? masks[step] : 0u) << step;
    }
    EXPECT_EQ(next, events.size());
  }
}

TEST(LedFile, LongestAcceptedSilenceKeepsAValidFile) {
  // 40 x W ticks between the lights going on and out exceed three delta bytes here.
  const auto length = static_cast<std::size_t>(velk_mur::kMaxClipSamples);
  const auto masks = velk_mur::computeLedMasks(platform::Bytes(length, 128));
  std::vector<generate_tests::NoteEvent> events;
  ASSERT_EQ(generate_tests::checkLedFile(ledBytes(masks), events), "");
  ASSERT_EQ(events.size(), 28u);
  EXPECT_EQ(events.back().tick, 40u * masks.size());
}

}  // namespace
