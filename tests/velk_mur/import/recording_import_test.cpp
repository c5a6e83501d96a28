// Names, refusals and replacing, bad files among good ones, and speech.
#include <gtest/gtest.h>

#include <set>

#include "platform/src/file_faults.h"
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
  const std::pair<std::string, std::string> cases[] = {
      {"hello", "hello"},
      {"Voice Memo 2024-05-01", "Voice_Memo_2024_05_01"},
      {"01_hello", "x01_hello"},
      {"Caf\u00e9 cr\u00e8me br\u00fbl\u00e9e", "Cafe_creme_brulee"},
      {"Stra\u00dfe \u0141\u00f3d\u017a \u00c6sir", "Strasse_Lodz_AEsir"},
      {"\u65e5\u672c\u8a9e", "x_"},
      {"a", "a_"},
      {std::string(120, 'w'), std::string(89, 'w')},
  };
  for (const auto& [stem, name] : cases) {
    EXPECT_EQ(actionNameFromStem(stem), name) << stem;
    EXPECT_TRUE(isUsableActionName(name)) << stem;
  }
}

// A name taken is refused unless replacing was asked for; a failed write keeps the old file.
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
      {"hello", Replace, false, "Cannot write the recording\n", "GEN Hello.wav", true},
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

TEST(ImportCommand, BadFilesAreNamedAndTheGoodOnesImported) {
  testing_support::TempDir dir;
  const fs::path audio = dir / "audio";
  fs::create_directories(audio);
  const auto tone = testing_support::tone(440, 0.3);
  ASSERT_TRUE(testing_support::writeAudioFile(
      dir / "good one.mp3", {"mp3", "mp3", "libmp3lame", "mp3", 44100, 2}, tone, 1.0));
  ASSERT_TRUE(testing_support::writeAudioFile(
      dir / "later.flac", {"flac", "flac", "flac", "flac", 48000, 1}, tone, 0.5));
  platform::Bytes garbage(5000);
  for (std::size_t i = 0; i < garbage.size(); ++i)
    garbage[i] = static_cast<std::uint8_t>(i * 7919 % 251);
  testing_support::writeFile(dir / "garbage.mp3", garbage);
  testing_support::writeFile(dir / "empty.m4a", {});

  std::vector<std::string> files;
  for (const char* name : {"garbage.mp3", "good one.mp3", "empty.m4a", "missing.mp3", "later.flac"})
    files.push_back((dir / name).string());
  platform::RecordingMessenger messenger;
  EXPECT_FALSE(runImport(files, std::nullopt, {}, audio.string(), messenger).ok);
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

}  // namespace
}  // namespace velk_mur
