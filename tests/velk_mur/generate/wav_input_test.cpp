#include "velk_mur/generate/wav_input.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/gen_wav_maker.h"
#include "tests/support/temp_tree.h"

using testing_support::makeChunk;
using testing_support::makeWav;
using testing_support::WavOptions;
using velk_mur::ClipLoadStatus;
using velk_mur::WavCheck;
using velk_mur::WavHeaderInfo;

// Designated initializers name only the recording options a case changes; the rest keep their
// defaults on purpose.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

platform::Bytes wav(const WavOptions& options,
                    const platform::Bytes& samples = platform::Bytes(100, 128)) {
  return makeWav(samples, options);
}

platform::Bytes patched(platform::Bytes file, std::size_t at, const platform::Bytes& bytes) {
  std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<std::ptrdiff_t>(at));
  return file;
}

const auto kGood = WavCheck::Good;
const auto kWrong = WavCheck::WrongFormat;
const auto kExtra = WavCheck::ExtraInformation;
const auto kLoaded = ClipLoadStatus::Loaded;
const auto kReadError = ClipLoadStatus::ReadError;

// The samples of a good file are loaded when the file holds them; the recording fuzz target
// checks over its corpus that they are exactly the announced bytes.
TEST(WavInput, ClassifiesHeadersAndLoadsOnlyALengthTheFileHolds) {
  const struct {
    const char* behaviour;
    platform::Bytes file;
    WavCheck expected;
    std::uint32_t dataOffset = 0;  // when good
    ClipLoadStatus load = kReadError;
  } rows[] = {
      {"sixteen-byte fmt", wav({}), kGood, 44, kLoaded},
      {"eighteen-byte fmt, empty data", wav({.fmtSize = 18}, {}), kGood, 46, kReadError},
      {"45 bytes", wav({}, {128}), kWrong},
      {"not RIFF", patched(wav({}), 0, {'R', 'I', 'F', 'X'}), kWrong},
      {"not WAVE", patched(wav({}), 8, {'A', 'V', 'I', ' '}), kWrong},
      {"high fmt size bytes after 16", patched(wav({}), 16, {16, 1, 0, 0}), kExtra},
      {"high fmt size bytes after 18 ignored", patched(wav({.fmtSize = 18}), 16, {18, 1, 0, 0}),
       kGood, 46, kLoaded},
      {"no fmt", patched(wav({}), 12, {'L', 'I', 'S', 'T'}), kExtra},
      {"fmt size 20", patched(wav({}), 16, {20}), kExtra},
      {"chunk before data", wav({.fmtSize = 18, .extraChunk = makeChunk("fact", 4)}), kExtra},
      {"layout before format", wav({.channels = 2, .extraChunk = makeChunk("LIST", 26)}), kExtra},
      {"16-bit", wav({.bitsPerSample = 16}), kWrong},
      {"stereo", wav({.channels = 2}), kWrong},
      {"11025 Hz", wav({.sampleRate = 11025}), kWrong},
      {"not PCM", wav({.formatTag = 3}), kWrong},
      {"byte rate and alignment not examined", patched(wav({}), 28, {255, 255, 255, 255, 7, 0}),
       kGood, 44, kLoaded},
      {"bytes after the data ignored", wav({.dataLength = 99}), kGood, 44, kLoaded},
      {"data length beyond the file", wav({.dataLength = 101}), kGood, 44, kReadError},
      // Under the sanitizers a 4 GB allocation would abort the test; the size check comes first.
      {"huge data length, nothing allocated", wav({.dataLength = ~0u}), kGood, 44, kReadError},
  };
  testing_support::TempDir dir;
  WavHeaderInfo info;
  for (const auto& row : rows) {
    testing_support::writeFile(dir / "clip.wav", row.file);
    EXPECT_EQ(velk_mur::readWavHeader(dir / "clip.wav", info), row.expected) << row.behaviour;
    if (row.expected != kGood) continue;
    EXPECT_EQ(info.dataOffset, row.dataOffset) << row.behaviour;
    EXPECT_TRUE(
        std::equal(info.formatBlock.begin(), info.formatBlock.end(), row.file.begin() + 20));
    const auto loaded = velk_mur::loadClipSamples(dir / "clip.wav", info);
    EXPECT_EQ(loaded.status, row.load) << row.behaviour;
    EXPECT_EQ(platform::Bytes(loaded.clip.samples.begin(), loaded.clip.samples.end()),
              platform::Bytes(row.load == kLoaded ? info.dataLength : 0, 128))
        << row.behaviour;
  }
  EXPECT_EQ(velk_mur::loadClipSamples(dir / "gone.wav", info).status, ClipLoadStatus::Missing);
  std::filesystem::create_directory(dir / "folder.wav");
  EXPECT_EQ(velk_mur::readWavHeader(dir / "absent.wav", info), WavCheck::Unreadable);
  EXPECT_EQ(velk_mur::readWavHeader(dir / "folder.wav", info), WavCheck::Unreadable);
}

TEST(ClipNameRule, AcceptsOnlyLetterThenLettersDigitsUnderscores) {
  for (const char* name : {"Hello_2", "a", "Z9"}) {
    EXPECT_TRUE(velk_mur::isValidClipName(name)) << name;
  }
  for (const char* name :
       {"2hello", "_hello", "hello-2", "h\xC3\xA9llo", "", "a@b", "a[b", "a`b", "a{b"}) {
    EXPECT_FALSE(velk_mur::isValidClipName(name)) << name;
  }
}

}  // namespace
