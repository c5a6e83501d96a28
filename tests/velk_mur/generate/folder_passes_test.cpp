#include "velk_mur/generate/folder_passes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/byte_sink.h"
#include "platform/file_faults.h"
#include "platform/messenger.h"
#include "tests/support/gen_wav_maker.h"
#include "tests/support/temp_tree.h"
#include "velk_mur/generate/head_motion.h"
#include "velk_mur/generate/led_file.h"
#include "velk_mur/generate/led_pattern.h"
#include "velk_mur/generate/mouth_motion.h"

namespace fs = std::filesystem;
using platform::RecordingMessenger;
using Entry = RecordingMessenger::Entry;

namespace {

class ProgressMessenger : public RecordingMessenger {
 public:
  void progress(std::string_view what, int done, int total) override {
    steps.push_back(std::string(what) + " " + std::to_string(done) + "/" + std::to_string(total));
  }
  std::vector<std::string> steps;
};

Entry report(const std::string& text) { return {false, true, text}; }
Entry question(const std::string& text) { return {true, false, text}; }

class Passes : public ::testing::Test {
 protected:
  fs::path folder() const { return dir_.path(); }
  fs::path gen(const std::string& name) const { return dir_ / "GEN" / name; }

  void addRecording(const std::string& fileName, std::size_t samples = 8000) {
    testing_support::writeWav(dir_ / fileName, testing_support::halfSilentHalfLoud().size() == samples
                                                    ? testing_support::halfSilentHalfLoud()
                                                    : testing_support::silence(samples));
  }
  void addGenerated(const std::string& name, bool head = true, bool mouth = true, bool led = true) {
    if (head) testing_support::writeTextFile(gen(name + "_h7.mtn"), "h");
    if (mouth) testing_support::writeTextFile(gen(name + "_m.mtn"), "m");
    if (led) testing_support::writeTextFile(gen(name + ".led"), "l");
  }
  void SetUp() override { fs::create_directory(dir_ / "GEN"); }

  testing_support::TempDir dir_;
  ProgressMessenger messenger_;
};

// ---- generation pass ----

TEST_F(Passes, GenerationOfEmptyFolderSucceedsWithNothingCreated) {
  const auto result = velk_mur::generateMissingFiles(folder(), messenger_);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.motionFilesCreated, 0);
  EXPECT_EQ(result.ledFilesCreated, 0);
  EXPECT_TRUE(messenger_.entries().empty());
}

TEST_F(Passes, GenerationCreatesTheThreeFilesOfEveryRecording) {
  addRecording("hello.wav");
  addRecording("Bye.WAV", 16000);
  const auto result = velk_mur::generateMissingFiles(folder(), messenger_);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.motionFilesCreated, 4);
  EXPECT_EQ(result.ledFilesCreated, 2);
  EXPECT_TRUE(messenger_.entries().empty());
  EXPECT_EQ(messenger_.steps, (std::vector<std::string>{"Generating 0/2", "Generating 1/2", "Generating 2/2"}));

  const platform::Bytes samples = testing_support::halfSilentHalfLoud();
  platform::MemorySink head;
  ASSERT_TRUE(velk_mur::writeHeadMotion(head, "h_any#any_7hello", 8000));
  EXPECT_EQ(testing_support::readFile(gen("hello_h7.mtn")), head.bytes());
  EXPECT_EQ(head.bytes().size(), 596u);
  platform::MemorySink mouth;
  ASSERT_TRUE(velk_mur::writeMouthMotion(mouth, "m_any#any_hello", samples));
  EXPECT_EQ(testing_support::readFile(gen("hello_m.mtn")), mouth.bytes());
  EXPECT_EQ(testing_support::readFile(gen("hello.led")).size(), 151u);
  EXPECT_TRUE(fs::exists(gen("Bye_h7.mtn")));
  EXPECT_TRUE(fs::exists(gen("Bye_m.mtn")));
  EXPECT_TRUE(fs::exists(gen("Bye.led")));
}

TEST_F(Passes, GenerationSkipsRecordingsWhoseFilesArePresentWithoutOpeningThem) {
  testing_support::writeTextFile(dir_ / "hello.wav", "not a recording");
  addGenerated("hello");
  const auto before = testing_support::snapshotTree(folder());
  const auto result = velk_mur::generateMissingFiles(folder(), messenger_);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.motionFilesCreated + result.ledFilesCreated, 0);
  EXPECT_TRUE(messenger_.entries().empty());
  EXPECT_EQ(testing_support::snapshotTree(folder()), before);
}

TEST_F(Passes, GenerationTakesGeneratedFilesInAnotherLetterCaseAsPresent) {
  addRecording("hello.wav");
  testing_support::writeTextFile(gen("HELLO_H7.MTN"), "h");
  testing_support::writeTextFile(gen("Hello_M.mtn"), "m");
  testing_support::writeTextFile(gen("hello.LED"), "l");
  const auto result = velk_mur::generateMissingFiles(folder(), messenger_);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.motionFilesCreated + result.ledFilesCreated, 0);
}

TEST_F(Passes, GenerationNeverOverwritesAFileItCreatedForANameInAnotherCase) {
  addRecording("hello.wav");
  addRecording("HELLO.wav", 16000);
  const auto result = velk_mur::generateMissingFiles(folder(), messenger_);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.motionFilesCreated, 2);
  EXPECT_EQ(result.ledFilesCreated, 1);
}

TEST_F(Passes, GenerationCreatesOnlyTheMissingLedFile) {
  addRecording("hello.wav");
  addGenerated("hello", true, true, false);
  const auto result = velk_mur::generateMissingFiles(folder(), messenger_);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.motionFilesCreated, 0);
  EXPECT_EQ(result.ledFilesCreated, 1);
  EXPECT_EQ(testing_support::readTextFile(gen("hello_h7.mtn")), "h");
  EXPECT_EQ(testing_support::readFile(gen("hello.led")).size(), 151u);
}

TEST_F(Passes, GenerationIgnoresFullBodyMotion) {
  addRecording("hello.wav");
  testing_support::writeTextFile(dir_ / "hello.mtn", "a");
  const auto result = velk_mur::generateMissingFiles(folder(), messenger_);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.motionFilesCreated, 2);
  EXPECT_EQ(result.ledFilesCreated, 1);
}

TEST_F(Passes, GenerationStopsAtABadNameBeforeLaterRecordings) {
  addRecording("2go.wav");
  addRecording("hello.wav");
  const auto result = velk_mur::generateMissingFiles(folder(), messenger_);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(messenger_.entries(),
            (std::vector<Entry>{report("Bad file name (must be alphanumeric maybe with an '_')\n2go")}));
  EXPECT_FALSE(fs::exists(gen("hello_h7.mtn")));
}

TEST_F(Passes, GenerationStopsAtABadHeader) {
  testing_support::WavOptions stereo;
  stereo.channels = 2;
  testing_support::writeWav(dir_ / "hello.wav", testing_support::silence(8000), stereo);
  const auto result = velk_mur::generateMissingFiles(folder(), messenger_);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(messenger_.entries(), (std::vector<Entry>{report("Bad WAV file\n" + (folder() / "hello.WAV").string())}));
}

TEST_F(Passes, GenerationReportsAReadError) {
  testing_support::WavOptions longer;
  longer.dataLength = 9000;
  testing_support::writeWav(dir_ / "hello.wav", testing_support::silence(8000), longer);
  const auto result = velk_mur::generateMissingFiles(folder(), messenger_);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(messenger_.entries(),
            (std::vector<Entry>{report("Bad WAV file (read error)\n" + (folder() / "hello.WAV").string())}));
  EXPECT_TRUE(fs::is_empty(dir_ / "GEN"));
}

TEST_F(Passes, GenerationRefusesARecordingTooLongForTheMotionFile) {
  testing_support::WavOptions huge;
  huge.dataLength = 41941120;  // N = 65536
  testing_support::writeWav(dir_ / "hello.wav", testing_support::silence(100), huge);
  const auto result = velk_mur::generateMissingFiles(folder(), messenger_);
  EXPECT_FALSE(result.ok);
  ASSERT_EQ(messenger_.entries().size(), 1u);
  EXPECT_EQ(messenger_.entries()[0].text,
            "WAV file too long (at most 41941119 samples, about 87 minutes, fit in a motion file)\n" +
                (folder() / "hello.WAV").string());
  EXPECT_TRUE(fs::is_empty(dir_ / "GEN"));
}

TEST_F(Passes, GenerationReportsAFailedGeneratorAndLeavesNoIncompleteFile) {
  struct Case {
    int create;
    const char* message;
    const char* file;
  };
  for (const Case& c : {Case{1, "Head motion generation err", "hello_h7.mtn"},
                        Case{2, "Mouth motion generation err", "hello_m.mtn"},
                        Case{3, "LED generation err", "hello.led"}}) {
    fs::remove_all(dir_ / "GEN");
    fs::create_directory(dir_ / "GEN");
    addRecording("hello.wav");
    messenger_.clear();
    platform::ScopedFault fault(c.create, {platform::FileOp::Create});
    const auto result = velk_mur::generateMissingFiles(folder(), messenger_);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(messenger_.entries(), (std::vector<Entry>{report(std::string(c.message) + "\n" + gen(c.file).string())}));
    EXPECT_FALSE(fs::exists(gen(c.file)));
  }
}

TEST_F(Passes, GenerationRemovesAFileWhoseWriteFailed) {
  addRecording("hello.wav");
  platform::ScopedFault fault(5, {platform::FileOp::Write});
  const auto result = velk_mur::generateMissingFiles(folder(), messenger_);
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(fs::exists(gen("hello_h7.mtn")));
  // A second pass creates it again.
  platform::FaultInjection::reset();
  messenger_.clear();
  const auto again = velk_mur::generateMissingFiles(folder(), messenger_);
  EXPECT_TRUE(again.ok);
  EXPECT_EQ(again.motionFilesCreated, 2);
}

// ---- check pass ----

TEST_F(Passes, CheckOfEmptyFolderReportsNoRecordings) {
  const auto result = velk_mur::checkAudioFolder(folder(), messenger_);
  EXPECT_EQ(result.count, 0);
  EXPECT_EQ(messenger_.entries(), (std::vector<Entry>{report("No .WAV files found, please add some and try again")}));
}

TEST_F(Passes, CheckCountsReadyRecordingsAndTheirSound) {
  addRecording("aa.wav", 8000);
  addRecording("bb.wav", 16000);
  addRecording("cc.wav", 24000);
  for (const char* name : {"aa", "bb", "cc"}) addGenerated(name);
  const auto result = velk_mur::checkAudioFolder(folder(), messenger_);
  EXPECT_EQ(result.count, 3);
  EXPECT_EQ(result.totalSoundBytes, 48000);
  EXPECT_TRUE(messenger_.entries().empty());
  EXPECT_EQ(messenger_.steps.back(), "Checking 3/3");
}

TEST_F(Passes, CheckListsAtMostFourMissingRecordings) {
  for (const char* name : {"ww", "xx", "yy", "zz"}) addRecording(std::string(name) + ".wav");
  EXPECT_EQ(velk_mur::checkAudioFolder(folder(), messenger_).count, -1);
  EXPECT_EQ(messenger_.entries(),
            (std::vector<Entry>{report("Missing motion/led files for 4 actions\n(ww,xx,yy,zz)\nPlease Generate new ones")}));
  messenger_.clear();
  addRecording("zzz.wav");
  EXPECT_EQ(velk_mur::checkAudioFolder(folder(), messenger_).count, -1);
  EXPECT_EQ(messenger_.entries(),
            (std::vector<Entry>{report("Missing motion/led files for 5 actions\n(ww,xx,yy,zz...)\nPlease Generate new ones")}));
}

TEST_F(Passes, CheckTakesFullBodyMotionAsMotionsButStillNeedsTheLedFile) {
  addRecording("hello.wav");
  testing_support::writeTextFile(dir_ / "hello.mtn", "a");
  EXPECT_EQ(velk_mur::checkAudioFolder(folder(), messenger_).count, -1);
  EXPECT_EQ(messenger_.entries(),
            (std::vector<Entry>{report("Missing motion/led files for 1 actions\n(hello)\nPlease Generate new ones")}));
  messenger_.clear();
  addGenerated("hello", false, false, true);
  EXPECT_EQ(velk_mur::checkAudioFolder(folder(), messenger_).count, 1);
  EXPECT_TRUE(messenger_.entries().empty());
}

TEST_F(Passes, CheckPutsARecordingWithoutItsLedFileOnTheMissingList) {
  addRecording("hello.wav");
  addGenerated("hello", true, true, false);
  EXPECT_EQ(velk_mur::checkAudioFolder(folder(), messenger_).count, -1);
  EXPECT_EQ(messenger_.texts().back(), "Missing motion/led files for 1 actions\n(hello)\nPlease Generate new ones");
}

TEST_F(Passes, CheckAsksAboutABadNameAndStopsOnNo) {
  addRecording("2go.wav");
  addRecording("hello.wav");
  addGenerated("hello");
  messenger_.queueAnswer(false);
  EXPECT_EQ(velk_mur::checkAudioFolder(folder(), messenger_).count, -1);
  EXPECT_EQ(messenger_.entries(),
            (std::vector<Entry>{question("Bad file name (must be alphanumeric maybe with an '_')\n2go\nContinue Checking?")}));
}

TEST_F(Passes, CheckGoesOnWithABadNameOnYesAndCountsItsSound) {
  addRecording("2go.wav", 8000);
  addGenerated("2go");
  addRecording("hello.wav", 16000);
  addGenerated("hello");
  messenger_.queueAnswer(true);
  const auto result = velk_mur::checkAudioFolder(folder(), messenger_);
  EXPECT_EQ(result.count, 2);
  EXPECT_EQ(result.totalSoundBytes, 24000);
  EXPECT_EQ(messenger_.entries().size(), 1u);
}

TEST_F(Passes, CheckBadFormatTakesPrecedenceOverMissingMotions) {
  testing_support::WavOptions stereo;
  stereo.channels = 2;
  testing_support::writeWav(dir_ / "bad.wav", testing_support::silence(100), stereo);
  testing_support::WavOptions list;
  list.extraChunk = testing_support::makeChunk("LIST", 10);
  testing_support::writeWav(dir_ / "extra.wav", testing_support::silence(100), list);
  testing_support::writeTextFile(dir_ / "fine.wav", "");  // too short: wrong format
  addRecording("missing.wav");
  messenger_.setDefaultAnswer(true);
  EXPECT_EQ(velk_mur::checkAudioFolder(folder(), messenger_).count, -1);
  EXPECT_EQ(messenger_.entries(),
            (std::vector<Entry>{
                question("Bad format .WAV file\nmust be 8kHz, 8-bit mono (Windows WAV format)\n" +
                         (folder() / "bad.wav").string() + "\nContinue Checking?"),
                question("Bad format .WAV file\nplease turn off extra audio information\n" +
                         (folder() / "extra.wav").string() + "\nContinue Checking?"),
                question("Bad format .WAV file\nmust be 8kHz, 8-bit mono (Windows WAV format)\n" +
                         (folder() / "fine.wav").string() + "\nContinue Checking?"),
                report("Please correct bad format .WAV files and try again")}));
}

TEST_F(Passes, CheckStopsOnNoToABadFormat) {
  testing_support::writeTextFile(dir_ / "bad.wav", "");
  addRecording("good.wav");
  EXPECT_EQ(velk_mur::checkAudioFolder(folder(), messenger_).count, -1);
  EXPECT_EQ(messenger_.entries().size(), 1u);
  EXPECT_TRUE(messenger_.entries()[0].isQuestion);
}

TEST_F(Passes, CheckWithOnlyBadRecordingsAnsweredYesReportsBadFormat) {
  testing_support::writeTextFile(dir_ / "bad.wav", "");
  messenger_.queueAnswer(true);
  EXPECT_EQ(velk_mur::checkAudioFolder(folder(), messenger_).count, -1);
  EXPECT_EQ(messenger_.texts().back(), "Please correct bad format .WAV files and try again");
}

TEST_F(Passes, CheckRefusesNamesOutsideTheConfigurationsLimits) {
  addRecording("a.wav");
  EXPECT_EQ(velk_mur::checkAudioFolder(folder(), messenger_).count, -1);
  EXPECT_EQ(messenger_.entries(), (std::vector<Entry>{report("Action name too short (at least 2 characters)\na.wav")}));
  fs::remove(dir_ / "a.wav");

  messenger_.clear();
  const std::string longest(89, 'n');
  addRecording(longest + ".wav");
  addGenerated(longest);
  EXPECT_EQ(velk_mur::checkAudioFolder(folder(), messenger_).count, 1);

  messenger_.clear();
  const std::string tooLong(90, 'o');
  addRecording(tooLong + ".wav");
  EXPECT_EQ(velk_mur::checkAudioFolder(folder(), messenger_).count, -1);
  EXPECT_EQ(messenger_.entries(),
            (std::vector<Entry>{report("Action name too long (at most 89 characters)\n" + tooLong + ".wav")}));
}

TEST_F(Passes, CheckRefusesNamesThatDifferOnlyInCase) {
  addRecording("hello.wav");
  addRecording("HELLO.wav");
  addGenerated("hello");
  EXPECT_EQ(velk_mur::checkAudioFolder(folder(), messenger_).count, -1);
  EXPECT_EQ(messenger_.entries(),
            (std::vector<Entry>{report("Two .WAV files differ only in letter case\nHELLO.wav\nhello.wav")}));
}

TEST_F(Passes, CheckRefusesMoreThan1001Recordings) {
  for (int i = 0; i < 1002; ++i) testing_support::writeTextFile(dir_ / ("r" + std::to_string(i) + ".wav"), "");
  EXPECT_EQ(velk_mur::checkAudioFolder(folder(), messenger_).count, -1);
  EXPECT_EQ(messenger_.entries(),
            (std::vector<Entry>{report("Too many .WAV files (at most 1001 actions)\n" + folder().string())}));
  fs::remove(dir_ / "r0.wav");
  messenger_.clear();
  messenger_.setDefaultAnswer(false);
  EXPECT_EQ(velk_mur::checkAudioFolder(folder(), messenger_).count, -1);
  ASSERT_EQ(messenger_.entries().size(), 1u);
  EXPECT_TRUE(messenger_.entries()[0].isQuestion);  // past the limit check: r1.wav is empty
}

}  // namespace
