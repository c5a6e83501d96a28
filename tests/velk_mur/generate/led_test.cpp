#include <gtest/gtest.h>

#include <vector>

#include "tests/support/gen_wav_maker.h"
#include "tests/velk_mur/generate/file_structure.h"
#include "velk_mur/generate/led_file.h"
#include "velk_mur/generate/src/led_pattern.h"

using Masks = std::vector<std::uint32_t>;

namespace {

platform::Bytes ledBytes(const Masks& masks) {
  return generate_tests::written([&](auto& sink) { return velk_mur::writeLedFile(sink, masks); });
}

std::vector<generate_tests::NoteEvent> ledEvents(const Masks& masks) {
  std::vector<generate_tests::NoteEvent> events;
  EXPECT_EQ(generate_tests::checkLedFile(ledBytes(masks), events), "");
  return events;
}

// The whole file around the given note events, track length included.
platform::Bytes expectedFile(const platform::Bytes& events) {
  static const platform::Bytes kHeaderAndMetaEvents = {
      'M',  'T',  'h',  'd',  0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0x01, 0x00, 0x78,
      'M',  'T',  'r',  'k',  0x00, 0x00, 0x00, 0x00,  // length
      0x00, 0xFF, 0x03, 0x08, 'V',  'e',  'l',  'k',  '_',  'M',  'u',  'r',  0x00, 0xFF,
      0x51, 0x03, 0x03, 0xD0, 0x90, 0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08};
  static const platform::Bytes kEndOfTrack = {0x00, 0xFF, 0x2F, 0x00};
  platform::Bytes file = kHeaderAndMetaEvents;
  file.insert(file.end(), events.begin(), events.end());
  file.insert(file.end(), kEndOfTrack.begin(), kEndOfTrack.end());
  file[21] = static_cast<std::uint8_t>(file.size() - 22);  // every file here is short
  return file;
}

TEST(LedFile, WritesTheExactFileForEachStepSequence) {
  struct Case {
    Masks masks;
    platform::Bytes events;
    std::size_t size;
  };
  const Case cases[] = {
      {{}, {}, 53},
      {{0x0800, 0x0C00, 0x0C00, 0x0000},
       {0x00, 0x90, 0x3B, 0x60, 0x28, 0x90, 0x3A, 0x60, 0x50, 0x90, 0x3A, 0x00, 0x00, 0x90, 0x3B,
        0x00},
       69},
      // A step with an LED going out and one coming on: ascending bits, each with its status.
      {{0x0001, 0x0002},
       {0x00, 0x90, 0x30, 0x60, 0x28, 0x90, 0x30, 0x00, 0x00, 0x90, 0x31, 0x60, 0x28, 0x90, 0x31,
        0x00},
       69},
  };
  for (const Case& c : cases) {
    const platform::Bytes file = ledBytes(c.masks);
    EXPECT_EQ(file.size(), c.size);
    EXPECT_EQ(file, expectedFile(c.events));
  }
}

TEST(LedFile, HalfSilentRecordingGivesThe151ByteFile) {
  const platform::Bytes& samples = testing_support::halfSilentHalfLoud();
  const Masks masks = velk_mur::computeLedMasks(samples);
  EXPECT_EQ(masks, (Masks{0x0C3C, 0x0C3C, 0x0C3C, 0x0C3C, 0x0C3C, 0x0C3C, 0x0FFF, 0x0FFF, 0x0FFF,
                          0x0FFF, 0x0FFF, 0x0FFF}));
  platform::Bytes events;
  // Each step's delta time comes before its first note; 0 before the others.
  const auto step = [&](platform::Bytes delta, std::initializer_list<int> notes,
                        std::uint8_t velocity) {
    for (int note : notes) {
      events.insert(events.end(), delta.begin(), delta.end());
      events.insert(events.end(), {0x90, static_cast<std::uint8_t>(note), velocity});
      delta = {0x00};
    }
  };
  step({0x00}, {50, 51, 52, 53, 58, 59}, 0x60);
  step({0x81, 0x70}, {48, 49, 54, 55, 56, 57}, 0x60);
  step({0x81, 0x70}, {48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59}, 0x00);
  const platform::Bytes file = ledBytes(masks);
  ASSERT_EQ(file.size(), 151u);
  EXPECT_EQ(file, expectedFile(events));
}

Masks lit(std::size_t steps) {
  return Masks(steps, 0x3FFF);
}

TEST(LedPattern, TwelveStepsASecondLitWhereLoudLevelsCount) {
  // Amplitude 10 everywhere but in the start of step 0: every threshold is 10, and step 0
  // counts a level only when more than half of its 666 samples reach it.
  const auto loudAfter = [](std::size_t silent) {
    platform::Bytes samples(8000, 138);
    std::fill_n(samples.begin(), silent, 128);
    return samples;
  };
  Masks quietStart = lit(12);
  quietStart[0] = 0;
  const struct {
    const char* name;
    platform::Bytes samples;
    Masks masks;
  } rows[] = {
      {"655 samples", testing_support::silence(655), {}},
      {"656 samples", testing_support::silence(656), lit(1)},
      {"7989 samples", testing_support::silence(7989), lit(12)},
      {"steady 200", platform::Bytes(8000, 200), lit(12)},
      {"333 of 666 loud", loudAfter(333), quietStart},
      {"334 of 666 loud", loudAfter(332), lit(12)},
  };
  for (const auto& row : rows)
    EXPECT_EQ(velk_mur::computeLedMasks(row.samples), row.masks) << row.name;
}

TEST(LedFile, DeltaTimesUseOneToFourBytesAndRefuseMore) {
  const std::pair<std::uint32_t, platform::Bytes> cases[] = {
      {0, {0x00}},
      {128, {0x81, 0x00}},
      {16383, {0xFF, 0x7F}},
      {16384, {0x81, 0x80, 0x00}},
      {2097152, {0x81, 0x80, 0x80, 0x00}},
  };
  for (const auto& [ticks, bytes] : cases) {
    EXPECT_EQ(generate_tests::written([&](auto& s) { return velk_mur::writeDeltaTime(s, ticks); }),
              bytes)
        << ticks;
  }
  platform::Bytes refused;
  EXPECT_FALSE(velk_mur::writeDeltaTime(refused, 0x10000000));
}

TEST(LedFile, EveryWrittenFileIsWellFormedMidiReplayingItsMasks) {
  for (std::size_t length : {0, 655, 7988, 8000, 40000}) {
    platform::Bytes samples(length);
    std::uint32_t seed = 12345;
    for (auto& s : samples) {
      seed = seed * 1103515245u + 12345u;
      s = static_cast<std::uint8_t>(128 + static_cast<int>((seed >> 16) % 64) - 32);
    }
    const auto masks = velk_mur::computeLedMasks(samples);
    const auto events = ledEvents(masks);
    // Replaying the events gives back each step's mask, and everything is out at the end.
    std::uint32_t lit = 0;
    std::size_t next = 0;
    for (std::size_t step = 0; step <= masks.size(); ++step) {
      for (; next < events.size() && events[next].tick == 40 * step; ++next) {
        const std::uint32_t bit = 1u << (events[next].note - 48);
        lit = events[next].velocity == 0x60 ? (lit | bit) : (lit & ~bit);
      }
      EXPECT_EQ(lit, step < masks.size() ? masks[step] : 0u) << length << " step " << step;
    }
    EXPECT_EQ(next, events.size());
  }
}

}  // namespace
