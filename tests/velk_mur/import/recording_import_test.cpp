// Names, refusals and replacing, bad files among good ones, and speech.
#include <gtest/gtest.h>

#include <set>

#include "tests/support/recording_messenger.h"
#include "tests/support/temp_tree.h"
#include "tests/velk_mur/import/audio_fixtures.h"
#include "velk_mur/app/src/import_commands.h"
#include "velk_mur/generate/wav_input.h"
#include "velk_mur/import/action_names.h"
#include "velk_mur/import/recording_import.h"

namespace fs = std::filesystem;

namespace velk_mur {
namespace {

constexpr testing_support::AudioFormat kMp3{"mp3", "mp3", "libmp3lame", "mp3", 44100, 2};

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

TEST(ActionNames, FileNamesBecomeValidActionNames) {
  const struct {
    std::string stem;
    std::string name;
  } cases[] = {
      {"hello", "hello"},
      {"Voice Memo 2024-05-01", "Voice_Memo_2024_05_01"},
      {"01_hello", "x01_hello"},
      {"Caf\u00e9 cr\u00e8me br\u00fbl\u00e9e", "Cafe_creme_brulee"},
      {"Stra\u00dfe \u0141\u00f3d\u017a \u00c6sir", "Strasse_Lodz_AEsir"},
      {"\u65e5\u672c\u8a9e", "x_"},
      {"a", "a_"},
      {std::string(120, 'w'), std::string(89, 'w')},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(actionNameFromStem(c.stem), c.name) << c.stem;
    EXPECT_TRUE(isUsableActionName(actionNameFromStem(c.stem))) << c.stem;
  }
}

TEST(SaveRecording, RefusesBadAndTakenNamesAndReplacesOnlyWhenAsked) {
  const MonoSound sound(8000, 0.25F);
  const std::string taken = "A recording named Hello is in the audio folder already";
  const struct {
    std::string name;
    ExistingRecording existing;
    bool answer;  // to the question, when asked
    bool saved;
    std::string message;
    std::string after;
  } cases[] = {
      {"bye", ExistingRecording::Refuse, false, true, "",
       "GEN GEN/Hello.led GEN/Hello_h7.mtn GEN/Hello_m.mtn Hello.wav bye.wav"},
      {"hello", ExistingRecording::Refuse, false, false,
       taken + "\nImport with --replace to replace it",
       "GEN GEN/Hello.led GEN/Hello_h7.mtn GEN/Hello_m.mtn Hello.wav"},
      {"HELLO", ExistingRecording::Ask, false, false, taken + "\nReplace it?",
       "GEN GEN/Hello.led GEN/Hello_h7.mtn GEN/Hello_m.mtn Hello.wav"},
      {"HELLO", ExistingRecording::Ask, true, true, taken + "\nReplace it?", "GEN Hello.wav"},
      {"hello", ExistingRecording::Replace, false, true, "", "GEN Hello.wav"},
      {"2go", ExistingRecording::Replace, false, false,
       "Cannot use the name 2go\nA recording's name starts with a letter, holds only letters, "
       "digits and '_', and is 2 to 89 characters long",
       "GEN GEN/Hello.led GEN/Hello_h7.mtn GEN/Hello_m.mtn Hello.wav"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing_support::TempDir dir;
    testing_support::writeTextFile(dir / "Hello.wav", "old");
    for (const char* generated : {"Hello_h7.mtn", "Hello_m.mtn", "Hello.led"}) {
      testing_support::writeTextFile(dir / "GEN" / generated, "old");
    }
    platform::RecordingMessenger messenger;
    messenger.queueAnswer(c.answer);
    const auto saved = saveRecording(sound, "test", dir.path(), c.name,
                                     {.conversion = {}, .existing = c.existing}, messenger);
    EXPECT_EQ(saved.has_value(), c.saved);
    EXPECT_EQ(messenger.texts(),
              c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message});
    EXPECT_EQ(listing(dir.path()), c.after);
    if (c.saved && c.existing != ExistingRecording::Refuse) {
      EXPECT_EQ(saved->name, "Hello");
      EXPECT_NE(testing_support::readTextFile(dir / "Hello.wav"), "old");
    }
  }
}

TEST(ImportCommand, BadFilesAreNamedAndTheGoodOnesImported) {
  testing_support::TempDir dir;
  const fs::path audio = dir / "audio";
  fs::create_directories(audio);
  ASSERT_TRUE(testing_support::writeAudioFile(dir / "good one.mp3", kMp3,
                                              testing_support::tone(440, 0.3), 1.0));
  ASSERT_TRUE(testing_support::writeAudioFile(dir / "later.flac",
                                              {"flac", "flac", "flac", "flac", 48000, 1},
                                              testing_support::tone(440, 0.3), 0.5));
  platform::Bytes garbage(5000);
  for (std::size_t i = 0; i < garbage.size(); ++i)
    garbage[i] = static_cast<std::uint8_t>(i * 7919 % 251);
  testing_support::writeFile(dir / "garbage.mp3", garbage);
  testing_support::writeFile(dir / "empty.m4a", {});

  const std::vector<std::string> files = {
      (dir / "garbage.mp3").string(), (dir / "good one.mp3").string(), (dir / "empty.m4a").string(),
      (dir / "missing.mp3").string(), (dir / "later.flac").string()};
  platform::RecordingMessenger messenger;
  const CommandResult result = runImport(files, std::nullopt, {}, audio.string(), messenger);
  EXPECT_FALSE(result.ok);
  const auto& entries = messenger.entries();
  ASSERT_EQ(entries.size(), 4u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_TRUE(entries[i].isError);
    EXPECT_TRUE(entries[i].text.starts_with("Cannot import " + files[i == 0 ? 0 : i + 1] + "\n"))
        << entries[i].text;
  }
  EXPECT_FALSE(entries[3].isError);
  EXPECT_TRUE(entries[3].text.starts_with("good_one (1.")) << entries[3].text;
  EXPECT_NE(entries[3].text.find(" s) from " + files[1] + "\nlater (0.5"), std::string::npos);
  EXPECT_NE(entries[3].text.find("\n3 of 5 files could not be imported\n(0.01MB Audio)"),
            std::string::npos)
      << entries[3].text;
  EXPECT_EQ(listing(audio), "good_one.wav later.wav");
}

TEST(Say, SpeaksASentenceAtAPlausibleLengthAndNamesAMissingVoice) {
  testing_support::TempDir dir;
  platform::RecordingMessenger messenger;
  const auto result = runSay("Hello, I am your robot dog. Shall we play?", "greeting", {}, {},
                             dir.path().string(), messenger);
  ASSERT_TRUE(result.ok) << testing::PrintToString(messenger.texts());
  WavHeaderInfo info;
  ASSERT_EQ(readWavHeader(dir / "greeting.wav", info), WavCheck::Good);
  const double seconds = info.dataLength / 8000.0;
  EXPECT_GT(seconds, 1.5);
  EXPECT_LT(seconds, 6.0);

  messenger.clear();
  EXPECT_FALSE(
      runSay("Hello", "other", {.voice = "no-such-voice"}, {}, dir.path().string(), messenger).ok);
  EXPECT_EQ(messenger.texts(),
            std::vector<std::string>{"Cannot speak the text\nno voice 'no-such-voice' "
                                     "(velk_mur say --list-voices lists them)"});
  EXPECT_FALSE(fs::exists(dir / "other.wav"));
}

}  // namespace
}  // namespace velk_mur
