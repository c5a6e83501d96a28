#include <gtest/gtest.h>

#include <vector>

#include "tests/support/gen_wav_maker.h"
#include "tests/velk_mur/generate/file_structure.h"
#include "velk_mur/generate/led_file.h"
#include "velk_mur/generate/src/led_pattern.h"

using Masks = std::vector<std::uint32_t>;
using platform::Bytes;

namespace {

// The whole file around the given note events, track length included.
Bytes expectedFile(const Bytes& events) {
  const std::string start(
      "MThd\0\0\0\x06\0\0\0\x01\0\x78MTrk\0\0\0\0"  // track length at 18
      "\0\xFF\x03\x08Velk_Mur\0\xFF\x51\x03\x03\xD0\x90\0\xFF\x58\x04\x04\x02\x18\x08",
      49);
  Bytes file(start.begin(), start.end());
  file.insert(file.end(), events.begin(), events.end());
  file.insert(file.end(), {0x00, 0xFF, 0x2F, 0x00});
  file[21] = static_cast<std::uint8_t>(file.size() - 22);  // every file here is short
  return file;
}

TEST(LedFile, WritesTheExactFileForEachStepSequence) {
  const struct {
    Masks masks;
    Bytes events;
  } cases[] = {
      {{}, {}},  // 53 bytes
      {{0x0800, 0x0C00, 0x0C00, 0x0000},
       {0x00, 0x90, 0x3B, 0x60, 0x28, 0x90, 0x3A, 0x60, 0x50, 0x90, 0x3A, 0x00, 0x00, 0x90, 0x3B,
        0x00}},  // 69 bytes
      // A step with an LED going out and one coming on: ascending bits, each with its status.
      {{0x0001, 0x0002},
       {0x00, 0x90, 0x30, 0x60, 0x28, 0x90, 0x30, 0x00, 0x00, 0x90, 0x31, 0x60, 0x28, 0x90, 0x31,
        0x00}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(
        generate_tests::written([&](auto& sink) { return velk_mur::writeLedFile(sink, c.masks); }),
        expectedFile(c.events));
  }
}

TEST(LedPattern, TwelveStepsASecondLitWhereLoudLevelsCount) {
  // Amplitude 10 everywhere but in the start of step 0: every threshold is 10, and step 0
  // counts a level only when more than half of its 666 samples reach it.
  const auto loudAfter = [](std::size_t silent, std::size_t length = 8000) {
    Bytes samples(length, 138);
    std::fill_n(samples.begin(), silent, 128);
    return samples;
  };
  const Masks lit(12, 0x3FFF);
  Masks hello(6, 0x0C3C);  // LEDs 0, 1 and 6 to 9 come on in the loud half
  hello.resize(12, 0x0FFF);
  Masks quietStart = lit;
  quietStart[0] = 0;
  const struct {
    const char* name;
    Bytes samples;
    Masks masks;
  } rows[] = {
      {"half silent, half loud", testing_support::halfSilentHalfLoud(), hello},
      {"655 samples", testing_support::silence(655), {}},
      {"656 samples", testing_support::silence(656), {0x3FFF}},
      {"7989 samples", testing_support::silence(7989), lit},
      {"steady 200", Bytes(8000, 200), lit},
      {"333 of 666 loud", loudAfter(333), quietStart},
      {"334 of 666 loud", loudAfter(332), lit},
      {"329 of 657 loud", loudAfter(328, 657), {0x3FFF}},  // one step, its count odd
  };
  for (const auto& row : rows)
    EXPECT_EQ(velk_mur::computeLedMasks(row.samples), row.masks) << row.name;
}

TEST(LedFile, DeltaTimesUseOneToFourBytesAndRefuseMore) {
  const std::pair<std::uint32_t, Bytes> cases[] = {
      {16383, {0xFF, 0x7F}}, {16384, {0x81, 0x80, 0x00}}, {0x0FFFFFFF, {0xFF, 0xFF, 0xFF, 0x7F}}};
  Bytes sink;
  for (const auto& [ticks, bytes] : cases) {
    sink.clear();
    EXPECT_TRUE(velk_mur::writeDeltaTime(sink, ticks));
    EXPECT_EQ(sink, bytes) << ticks;
  }
  EXPECT_FALSE(velk_mur::writeDeltaTime(sink, 0x10000000));
}

}  // namespace
