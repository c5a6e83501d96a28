#include "velk_mur/stick/save_to_stick.h"

#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <gtest/gtest.h>

#include "platform/ascii_text.h"
#include "platform/file_faults.h"
#include "platform/files.h"
#include "platform/messenger.h"
#include "tests/support/stick_tree.h"
#include "tests/support/temp_tree.h"
#include "tests/velk_mur/stick/stick_test_bytes.h"
#include "velk_mur/stick/save_journal.h"

namespace fs = std::filesystem;
using platform::Bytes;
using stick_testing::concat;
using stick_testing::expectedArchive;
using stick_testing::fileBytes;
using testing_support::cmacRecord;
using testing_support::mcidBlock;
using testing_support::mwcHeader;
using testing_support::readFile;
using testing_support::snapshotTree;
using testing_support::TempDir;
using testing_support::writeFile;

namespace {

bool holdsTemporaryFile(const fs::path& root) {
  for (const auto& [name, bytes] : snapshotTree(root)) {
    if (platform::equalsIgnoreCase(fs::path(name).extension().string(), ".NEW")) return true;
  }
  return false;
}

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
  explicit SaveSetup(
      testing_support::StickNameCase nameCase = testing_support::StickNameCase::Upper)
      : stick(testing_support::makeStickTree(dir / "stick", oldConfiguration(), "OLD LINE\r\n",
                                             nameCase)) {
    writeFile(stick.dataFolder / archiveName("AUDIO.ODA", nameCase), fileBytes("old audio", 90));
    writeFile(stick.dataFolder / archiveName("MOTION.ODA", nameCase), fileBytes("old motion", 90));
    writeFile(stick.dataFolder / archiveName("LED.ODA", nameCase), fileBytes("old led", 90));
    fs::create_directories(audio / "GEN");
  }

  static std::string archiveName(std::string_view name, testing_support::StickNameCase nameCase) {
    return nameCase == testing_support::StickNameCase::Lower ? platform::toLowerAscii(name)
                                                             : std::string(name);
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
    return velk_mur::saveToStick(audio, stick.root, 0, messenger);
  }
  fs::path data(const char* name) const { return stick.dataFolder / name; }

  TempDir dir;
  fs::path audio = dir / "voices";
  testing_support::StickTree stick;
};

TEST(SaveToStick, WritesArchivesCatalogueAndConfigurationByteForByte) {
  SaveSetup setup;
  setup.addRecording("hello");
  setup.addRecording("Hi_Snd");
  setup.addRecording("run_snd", true);
  setup.addRecording("walk", true);
  // A full-body motion replaces head and mouth, which are not read.
  fs::remove(setup.audio / "GEN" / "walk_h7.mtn");
  fs::remove(setup.audio / "GEN" / "walk_m.mtn");
  platform::RecordingMessenger messenger;
  ASSERT_TRUE(setup.save(messenger));
  EXPECT_TRUE(messenger.entries().empty());
  EXPECT_EQ(messenger.progressSteps(),
            (std::vector<std::string>{"Saving 0/4", "Saving 1/4", "Saving 2/4", "Saving 3/4",
                                      "Saving 4/4"}));

  // Listing order is by name without case: hello, Hi_Snd, run_snd, walk.
  EXPECT_EQ(readFile(setup.data("AUDIO.ODA")),
            expectedArchive(4, {{"WAVE", "hello", SaveSetup::sound("hello")},
                                {"WAVE", "hi_snd", SaveSetup::sound("Hi_Snd")},
                                {"WAVE", "run_snd", SaveSetup::sound("run_snd")},
                                {"WAVE", "walk", SaveSetup::sound("walk")}}));
  EXPECT_EQ(readFile(setup.data("MOTION.ODA")),
            expectedArchive(8, {{"OMTN", "h_any#any_7hello", fileBytes("head hello", 50)},
                                {"OMTN", "m_any#any_hello", fileBytes("mouth hello", 60)},
                                {"OMTN", "h_any#any_7hi_snd", fileBytes("head Hi_Snd", 50)},
                                {"OMTN", "m_any#any_hi_snd", fileBytes("mouth Hi_Snd", 60)},
                                {"OMTN", "a_any#any_run_snd", fileBytes("all run_snd", 40)},
                                {"OMTN", "a_any#any_walk", fileBytes("all walk", 40)}}));
  const std::string led("LED\0", 4);
  EXPECT_EQ(readFile(setup.data("LED.ODA")),
            expectedArchive(4, {{led, "hello", fileBytes("led hello", 30)},
                                {led, "hi_snd", fileBytes("led Hi_Snd", 30)},
                                {led, "run_snd", fileBytes("led run_snd", 30)},
                                {led, "walk", fileBytes("led walk", 30)}}));
  EXPECT_EQ(testing_support::readTextFile(setup.stick.actionCatalogue),
            "HELLO           \t24001\t0\tHELLO.WAV + motion + leds\r\n"
            "HI_SND          \t24002\t0\tHI_SND.WAV (audio only)\r\n"
            "RUN_SND         \t24003\t0\tRUN_SND.WAV (audio only)\r\n"
            "WALK            \t24004\t0\tWALK.WAV + motion + leds\r\n");
  // Audio-only actions get the sound record alone, with or without a full-body motion.
  const Bytes helloBlock = mcidBlock(
      24001, {cmacRecord(0x1030, "h_any#any_7hello"), cmacRecord(0x1020, "m_any#any_hello"),
              cmacRecord(0x2010, "hello"), cmacRecord(0x3030, "hello")});
  const Bytes hiBlock = mcidBlock(24002, {cmacRecord(0x2010, "hi_snd")});
  const Bytes runBlock = mcidBlock(24003, {cmacRecord(0x2010, "run_snd")});
  const Bytes walkBlock =
      mcidBlock(24004, {cmacRecord(0x1010, "a_any#any_walk"), cmacRecord(0x2010, "walk"),
                        cmacRecord(0x3030, "walk")});
  EXPECT_EQ(readFile(setup.stick.configuration),
            concat({mwcHeader(7, 3 + 4 + 1 + 1 + 3), kKeptBelow, kKeptAbove, kKeptEmpty, helloBlock,
                    hiBlock, runBlock, walkBlock}));
  EXPECT_FALSE(holdsTemporaryFile(setup.stick.root));
}

TEST(SaveToStick, NamesOfTwoToEightyNineLettersAreSavedAndLongOnesTabRightAfterTheName) {
  SaveSetup setup;
  setup.addRecording("ab");
  setup.addRecording("a_rather_long_name_x");
  setup.addRecording(std::string(89, 'z'));
  platform::RecordingMessenger messenger;
  ASSERT_TRUE(setup.save(messenger));
  EXPECT_TRUE(messenger.entries().empty());
  const std::string z89(89, 'Z');
  EXPECT_EQ(testing_support::readTextFile(setup.stick.actionCatalogue),
            "A_RATHER_LONG_NAME_X\t24001\t0\tA_RATHER_LONG_NAME_X.WAV + motion + leds\r\n"
            "AB              \t24002\t0\tAB.WAV + motion + leds\r\n" +
                z89 + "\t24003\t0\t" + z89 + ".WAV + motion + leds\r\n");
  EXPECT_FALSE(holdsTemporaryFile(setup.stick.root));
}

TEST(SaveToStick, EmptyListingEmptiesTheGeneratedSetAndKeepsForeignBlocks) {
  SaveSetup setup;
  platform::RecordingMessenger messenger;
  ASSERT_TRUE(setup.save(messenger));
  EXPECT_TRUE(messenger.entries().empty());
  EXPECT_EQ(testing_support::readTextFile(setup.stick.actionCatalogue), "");
  for (const char* archive : {"AUDIO.ODA", "MOTION.ODA", "LED.ODA"}) {
    EXPECT_EQ(readFile(setup.data(archive)), expectedArchive(0, {})) << archive;
  }
  EXPECT_EQ(readFile(setup.stick.configuration),
            concat({mwcHeader(3, 3), kKeptBelow, kKeptAbove, kKeptEmpty}));
}

// On a stick copied in lower case the files are replaced without twins; after a failed rename
// the next command finishes the save.
TEST(SaveToStick, LowerCaseCopyIsReplacedInPlaceAndAFailedRenameIsFinishedByTheNextCommand) {
  const std::vector<std::string> targets{
      "open-r/mw/data/p/audio.oda", "open-r/mw/data/p/motion.oda", "open-r/mw/data/p/led.oda",
      "open-r/app/pc/ams/action.cfg", "open-r/mw/conf/ers-7.mwc"};
  SaveSetup reference(testing_support::StickNameCase::Lower);
  reference.addRecording("hello");
  const auto before = snapshotTree(reference.stick.root);
  platform::RecordingMessenger referenceMessenger;
  ASSERT_TRUE(reference.save(referenceMessenger));
  const auto after = snapshotTree(reference.stick.root);
  std::vector<std::string> names;
  for (const auto& [name, bytes] : after) names.push_back(name);
  std::vector<std::string> sortedTargets = targets;
  std::sort(sortedTargets.begin(), sortedTargets.end());
  EXPECT_EQ(names, sortedTargets);
  EXPECT_EQ(testing_support::readTextFile(reference.stick.actionCatalogue),
            "HELLO           \t24001\t0\tHELLO.WAV + motion + leds\r\n");
  EXPECT_EQ(readFile(reference.data("audio.oda")),
            expectedArchive(1, {{"WAVE", "hello", SaveSetup::sound("hello")}}));

  const std::vector<std::string> messageStarts{
      "ERROR: problem replacing audio data - aborting\n(file : /",
      "ERROR: problem replacing motion data - aborting\n(file : /",
      "ERROR: problem replacing LED data - aborting\n(file : /",
      "ERROR: problem replacing ACTION.CFG data - aborting\n(file : /",
      "ERROR: problem replacing ERS-*.MWC data - aborting\n(file : /"};
  for (std::size_t k = 0; k < targets.size(); ++k) {
    SCOPED_TRACE(targets[k]);
    SaveSetup setup(testing_support::StickNameCase::Lower);
    setup.addRecording("hello");
    platform::RecordingMessenger messenger;
    {
      platform::ScopedFault fault(static_cast<int>(k) + 1, {platform::FileOp::Rename});
      EXPECT_FALSE(setup.save(messenger));
    }
    ASSERT_EQ(messenger.texts().size(), 1u);
    EXPECT_EQ(messenger.texts()[0].rfind(messageStarts[k], 0), 0u) << messenger.texts()[0];
    platform::RecordingMessenger next;
    EXPECT_TRUE(velk_mur::recoverInterruptedSave(setup.stick.root, next));
    EXPECT_EQ(next.texts(), std::vector<std::string>{"An interrupted save to the memory stick "
                                                     "was finished: the stick holds its new "
                                                     "actions"});
    EXPECT_EQ(snapshotTree(setup.stick.root), after);
  }
}

TEST(SaveToStick, FailingAddNamesItsStepAndSourceAndChangesNothing) {
  struct Case {
    const char* what;
    bool fullBody;
    fs::path (*missing)(const fs::path& audio);
    const char* stepWords;
  };
  const Case cases[] = {
      {"sound", false, [](const fs::path& a) { return a / "walk.wav"; }, "writing audio data"},
      {"head", false, [](const fs::path& a) { return a / "GEN" / "walk_h7.mtn"; },
       "writing motion data (head)"},
      {"mouth", false, [](const fs::path& a) { return a / "GEN" / "walk_m.mtn"; },
       "writing motion data (mouth)"},
      {"led", false, [](const fs::path& a) { return a / "GEN" / "walk.led"; }, "writing LED data"},
      {"full body", true, [](const fs::path& a) { return a / "walk.mtn"; },
       "writing motion data (all)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SaveSetup setup;
    setup.addRecording("a1");
    setup.addRecording("b2");
    setup.addRecording("walk", c.fullBody);
    const auto before = snapshotTree(setup.stick.root);
    // Emptied rather than removed: the recording is still listed and a full-body motion
    // still counts as present.
    writeFile(c.missing(setup.audio), Bytes{});
    platform::RecordingMessenger messenger;
    EXPECT_FALSE(setup.save(messenger));
    const std::string path = c.missing(setup.audio).string();
    EXPECT_EQ(messenger.entries(), (std::vector<platform::RecordingMessenger::Entry>{
                                       {false, true,
                                        "ERROR: problem " + std::string(c.stepWords) +
                                            " - aborting\n(file : " + path + ")"}}));
    EXPECT_EQ(snapshotTree(setup.stick.root), before);
  }
}

TEST(SaveToStick, RefusesBeforeWritingAnythingWithItsMessage) {
  constexpr const char* kCorrupted = "Original ERS*.MWC is corrupted\nRe-install Ulmaran";
  constexpr const char* kUnknown = "ERS-*.MWC file unknown format\nMay be compressed";
  constexpr const char* kBadName = "Action name must have 2 to 89 characters\n";
  // A recording ready to save on a stick whose ERS-7.MWC holds `configuration`.
  const auto configured = [](const Bytes& configuration) {
    return [configuration](SaveSetup& s) {
      s.addRecording("hello");
      writeFile(s.stick.configuration, configuration);
    };
  };
  const auto kept = [](const std::vector<Bytes>& records) { return mcidBlock(100, records); };
  const Bytes good = kept({cmacRecord(0x2010, "ok")});
  Bytes badTag = good;
  badTag[0] = 'X';
  Bytes badRecordTag = mcidBlock(24001, {cmacRecord(0x2010, "ok")});
  badRecordTag[12] = 'X';
  Bytes negativeCount = kept({});
  negativeCount[11] = 0xFF;
  struct Case {
    const char* what;
    std::function<void(SaveSetup&)> prepare;
    std::string message;
    std::string fileInMessage = {};  // follows the message as a full path
  };
  const Case cases[] = {
      {"1002 recordings",
       [](SaveSetup& s) {
         for (int i = 0; i < 1002; ++i)
           writeFile(s.audio / ("r" + std::to_string(i) + ".wav"), Bytes{1});
       },
       "Too many recordings for the memory stick: 1002 found, at most 1001 can be saved (actions "
       "24001 to 25001)"},
      {"one-letter name", [](SaveSetup& s) { s.addRecording("a"); }, kBadName, "a.wav"},
      {"90-letter name", [](SaveSetup& s) { s.addRecording(std::string(90, 'n')); }, kBadName,
       std::string(90, 'n') + ".wav"},
      {"missing configuration",
       [](SaveSetup& s) {
         s.addRecording("hello");
         fs::remove(s.stick.configuration);
       },
       "Failed to open old ERS-*.MWC files\nStick may be corrupt"},
      {"version 2", configured(concat({mwcHeader(1, 1, 2), good})), kUnknown},
      {"wrong magic", configured(concat({mwcHeader(1, 1, 1, "MWCX"), good})), kUnknown},
      {"truncated header", configured(Bytes{'M', 'W', 'C', 'M', 1, 0}), kUnknown},
      {"empty configuration", configured(Bytes{}), kUnknown},
      {"more blocks declared than present", configured(concat({mwcHeader(2, 2), good})),
       kCorrupted},
      {"name length 1 in a dropped block",
       configured(concat({mwcHeader(2, 2), good, mcidBlock(24001, {cmacRecord(0x2010, "a")})})),
       kCorrupted},
      {"name length 1 in a kept block",
       configured(concat({mwcHeader(1, 1), kept({cmacRecord(0x2010, "a")})})), kCorrupted},
      {"name length 101 in a kept block",
       configured(concat({mwcHeader(1, 1), kept({cmacRecord(0x2010, std::string(101, 'x'))})})),
       kCorrupted},
      {"wrong block tag", configured(concat({mwcHeader(1, 1), badTag})), kCorrupted},
      {"wrong record tag", configured(concat({mwcHeader(1, 1), badRecordTag})), kCorrupted},
      {"negative record count", configured(concat({mwcHeader(1, 0), negativeCount})), kCorrupted},
      {"truncated name", configured(concat({mwcHeader(1, 1), Bytes(good.begin(), good.end() - 1)})),
       kCorrupted},
      {"truncated block head",
       configured(concat({mwcHeader(1, 1), Bytes(good.begin(), good.begin() + 11)})), kCorrupted},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SaveSetup setup;
    c.prepare(setup);
    const auto before = snapshotTree(setup.stick.root);
    platform::RecordingMessenger messenger;
    EXPECT_FALSE(setup.save(messenger));
    const std::string expected =
        c.message + (c.fileInMessage.empty() ? "" : (setup.audio / c.fileInMessage).string());
    EXPECT_EQ(messenger.entries(),
              (std::vector<platform::RecordingMessenger::Entry>{{false, true, expected}}));
    EXPECT_EQ(snapshotTree(setup.stick.root), before);
  }
}

TEST(SaveToStick, StickWithoutRoomIsRefusedWithBothFigures) {
  SaveSetup setup;
  setup.addRecording("hello");
  const std::optional<std::uint64_t> free = platform::freeSpace(setup.stick.root);
  ASSERT_TRUE(free);
  std::error_code error;
  // A sparse sound file larger than the free space takes no room itself. The margin keeps the
  // test independent of other programs freeing disk space meanwhile.
  constexpr std::uint64_t kMargin = std::uint64_t{1} << 40;
  fs::resize_file(setup.audio / "hello.wav", *free + kMargin, error);
  if (error) GTEST_SKIP() << "no sparse file here: " << error.message();
  const auto before = snapshotTree(setup.stick.root);
  platform::RecordingMessenger messenger;
  EXPECT_FALSE(setup.save(messenger));
  ASSERT_EQ(messenger.texts().size(), 1u);
  const std::string text = messenger.texts()[0];
  EXPECT_EQ(text.rfind("Not enough room on the memory stick\n", 0), 0u) << text;
  EXPECT_NE(text.find(" bytes are free"), std::string::npos) << text;
  EXPECT_EQ(snapshotTree(setup.stick.root), before);
}

TEST(SaveHelpers, AudioOnlyNamesEndInSndAfterAtLeastOneLetter) {
  const std::pair<const char*, bool> names[] = {
      {"hi_snd", true}, {"X_SND", true}, {"a_SnD", true},   {"_snd", false},
      {"hello", false}, {"snd", false},  {"hi_snd_", false}};
  for (const auto& [name, audioOnly] : names)
    EXPECT_EQ(velk_mur::isAudioOnlyName(name), audioOnly) << name;
}

}  // namespace
