#include "velk_mur/stick/save_to_stick.h"
#include "velk_mur/stick/src/save_plan.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/recording_messenger.h"
#include "tests/support/stick_tree.h"
#include "tests/support/temp_tree.h"

namespace fs = std::filesystem;
using platform::Bytes;
using testing_support::cmacRecord;
using testing_support::concat;
using testing_support::expectedArchive;
using testing_support::fileBytes;
using testing_support::mcidBlock;
using testing_support::mwcHeader;
using testing_support::readFile;
using testing_support::snapshotTree;
using testing_support::TempDir;
using testing_support::writeFile;

namespace {

Bytes oddRecord() {
  Bytes record = cmacRecord(0x1234, "xy");  // the shortest name a kept record may have
  record[9] = 0x77;                         // fixed fields are carried over whatever they hold
  return record;
}

// Blocks just outside the generator's numbers 24001..25001 and a block without records stay.
const Bytes kKeptBelow = mcidBlock(24000, {cmacRecord(0x2010, "below"), oddRecord()});
const Bytes kKeptAbove = mcidBlock(25002, {cmacRecord(0x2010, std::string(100, 'a'))});
const Bytes kKeptEmpty = mcidBlock(7, {});

// Bytes after the declared blocks are not carried over.
Bytes oldConfiguration() {
  return concat({mwcHeader(5, 5), kKeptBelow, mcidBlock(24001, {cmacRecord(0x2010, "gone")}),
                 kKeptAbove, mcidBlock(25001, {cmacRecord(0x2010, "gone2")}), kKeptEmpty,
                 Bytes{'t', 'a', 'i', 'l'}});
}

// An audio folder and a stick under one temporary folder.
struct SaveSetup {
  SaveSetup()
      : stick(testing_support::makeStickTree(dir / "stick", oldConfiguration(), "OLD\r\n")) {
    for (const char* archive : {"AUDIO.ODA", "MOTION.ODA", "LED.ODA"})
      writeFile(stick.dataFolder / archive, fileBytes(archive, 90));
    fs::create_directories(audio / "GEN");
  }

  // The recording and its generated files, each with recognisable bytes.
  void addRecording(const std::string& name, bool fullBody = false) {
    writeFile(audio / (name + ".wav"), sound(name));
    if (fullBody) writeFile(audio / (name + ".mtn"), fileBytes("all " + name, 40));
    writeFile(audio / "GEN" / (name + "_h7.mtn"), fileBytes("head " + name, 50));
    writeFile(audio / "GEN" / (name + "_m.mtn"), fileBytes("mouth " + name, 60));
    writeFile(audio / "GEN" / (name + ".led"), fileBytes("led " + name, 30));
  }
  static Bytes sound(const std::string& name) { return fileBytes("RIFF" + name, 300); }

  bool save(platform::Messenger& messenger) {
    return velk_mur::saveToStick(audio, stick.root, messenger);
  }
  fs::path data(const char* name) const { return stick.dataFolder / name; }

  TempDir dir;
  fs::path audio = dir / "voices";
  testing_support::StickTree stick;
};

// The block of an action with head, mouth, sound and LED records.
Bytes fullBlock(std::int32_t number, const std::string& name) {
  return mcidBlock(
      number, {cmacRecord(0x1030, "h_any#any_7" + name), cmacRecord(0x1020, "m_any#any_" + name),
               cmacRecord(0x2010, name), cmacRecord(0x3030, name)});
}

TEST(SaveToStick, WritesArchivesCatalogueAndConfigurationByteForByte) {
  SaveSetup setup;
  const std::string z89(89, 'z'), Z89(89, 'Z');
  setup.addRecording("hello");
  setup.addRecording("Hi_Snd");
  setup.addRecording("run_snd", true);
  setup.addRecording("walk", true);
  setup.addRecording("_snd");  // too short to be audio only
  setup.addRecording(z89);
  // A full-body motion replaces head and mouth, which are not read.
  fs::remove(setup.audio / "GEN" / "walk_h7.mtn");
  fs::remove(setup.audio / "GEN" / "walk_m.mtn");
  platform::RecordingMessenger messenger;
  ASSERT_TRUE(setup.save(messenger));
  EXPECT_TRUE(messenger.entries().empty());
  EXPECT_EQ(messenger.progressSteps().back(), "Saving 6/6");

  // Listing order is by name without case. Head and mouth, or the full-body motion alone.
  std::vector<testing_support::OdaEntry> sounds, motions, leds;
  for (const std::string file : {"_snd", "hello", "Hi_Snd", "run_snd", "walk", z89.c_str()}) {
    const std::string name = file == "Hi_Snd" ? "hi_snd" : file;
    sounds.push_back({"WAVE", name, SaveSetup::sound(file)});
    leds.push_back({std::string("LED\0", 4), name, fileBytes("led " + file, 30)});
    if (name == "run_snd" || name == "walk") {
      motions.push_back({"OMTN", "a_any#any_" + name, fileBytes("all " + file, 40)});
    } else {
      motions.push_back({"OMTN", "h_any#any_7" + name, fileBytes("head " + file, 50)});
      motions.push_back({"OMTN", "m_any#any_" + name, fileBytes("mouth " + file, 60)});
    }
  }
  EXPECT_EQ(readFile(setup.data("AUDIO.ODA")), expectedArchive(6, sounds));
  EXPECT_EQ(readFile(setup.data("MOTION.ODA")), expectedArchive(12, motions));
  EXPECT_EQ(readFile(setup.data("LED.ODA")), expectedArchive(6, leds));
  EXPECT_EQ(testing_support::readTextFile(setup.stick.actionCatalogue),
            "_SND            \t24001\t0\t_SND.WAV + motion + leds\r\n"
            "HELLO           \t24002\t0\tHELLO.WAV + motion + leds\r\n"
            "HI_SND          \t24003\t0\tHI_SND.WAV (audio only)\r\n"
            "RUN_SND         \t24004\t0\tRUN_SND.WAV (audio only)\r\n"
            "WALK            \t24005\t0\tWALK.WAV + motion + leds\r\n" +
                Z89 + "\t24006\t0\t" + Z89 + ".WAV + motion + leds\r\n");
  // Audio-only actions get the sound record alone, with or without a full-body motion.
  const Bytes walkBlock =
      mcidBlock(24005, {cmacRecord(0x1010, "a_any#any_walk"), cmacRecord(0x2010, "walk"),
                        cmacRecord(0x3030, "walk")});
  EXPECT_EQ(readFile(setup.stick.configuration),
            concat({mwcHeader(9, 3 + 4 + 4 + 1 + 1 + 3 + 4), kKeptBelow, kKeptAbove, kKeptEmpty,
                    fullBlock(24001, "_snd"), fullBlock(24002, "hello"),
                    mcidBlock(24003, {cmacRecord(0x2010, "hi_snd")}),
                    mcidBlock(24004, {cmacRecord(0x2010, "run_snd")}), walkBlock,
                    fullBlock(24006, z89)}));
}

// Without recordings the generated set is emptied; the foreign blocks stay.
TEST(SaveToStick, AnEmptyAudioFolderEmptiesTheGeneratedSetAndKeepsForeignBlocks) {
  SaveSetup setup;
  setup.addRecording("hello");
  platform::RecordingMessenger messenger;
  ASSERT_TRUE(setup.save(messenger));
  fs::remove_all(setup.audio);
  fs::create_directories(setup.audio);
  ASSERT_TRUE(setup.save(messenger));
  EXPECT_EQ(testing_support::readTextFile(setup.stick.actionCatalogue), "");
  for (const char* archive : {"AUDIO.ODA", "MOTION.ODA", "LED.ODA"})
    EXPECT_EQ(readFile(setup.data(archive)), expectedArchive(0, {})) << archive;
  EXPECT_EQ(readFile(setup.stick.configuration),
            concat({mwcHeader(3, 3), kKeptBelow, kKeptAbove, kKeptEmpty}));
  EXPECT_TRUE(messenger.entries().empty());
}

// With a recording "hello" ready, refusals and failed adds name their reason, and the file when
// there is one, and change nothing.
TEST(SaveToStick, RefusesBeforeChangingAnythingWithItsMessage) {
  const auto configured = [](const Bytes& configuration) {
    return [configuration](SaveSetup& s) { writeFile(s.stick.configuration, configuration); };
  };
  // Emptied rather than removed: the recording is still listed, and added after "hello".
  const auto emptied = [](const char* file, bool fullBody) {
    return [=](SaveSetup& s) {
      s.addRecording("walk", fullBody);
      writeFile(s.audio / file, Bytes{});
    };
  };
  struct Case {
    const char* what;
    std::function<void(SaveSetup&)> prepare;
    std::string message;
    const char* file = nullptr;  // follows the message as a full path
    const char* after = "";
  };
  const Case cases[] = {
      {"1002 recordings",
       [](SaveSetup& s) {
         for (int i = 0; i < 1001; ++i)
           writeFile(s.audio / ("r" + std::to_string(i) + ".wav"), Bytes{1});
       },
       "Too many recordings for the memory stick: 1002 found, at most 1001 can be saved (actions "
       "24001 to 25001)"},
      {"one-letter name", [](SaveSetup& s) { s.addRecording("a"); },
       "Action name must have 2 to 89 characters\n", "a.wav"},
      {"missing configuration", [](SaveSetup& s) { fs::remove(s.stick.configuration); },
       "Failed to open old ERS-*.MWC files\nStick may be corrupt"},
      {"version 2", configured(mwcHeader(0, 0, 2)),
       "ERS-*.MWC file unknown format\nMay be compressed"},
      {"name length 1 in a kept block",
       configured(concat({mwcHeader(1, 1), mcidBlock(100, {cmacRecord(0x2010, "a")})})),
       "Original ERS*.MWC is corrupted\nRe-install Ulmaran"},
      {"empty sound", emptied("walk.wav", false),
       "ERROR: problem writing audio data - aborting\n(file : ", "walk.wav", ")"},
      {"empty full-body motion", emptied("walk.mtn", true),
       "ERROR: problem writing motion data (all) - aborting\n(file : ", "walk.mtn", ")"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SaveSetup setup;
    setup.addRecording("hello");
    c.prepare(setup);
    const auto before = snapshotTree(setup.stick.root);
    platform::RecordingMessenger messenger;
    EXPECT_FALSE(setup.save(messenger));
    const std::string expected =
        c.message + (c.file ? (setup.audio / c.file).string() : "") + c.after;
    EXPECT_EQ(messenger.entries(),
              (std::vector<platform::RecordingMessenger::Entry>{{false, true, expected}}));
    EXPECT_EQ(snapshotTree(setup.stick.root), before);
  }
}

// One recording "hello" (sound 300, head 50 + mouth 60, LED 30 bytes): archives of 64 header
// bytes and 144 per slot, a 52-byte ACTION.CFG line, a 16-byte MWC header and a 153-byte block,
// the journal, and a cluster for each of the three folders whose entries grow.
TEST(SaveToStick, RoomNeededCountsEveryNewFileAndTheJournal) {
  SaveSetup setup;
  setup.addRecording("hello");
  const auto plans = velk_mur::planRecordings(setup.audio, {"hello.wav"});
  EXPECT_EQ(velk_mur::bytesNeeded(plans, 0), 4 + 508 + 462 + 238 + 52 + 169);
  // With 512-byte clusters and an old ERS-7.MWC of 1000 bytes: the new one takes three.
  EXPECT_EQ(velk_mur::bytesNeeded(plans, 1000, 512), 4 * 512 + 3 * 512 + 512 + 3 * 512);
  // Generated files spelled in another letter case count all the same.
  for (const auto& [from, to] : {std::pair{"hello_h7.mtn", "HELLO_H7.MTN"},
                                 {"hello_m.mtn", "Hello_M.mtn"},
                                 {"hello.led", "HELLO.LED"}}) {
    fs::rename(setup.audio / "GEN" / from, setup.audio / "GEN" / to);
  }
  EXPECT_EQ(velk_mur::bytesNeeded(velk_mur::planRecordings(setup.audio, {"hello.wav"}), 0),
            4 + 508 + 462 + 238 + 52 + 169);
}

}  // namespace
