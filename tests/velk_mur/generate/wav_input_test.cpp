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

const platform::Bytes kSamples(100, 128);

platform::Bytes wav(const WavOptions& options, const platform::Bytes& samples = kSamples) {
  return makeWav(samples, options);
}

platform::Bytes patched(platform::Bytes file, std::size_t at, const platform::Bytes& bytes) {
  std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<std::ptrdiff_t>(at));
  return file;
}

struct HeaderCase {
  const char* behaviour;
  platform::Bytes file;
  WavCheck expected;
};

const auto kGood = WavCheck::Good;
const auto kWrong = WavCheck::WrongFormat;
const auto kExtra = WavCheck::ExtraInformation;

const HeaderCase kHeaderCases[] = {
    {"GoodSixteenByteFmt", wav({}), kGood},
    {"GoodEighteenByteFmt", wav({.fmtSize = 18}), kGood},
    {"EmptyDataChunkIsGood", wav({.fmtSize = 18}, {}), kGood},
    {"FortyFourBytesIsWrongFormat", wav({}, {}), kWrong},
    {"FortyFiveBytesIsWrongFormat", wav({}, {128}), kWrong},
    {"EmptyFileIsWrongFormat", {}, kWrong},
    {"RifxIsWrongFormat", patched(wav({}), 0, {'R', 'I', 'F', 'X'}), kWrong},
    {"NotWaveIsWrongFormat", patched(wav({}), 8, {'A', 'V', 'I', ' '}), kWrong},
    {"TextFileIsWrongFormat", platform::Bytes(200, 'x'), kWrong},
    {"ShortFileIsWrongFormatBeforeMagicTest", platform::Bytes(45, 'x'), kWrong},
    {"MissingFmtIsExtraInformation", patched(wav({}), 12, {'L', 'I', 'S', 'T'}), kExtra},
    {"FmtSizeWithHighBytesAfterSixteenIsExtraInformation", patched(wav({}), 16, {16, 1, 0, 0}),
     kExtra},
    {"FmtSizeHighBytesAfterEighteenAreIgnored", patched(wav({.fmtSize = 18}), 16, {18, 1, 0, 0}),
     kGood},
    {"FmtSizeTwentyIsExtraInformation", patched(wav({}), 16, {20}), kExtra},
    {"ListChunkIsExtraInformation", wav({.extraChunk = makeChunk("LIST", 26)}), kExtra},
    {"FactChunkIsExtraInformation", wav({.fmtSize = 18, .extraChunk = makeChunk("fact", 4)}),
     kExtra},
    {"LayoutTestsComeBeforeFormatTests", wav({.channels = 2, .extraChunk = makeChunk("LIST", 26)}),
     kExtra},
    {"SixteenBitIsWrongFormat", wav({.bitsPerSample = 16}), kWrong},
    {"StereoIsWrongFormat", wav({.channels = 2}), kWrong},
    {"Rate11025IsWrongFormat", wav({.sampleRate = 11025}), kWrong},
    {"Rate22050IsWrongFormat", wav({.sampleRate = 22050}), kWrong},
    {"FloatTagIsWrongFormat", wav({.formatTag = 3}), kWrong},
    {"AdpcmTagIsWrongFormat", wav({.formatTag = 2}), kWrong},
    {"ByteRateAndAlignmentAreNotExamined", patched(wav({}), 28, {255, 255, 255, 255, 7, 0}), kGood},
};

class HeaderReader : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderReader, ClassifiesFile) {
  testing_support::TempDir dir;
  testing_support::writeFile(dir / "clip.wav", GetParam().file);
  WavHeaderInfo info;
  EXPECT_EQ(velk_mur::readWavHeader(dir / "clip.wav", info), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, HeaderReader, ::testing::ValuesIn(kHeaderCases),
                         [](const auto& info) { return std::string(info.param.behaviour); });

TEST(HeaderReader, MissingFileAndFolderAreUnreadable) {
  testing_support::TempDir dir;
  std::filesystem::create_directory(dir / "folder.wav");
  WavHeaderInfo info;
  EXPECT_EQ(velk_mur::readWavHeader(dir / "absent.wav", info), WavCheck::Unreadable);
  EXPECT_EQ(velk_mur::readWavHeader(dir / "folder.wav", info), WavCheck::Unreadable);
}

TEST(HeaderReader, GoodHeaderReportsLayoutAndLength) {
  WavHeaderInfo info;
  const platform::Bytes file = wav({});
  ASSERT_EQ(velk_mur::checkWavHeader(file, info), WavCheck::Good);
  EXPECT_EQ(info.dataOffset, 44u);
  EXPECT_EQ(info.dataLength, 100u);
  EXPECT_TRUE(std::equal(info.formatBlock.begin(), info.formatBlock.end(), file.begin() + 20));

  ASSERT_EQ(velk_mur::checkWavHeader(wav({.fmtSize = 18, .dataLength = 0xFFFFFFF0u}), info),
            WavCheck::Good);
  EXPECT_EQ(info.dataOffset, 46u);
  EXPECT_EQ(info.dataLength, 0xFFFFFFF0u);
}

TEST(ClipNameRule, AcceptsOnlyLetterThenLettersDigitsUnderscores) {
  for (const char* name : {"hello", "Hello_2", "a", "x__", "Z9"}) {
    EXPECT_TRUE(velk_mur::isValidClipName(name)) << name;
  }
  for (const char* name : {"2hello", "_hello", "hello-2", "hel lo", " hello", "h\xC3\xA9llo",
                           "\xC3\xA9t\xC3\xA9", "", "hello.", "a@b", "a[b", "a`b", "a{b"}) {
    EXPECT_FALSE(velk_mur::isValidClipName(name)) << name;
  }
}

TEST(ClipLoader, LoadsExactlyTheAnnouncedDataOrReportsAReadError) {
  platform::Bytes counting;
  for (int i = 0; i < 300; ++i) counting.push_back(static_cast<std::uint8_t>(i));
  platform::Bytes trailing = wav({});
  trailing.push_back(7);
  struct Case {
    const char* behaviour;
    platform::Bytes file;
    ClipLoadStatus status;
    platform::Bytes samples;  // empty unless loaded
  };
  const Case cases[] = {
      {"sixteen-byte fmt", wav({}, counting), ClipLoadStatus::Loaded, counting},
      {"eighteen-byte fmt", wav({.fmtSize = 18}, counting), ClipLoadStatus::Loaded, counting},
      {"trailing bytes ignored", trailing, ClipLoadStatus::Loaded, kSamples},
      {"zero length", wav({.fmtSize = 18}, {}), ClipLoadStatus::ReadError, {}},
      {"length beyond the file", wav({.dataLength = 101}), ClipLoadStatus::ReadError, {}},
      // Under the sanitizers a 4 GB allocation would abort the test; the size check comes first.
      {"huge length, nothing allocated",
       wav({.dataLength = 0xFFFFFFFFu}),
       ClipLoadStatus::ReadError,
       {}},
  };
  testing_support::TempDir dir;
  for (const Case& c : cases) {
    testing_support::writeFile(dir / "clip.wav", c.file);
    WavHeaderInfo info;
    ASSERT_EQ(velk_mur::readWavHeader(dir / "clip.wav", info), WavCheck::Good) << c.behaviour;
    const auto result = velk_mur::loadClipSamples(dir / "clip.wav", info);
    EXPECT_EQ(result.status, c.status) << c.behaviour;
    EXPECT_EQ(platform::Bytes(result.clip.samples.begin(), result.clip.samples.end()), c.samples)
        << c.behaviour;
  }
  WavHeaderInfo info;
  info.dataOffset = 44;
  info.dataLength = 10;
  EXPECT_EQ(velk_mur::loadClipSamples(dir / "gone.wav", info).status, ClipLoadStatus::Missing);
}

}  // namespace
