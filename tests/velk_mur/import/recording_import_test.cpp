// Refusals and replacing, every format and file name among bad files, and speech.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "platform/path_text.h"
#include "tests/support/file_faults.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/temp_tree.h"
#include "tests/velk_mur/import/audio_fixtures.h"
#include "velk_mur/generate/wav_input.h"
#include "velk_mur/import/recording_import.h"
#include "velk_mur/import_module/import_commands.h"

namespace fs = std::filesystem;

namespace velk_mur {
namespace {

// The folder's file names, sorted, separated by blanks.
std::string listing(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    names.insert(fs::relative(entry.path(), folder).generic_string());
  }
  std::string text;
  for (const auto& name : names) text += (text.empty() ? "" : " ") + name;
  return text;
}

// A name taken is refused unless replacing was asked for; a failed write keeps the old file
// and its generated files.
TEST(SaveRecording, RefusesBadAndTakenNamesAndReplacesOnlyWhenAsked) {
  using enum ExistingRecording;
  const std::string taken = "A recording named Hello is in the audio folder already";
  const std::string old = "GEN GEN/Hello.led GEN/Hello_h7.mtn GEN/Hello_m.mtn Hello.wav";
  const struct {
    std::string name;
    ExistingRecording existing;
    bool answer;          // to the question, when asked
    std::string message;  // the start of the one message shown, if any
    std::string after;
    bool writeFails = false;
  } cases[] = {
      {"bye", Refuse, false, "", old + " bye.wav"},
      {"hello", Refuse, false, taken + "\nImport with --replace to replace it", old},
      {"HELLO", Ask, false, taken + "\nReplace it?", old},
      {"HELLO", Ask, true, taken + "\nReplace it?", "GEN Hello.wav"},
      {"hello", Replace, false, "", "GEN Hello.wav"},
      {"hello", Replace, false, "Cannot write the recording\n", old, true},
      {"2go", Replace, false,
       "Cannot use the name 2go\nA recording's name starts with a letter, holds only letters, "
       "digits and '_', and is 2 to 89 characters long",
       old},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name + c.message);
    testing_support::TempDir dir;
    for (const char* file : {"Hello.wav", "GEN/Hello_h7.mtn", "GEN/Hello_m.mtn", "GEN/Hello.led"}) {
      testing_support::writeTextFile(dir / file, "old");
    }
    platform::RecordingMessenger messenger;
    messenger.queueAnswer(c.answer);
    std::optional<platform::ScopedFault> fault;
    if (c.writeFails) fault.emplace(1, std::initializer_list{platform::FileOp::Write});
    const auto saved = saveRecording(MonoSound(8000, 0.25F), "test", dir.path(), c.name,
                                     {.conversion = {}, .existing = c.existing}, messenger);
    fault.reset();
    const std::vector<std::string> texts = messenger.texts();
    EXPECT_EQ(texts.size(), c.message.empty() ? 0u : 1u);
    EXPECT_TRUE(texts.empty() || texts[0].starts_with(c.message)) << texts[0];
    EXPECT_EQ(listing(dir.path()), c.after);
    const bool replaced = c.after == "GEN Hello.wav" && !c.writeFails;
    EXPECT_EQ(saved.has_value(), replaced || c.name == "bye");
    EXPECT_EQ(testing_support::readTextFile(dir / "Hello.wav") != "old", replaced);
    if (replaced && saved) {
      EXPECT_EQ(saved->name, "Hello");  // the name as the folder lists it
    }
  }
}

// Every common format, under names that must be made valid, among files that cannot be read:
// the bad ones are named and leave nothing behind, the good ones become recordings the check
// pass accepts, named after their files.
TEST(ImportCommand, ImportsEveryCommonFormatUnderAValidNameAndNamesTheBadFiles) {
  testing_support::TempDir dir;
  const fs::path audio = dir / "audio";
  fs::create_directories(audio);
  testing_support::writeTextFile(dir / "garbage.mp3", std::string(5000, '?'));
  testing_support::writeTextFile(dir / "empty.m4a", "");
  std::vector<std::string> files = {(dir / "garbage.mp3").string(), (dir / "empty.m4a").string(),
                                    (dir / "missing.mp3").string()};
  const std::string longStem(120, 'w');
  // The format, its label the file's name, and the recording's name.
  const std::pair<testing_support::AudioFormat, std::string> formats[] = {
      {{"hello", "wav", "pcm_u8", "wav", 11025, 1}, "hello"},
      {{"Voice Memo 2024-05-01", "wav", "pcm_s24le", "wav", 48000, 2}, "Voice_Memo_2024_05_01"},
      {{"01_hello", "wav", "pcm_f32le", "wav", 22050, 1}, "x01_hello"},
      {{"a", "wav", "pcm_u8", "wav", 8000, 1}, "a_"},
      {{"Caf\u00e9 cr\u00e8me br\u00fbl\u00e9e", "mp3", "libmp3lame", "mp3", 44100, 2},
       "Cafe_creme_brulee"},
      {{"Stra\u00dfe \u0141\u00f3d\u017a \u00c6sir", "ipod", "aac", "m4a", 44100, 2},
       "Strasse_Lodz_AEsir"},
      {{"\u65e5\u672c\u8a9e", "flac", "flac", "flac", 48000, 2}, "x_"},
      {{longStem.c_str(), "ogg", "libopus", "opus", 48000, 2}, std::string(89, 'w')},
      {{"floats", "aiff", "pcm_f32be", "aifc", 16000, 1}, "floats"},
      {{"concert", "matroska", "flac", "mka", 44100, 2}, "concert"}};
  std::set<std::string> names;
  for (const auto& [format, name] : formats) {
    const fs::path file =
        dir / platform::textToPath(std::string(format.label) + "." + format.extension);
    files.push_back(platform::pathToText(file));
    ASSERT_TRUE(
        testing_support::writeAudioFile(file, format, testing_support::tone(440, 0.3), 1.0));
    names.insert(name + ".wav");
  }
  platform::RecordingMessenger messenger;
  EXPECT_FALSE(runImport(files, std::nullopt, {}, audio.string(), messenger).ok);
  const auto& entries = messenger.entries();
  ASSERT_EQ(entries.size(), 4u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_TRUE(entries[i].isError && entries[i].text.starts_with("Cannot import " + files[i]));
  }
  const std::string& report = entries[3].text;
  EXPECT_FALSE(entries[3].isError);
  EXPECT_TRUE(report.ends_with("\n3 of 13 files could not be imported\n(0.08MB Audio)")) << report;
  for (std::size_t i = 3; i < files.size(); ++i) {
    const std::string& name = formats[i - 3].second;
    WavHeaderInfo info;
    ASSERT_EQ(readWavHeader(audio / (name + ".wav"), info), WavCheck::Good) << name;
    EXPECT_EQ(loadClipSamples(audio / (name + ".wav"), info).status, ClipLoadStatus::Loaded);
    // Encoders add up to a few frames of padding.
    EXPECT_NEAR(info.dataLength / 8000.0, 1.0, 0.1) << name;
    char seconds[16];
    std::snprintf(seconds, sizeof seconds, "%.2f", info.dataLength / 8000.0);
    EXPECT_NE(report.find(name + " (" + seconds + " s) from " + files[i] + "\n"), std::string::npos)
        << report;
  }
  std::string expected;
  for (const std::string& name : names) expected += (expected.empty() ? "" : " ") + name;
  EXPECT_EQ(listing(audio), expected);
}

TEST(Say, SpeaksASentenceAtAPlausibleLengthAndNamesAMissingVoice) {
  testing_support::TempDir dir;
  platform::RecordingMessenger messenger;
  ASSERT_TRUE(runSay("Hello, I am your robot dog. Shall we play?", "greeting", {}, {},
                     dir.path().string(), messenger)
                  .ok);
  WavHeaderInfo info;
  ASSERT_EQ(readWavHeader(dir / "greeting.wav", info), WavCheck::Good);
  EXPECT_GT(info.dataLength, 1.5 * 8000);
  EXPECT_LT(info.dataLength, 6.0 * 8000);

  messenger.clear();
  EXPECT_FALSE(
      runSay("Hello", "other", {.voice = "no-such-voice"}, {}, dir.path().string(), messenger).ok);
  EXPECT_EQ(messenger.texts(),
            std::vector<std::string>{"Cannot speak the text\nno voice 'no-such-voice' "
                                     "(velk_mur say --list-voices lists them)"});
  EXPECT_FALSE(fs::exists(dir / "other.wav"));
}

TEST(Say, ListsTheInstalledVoicesByLanguageIdentifierAndName) {
  platform::RecordingMessenger messenger;
  ASSERT_TRUE(listVoices(messenger).ok);
  ASSERT_EQ(messenger.texts().size(), 1u);
  EXPECT_NE(messenger.texts()[0].find("\nen-us  gmw/en-US  English (America)\n"),
            std::string::npos);
}

}  // namespace
}  // namespace velk_mur
