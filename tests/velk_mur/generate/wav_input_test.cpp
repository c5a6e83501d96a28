#include "velk_mur/generate/wav_input.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/support/gen_wav_maker.h"
#include "tests/support/temp_tree.h"

using testing_support::makeChunk;
using testing_support::makeWav;
using testing_support::WavOptions;
using velk_mur::WavCheck;
using velk_mur::WavHeaderInfo;

namespace {

struct HeaderCase {
  const char* behaviour;
  std::function<platform::Bytes()> make;
  WavCheck expected;
};

platform::Bytes withBytes(platform::Bytes file, std::size_t at, platform::Bytes replacement) {
  std::copy(replacement.begin(), replacement.end(), file.begin() + static_cast<std::ptrdiff_t>(at));
  return file;
}

WavOptions options(std::function<void(WavOptions&)> change) {
  WavOptions o;
  change(o);
  return o;
}

const platform::Bytes kSamples(100, 128);

const HeaderCase kHeaderCases[] = {
    {"GoodSixteenByteFmt", [] { return makeWav(kSamples); }, WavCheck::Good},
    {"GoodEighteenByteFmt", [] { return makeWav(kSamples, options([](WavOptions& o) { o.fmtSize = 18; })); },
     WavCheck::Good},
    {"EmptyDataChunkIsGood", [] { return makeWav({}, options([](WavOptions& o) { o.fmtSize = 18; })); },
     WavCheck::Good},
    {"FortyFourBytesIsWrongFormat", [] { return makeWav({}); }, WavCheck::WrongFormat},
    {"FortyFiveBytesIsWrongFormat", [] { return makeWav({128}); }, WavCheck::WrongFormat},
    {"EmptyFileIsWrongFormat", [] { return platform::Bytes{}; }, WavCheck::WrongFormat},
    {"RifxIsWrongFormat", [] { return withBytes(makeWav(kSamples), 0, {'R', 'I', 'F', 'X'}); },
     WavCheck::WrongFormat},
    {"NotWaveIsWrongFormat", [] { return withBytes(makeWav(kSamples), 8, {'A', 'V', 'I', ' '}); },
     WavCheck::WrongFormat},
    {"TextFileIsWrongFormat", [] { return platform::Bytes(200, 'x'); }, WavCheck::WrongFormat},
    {"ShortFileIsWrongFormatBeforeMagicTest", [] { return platform::Bytes(45, 'x'); },
     WavCheck::WrongFormat},
    {"MissingFmtIsExtraInformation", [] { return withBytes(makeWav(kSamples), 12, {'L', 'I', 'S', 'T'}); },
     WavCheck::ExtraInformation},
    {"FmtSizeWithHighBytesAfterSixteenIsExtraInformation",
     [] { return withBytes(makeWav(kSamples), 16, {0x10, 0x01, 0x00, 0x00}); },
     WavCheck::ExtraInformation},
    {"FmtSizeHighBytesAfterEighteenAreIgnored",
     [] {
       return withBytes(makeWav(kSamples, options([](WavOptions& o) { o.fmtSize = 18; })), 16,
                        {0x12, 0x01, 0x00, 0x00});
     },
     WavCheck::Good},
    {"FmtSizeTwentyIsExtraInformation", [] { return withBytes(makeWav(kSamples), 16, {20}); },
     WavCheck::ExtraInformation},
    {"ListChunkIsExtraInformation",
     [] { return makeWav(kSamples, options([](WavOptions& o) { o.extraChunk = makeChunk("LIST", 26); })); },
     WavCheck::ExtraInformation},
    {"FactChunkIsExtraInformation",
     [] {
       return makeWav(kSamples, options([](WavOptions& o) {
                        o.fmtSize = 18;
                        o.extraChunk = makeChunk("fact", 4);
                      }));
     },
     WavCheck::ExtraInformation},
    {"LayoutTestsComeBeforeFormatTests",
     [] {
       return makeWav(kSamples, options([](WavOptions& o) {
                        o.channels = 2;
                        o.extraChunk = makeChunk("LIST", 26);
                      }));
     },
     WavCheck::ExtraInformation},
    {"SixteenBitIsWrongFormat", [] { return makeWav(kSamples, options([](WavOptions& o) { o.bitsPerSample = 16; })); },
     WavCheck::WrongFormat},
    {"StereoIsWrongFormat", [] { return makeWav(kSamples, options([](WavOptions& o) { o.channels = 2; })); },
     WavCheck::WrongFormat},
    {"Rate11025IsWrongFormat", [] { return makeWav(kSamples, options([](WavOptions& o) { o.sampleRate = 11025; })); },
     WavCheck::WrongFormat},
    {"Rate22050IsWrongFormat", [] { return makeWav(kSamples, options([](WavOptions& o) { o.sampleRate = 22050; })); },
     WavCheck::WrongFormat},
    {"FloatTagIsWrongFormat", [] { return makeWav(kSamples, options([](WavOptions& o) { o.formatTag = 3; })); },
     WavCheck::WrongFormat},
    {"AdpcmTagIsWrongFormat", [] { return makeWav(kSamples, options([](WavOptions& o) { o.formatTag = 2; })); },
     WavCheck::WrongFormat},
    {"ByteRateAndAlignmentAreNotExamined",
     [] { return withBytes(makeWav(kSamples), 28, {0xFF, 0xFF, 0xFF, 0xFF, 0x07, 0x00}); }, WavCheck::Good},
};

class HeaderReader : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderReader, ClassifiesFile) {
  testing_support::TempDir dir;
  const auto path = dir / "clip.wav";
  testing_support::writeFile(path, GetParam().make());
  WavHeaderInfo info;
  EXPECT_EQ(velk_mur::readWavHeader(path, info), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, HeaderReader, ::testing::ValuesIn(kHeaderCases),
                         [](const auto& info) { return std::string(info.param.behaviour); });

TEST(HeaderReader, MissingFileIsUnreadable) {
  testing_support::TempDir dir;
  WavHeaderInfo info;
  EXPECT_EQ(velk_mur::readWavHeader(dir / "absent.wav", info), WavCheck::Unreadable);
}

TEST(HeaderReader, FolderIsUnreadable) {
  testing_support::TempDir dir;
  std::filesystem::create_directory(dir / "folder.wav");
  WavHeaderInfo info;
  EXPECT_EQ(velk_mur::readWavHeader(dir / "folder.wav", info), WavCheck::Unreadable);
}

TEST(HeaderReader, GoodHeaderReportsLayoutAndLength) {
  WavHeaderInfo info;
  const platform::Bytes file = makeWav(kSamples);
  ASSERT_EQ(velk_mur::checkWavHeader(file, info), WavCheck::Good);
  EXPECT_EQ(info.dataOffset, 44u);
  EXPECT_EQ(info.dataLength, 100u);
  EXPECT_TRUE(std::equal(info.formatBlock.begin(), info.formatBlock.end(), file.begin() + 20));

  const platform::Bytes longFmt = makeWav(kSamples, options([](WavOptions& o) {
                                            o.fmtSize = 18;
                                            o.dataLength = 0xFFFFFFF0u;
                                          }));
  ASSERT_EQ(velk_mur::checkWavHeader(longFmt, info), WavCheck::Good);
  EXPECT_EQ(info.dataOffset, 46u);
  EXPECT_EQ(info.dataLength, 0xFFFFFFF0u);
}

struct NameCase {
  const char* name;
  bool valid;
};

class ClipNameRule : public ::testing::TestWithParam<NameCase> {};

TEST_P(ClipNameRule, AcceptsOnlyLetterThenLettersDigitsUnderscores) {
  EXPECT_EQ(velk_mur::isValidClipName(GetParam().name), GetParam().valid) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClipNameRule,
    ::testing::Values(NameCase{"hello", true}, NameCase{"Hello_2", true}, NameCase{"a", true},
                      NameCase{"x__", true}, NameCase{"Z9", true}, NameCase{"2hello", false},
                      NameCase{"_hello", false}, NameCase{"hello-2", false},
                      NameCase{"hel lo", false}, NameCase{" hello", false},
                      NameCase{"h\xC3\xA9llo", false}, NameCase{"\xC3\xA9t\xC3\xA9", false},
                      NameCase{"", false}, NameCase{"hello.", false}, NameCase{"a@b", false},
                      NameCase{"a[b", false}, NameCase{"a`b", false}, NameCase{"a{b", false}));

class ClipLoader : public ::testing::Test {
 protected:
  velk_mur::ClipLoadResult load(const platform::Bytes& file) {
    const auto path = dir_ / "clip.wav";
    testing_support::writeFile(path, file);
    WavHeaderInfo info;
    EXPECT_EQ(velk_mur::readWavHeader(path, info), WavCheck::Good);
    return velk_mur::loadClipSamples(path, info);
  }
  testing_support::TempDir dir_;
};

TEST_F(ClipLoader, LoadsExactlyTheDataFromEitherLayout) {
  platform::Bytes samples;
  for (int i = 0; i < 300; ++i) samples.push_back(static_cast<std::uint8_t>(i));
  const auto shortFmt = load(makeWav(samples));
  ASSERT_EQ(shortFmt.status, velk_mur::ClipLoadStatus::Loaded);
  EXPECT_EQ(shortFmt.clip.samples, samples);
  const auto longFmt = load(makeWav(samples, options([](WavOptions& o) { o.fmtSize = 18; })));
  ASSERT_EQ(longFmt.status, velk_mur::ClipLoadStatus::Loaded);
  EXPECT_EQ(longFmt.clip.samples, samples);
}

TEST_F(ClipLoader, TrailingBytesAfterTheDataAreIgnored) {
  platform::Bytes file = makeWav(kSamples);
  file.push_back(7);
  const auto result = load(file);
  ASSERT_EQ(result.status, velk_mur::ClipLoadStatus::Loaded);
  EXPECT_EQ(result.clip.samples, kSamples);
}

TEST_F(ClipLoader, ZeroLengthIsReadError) {
  const auto result = load(makeWav({}, options([](WavOptions& o) { o.fmtSize = 18; })));
  EXPECT_EQ(result.status, velk_mur::ClipLoadStatus::ReadError);
  EXPECT_TRUE(result.clip.samples.empty());
}

TEST_F(ClipLoader, LengthBeyondTheFileIsReadError) {
  const auto result = load(makeWav(kSamples, options([](WavOptions& o) { o.dataLength = 101; })));
  EXPECT_EQ(result.status, velk_mur::ClipLoadStatus::ReadError);
  EXPECT_TRUE(result.clip.samples.empty());
}

TEST_F(ClipLoader, HugeAnnouncedLengthIsReadErrorWithoutAllocating) {
  // Under the sanitizers a 4 GB allocation would abort the test; the size check comes first.
  const auto result = load(makeWav(kSamples, options([](WavOptions& o) { o.dataLength = 0xFFFFFFFFu; })));
  EXPECT_EQ(result.status, velk_mur::ClipLoadStatus::ReadError);
}

TEST_F(ClipLoader, MissingFileIsMissing) {
  WavHeaderInfo info;
  info.dataOffset = 44;
  info.dataLength = 10;
  EXPECT_EQ(velk_mur::loadClipSamples(dir_ / "gone.wav", info).status,
            velk_mur::ClipLoadStatus::Missing);
}

}  // namespace
