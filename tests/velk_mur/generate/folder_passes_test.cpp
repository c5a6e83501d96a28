#include "velk_mur/generate/folder_passes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/gen_wav_maker.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/temp_tree.h"
#include "tests/velk_mur/generate/file_structure.h"
#include "velk_mur/generate/led_file.h"
#include "velk_mur/generate/src/head_motion.h"
#include "velk_mur/generate/src/led_pattern.h"
#include "velk_mur/generate/src/mouth_motion.h"

namespace fs = std::filesystem;
using Entry = platform::RecordingMessenger::Entry;
using testing_support::WavOptions;

// Designated initializers name only the recording options a case changes; the rest keep their
// defaults on purpose.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

const auto report = [](const std::string& text) { return Entry{false, true, text}; };
const auto question = [](const std::string& text) {
  return Entry{true, false, text + "\nContinue Checking?"};
};

// A temporary audio folder with its GEN subfolder, filled from a list of files: "x.wav" is the
// worked example's recording, "x.wav=16000" that many samples of silence, "x.wav=stereo",
// "=list" (an extra chunk), "=huge" (too long for a motion file) or "=empty" a recording to
// refuse, "@x" the three generated files of x, anything else a placeholder file.
class AudioFolder {
 public:
  explicit AudioFolder(const std::string& files) {
    fs::create_directory(dir_ / "GEN");
    std::istringstream tokens(files);
    for (std::string token; tokens >> token;) add(token);
  }
  const fs::path& path() const { return dir_.path(); }

  // The GEN folder's file names, sorted and separated by spaces.
  std::string genListing() const {
    std::string listing;
    for (const auto& [name, bytes] : testing_support::snapshotTree(dir_ / "GEN"))
      listing += (listing.empty() ? "" : " ") + name;
    return listing;
  }
  // "{dir}/x.wav" in an expected message stands for that file inside this folder.
  std::vector<Entry> expand(std::vector<Entry> entries) const {
    for (Entry& entry : entries) {
      if (const auto at = entry.text.find("{dir}/"); at != std::string::npos)
        entry.text.replace(at, 6, (dir_.path() / "").string());
      if (const auto at = entry.text.find("{dir}"); at != std::string::npos)
        entry.text.replace(at, 5, dir_.path().string());
    }
    return entries;
  }

 private:
  void add(const std::string& token) {
    const std::string name = token.substr(0, token.find('='));
    const std::string kind = name.size() < token.size() ? token.substr(name.size() + 1) : "";
    using testing_support::silence;
    if (token[0] == '@') {
      for (const char* suffix : {"_h7.mtn", "_m.mtn", ".led"})
        add("GEN/" + name.substr(1) + suffix);
    } else if (name.starts_with("GEN/")) {
      platform::Bytes bytes;  // generated files of the shape the check pass accepts
      ASSERT_TRUE(name.ends_with(".led") || name.ends_with(".LED")
                      ? velk_mur::writeLedFile(bytes, {})
                      : velk_mur::writeMouthMotion(bytes, "m_x", velk_mur::MouthAnalysis({})));
      testing_support::writeFile(dir_ / name, bytes);
    } else if (kind == "empty" || !(name.ends_with(".wav") || name.ends_with(".WAV"))) {
      testing_support::writeTextFile(dir_ / name, kind == "empty" ? "" : "placeholder");
    } else {
      const std::map<std::string, WavOptions> options = {
          {"stereo", {.channels = 2}},
          {"list", {.extraChunk = testing_support::makeChunk("LIST", 10)}},
          {"huge", {.dataLength = 41941120}}};  // N = 65536
      const auto special = options.find(kind);
      const bool plain = special == options.end();
      testing_support::writeWav(dir_ / name,
                                kind.empty() ? testing_support::halfSilentHalfLoud()
                                             : silence(plain ? std::stoul(kind) : 100),
                                plain ? WavOptions{} : special->second);
    }
  }

  testing_support::TempDir dir_;
};

// Rows naming both hello.wav and HELLO.wav need a folder that tells letter case apart.
bool runsHere(const std::string& files) {
  static const bool caseSensitive = testing_support::caseSensitive(AudioFolder("").path());
  return caseSensitive || files.find("HELLO.wav") == std::string::npos;
}

const char* const kHelloFiles = "hello.led hello_h7.mtn hello_m.mtn";

const auto badFormat = [](const std::string& file) {
  return question("Bad format .WAV file\nmust be 8kHz, 8-bit mono (Windows WAV format)\n{dir}/" +
                  file);
};

TEST(GenerationPass, CreatesOnlyWhatIsMissingWithTheWritersBytesAndReportsTheFirstProblem) {
  const platform::Bytes& hello = testing_support::halfSilentHalfLoud();
  const std::map<std::string, platform::Bytes> helloFiles = {
      {"GEN/hello_h7.mtn", generate_tests::written([](auto& s) {
         return velk_mur::writeHeadMotion(s, "h_any#any_7hello", 8000);
       })},
      {"GEN/hello_m.mtn", generate_tests::written([&](auto& s) {
         return velk_mur::writeMouthMotion(s, "m_any#any_hello", velk_mur::MouthAnalysis(hello));
       })},
      {"GEN/hello.led", generate_tests::written([&](auto& s) {
         return velk_mur::writeLedFile(s, velk_mur::computeLedMasks(hello));
       })}};
  const struct {
    const char* files;
    bool ok;
    int motions;  // files created
    int leds;
    std::string genAfter;
    std::vector<Entry> messages;
  } cases[] = {
      // clang-format off
      {"hello.wav Bye.WAV=16000 GEN/Bye_h7.mtn GEN/Bye_m.mtn", true, 2, 2, "Bye.led Bye_h7.mtn Bye_m.mtn " + std::string(kHelloFiles), {}},
      {"hello.wav=empty @hello", true, 0, 0, kHelloFiles, {}},  // not even opened
      {"hello.wav GEN/HELLO_H7.MTN GEN/Hello_M.mtn GEN/hello.LED", true, 0, 0, "HELLO_H7.MTN Hello_M.mtn hello.LED", {}},
      // A file just created is never overwritten for a name in another case.
      {"hello.wav HELLO.wav=16000", true, 2, 1, "HELLO.led HELLO_h7.mtn HELLO_m.mtn", {}},
      {"hello.wav hello.mtn", true, 2, 1, kHelloFiles, {}},  // full-body motion is ignored
      {"hello.wav=huge", false, 0, 0, "", {report("WAV file too long (at most 41941119 samples, about 87 minutes, fit in a motion file)\n{dir}/hello.WAV")}},
      // clang-format on
  };
  for (const auto& c : cases) {
    if (!runsHere(c.files)) continue;
    SCOPED_TRACE(c.files);
    const AudioFolder f(c.files);
    const auto before = testing_support::snapshotTree(f.path());
    platform::RecordingMessenger messenger;
    const auto result = velk_mur::generateMissingFiles(f.path(), messenger);
    EXPECT_EQ(result.ok, c.ok);
    EXPECT_EQ(result.motionFilesCreated, c.motions);
    EXPECT_EQ(result.ledFilesCreated, c.leds);
    EXPECT_EQ(messenger.entries(), f.expand(c.messages));
    EXPECT_EQ(f.genListing(), c.genAfter);
    // No file that was there before has changed; those of hello made now are the writers' bytes.
    const auto after = testing_support::snapshotTree(f.path());
    for (const auto& file : before)
      EXPECT_NE(std::find(after.begin(), after.end(), file), after.end()) << file.first;
    for (const auto& file : after) {
      if (!helloFiles.contains(file.first) || std::count(before.begin(), before.end(), file))
        continue;
      EXPECT_EQ(file.second, helloFiles.at(file.first)) << file.first;
    }
  }
}

// Each generator refuses a recording too long for a motion file before it creates its file.
TEST(GenerationPass, TooLongRecordingCreatesNoFile) {
  testing_support::TempDir dir;
  velk_mur::ClipSamples clip;
  clip.samples.assign(std::size_t{41941120}, 128);
  const velk_mur::AmplitudeHistogram histogram;
  EXPECT_FALSE(velk_mur::generateHeadMotion(dir / "h.mtn", "h", clip));
  EXPECT_FALSE(velk_mur::generateMouthMotion(dir / "m.mtn", "m", clip, histogram));
  EXPECT_FALSE(velk_mur::generateLedPattern(dir / "l.led", clip, histogram));
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(CheckPass, ReportsEveryProblemOrCountsTheReadyRecordings) {
  using enum velk_mur::CheckStatus;
  const std::string longest(89, 'n'), tooLong(90, 'o');
  const std::string missing = "Missing motion/led files for ";
  const std::string generate = ")\nPlease Generate new ones";
  std::string tooMany;  // r0.wav to r1001.wav
  for (int i = 0; i <= 1001; ++i) tooMany += "r" + std::to_string(i) + ".wav=empty ";
  const struct {
    std::string files;
    std::vector<bool> answers;  // to the questions in order; any later one is answered no
    velk_mur::CheckStatus status;
    int count;                // checked when ready
    std::int64_t soundBytes;  // checked when ready
    std::vector<Entry> messages;
  } cases[] = {
      // clang-format off
      {"", {}, Refused, 0, 0, {report("No .WAV files found, please add some and try again")}},
      {"memo.m4a song.MP3 notes.txt", {}, Refused, 0, 0, {report("No .WAV files found, please add some and try again\n2 audio files in other formats need importing (Import... or velk_mur import)")}},
      {"aa.wav @aa bb.wav=16000 @bb cc.wav=24000 @cc", {}, Ready, 3, 48000, {}},
      {"ww.wav xx.wav yy.wav zz.wav zzz.wav", {}, Refused, 0, 0, {report(missing + "5 actions\n(ww,xx,yy,zz..." + generate)}},
      // A full-body motion stands for both motions, but the LED file is still needed.
      {"hello.wav hello.mtn", {}, Refused, 0, 0, {report(missing + "1 actions\n(hello" + generate)}},
      {"hello.wav hello.mtn GEN/hello.led", {}, Ready, 1, 8000, {}},
      {"2go.wav @2go hello.wav=16000 @hello", {true}, Ready, 2, 24000, {question("Bad file name (must be alphanumeric maybe with an '_')\n2go")}},
      // Bad formats come before missing files.
      {"bad.wav=stereo extra.wav=list fine.wav=empty missing.wav", {true, true, true}, Refused, 0, 0,
       {badFormat("bad.wav"),
        question("Bad format .WAV file\nplease turn off extra audio information\n{dir}/extra.wav"),
        badFormat("fine.wav"), report("Please correct bad format .WAV files and try again\nImporting them makes WAV files the robot can play (Import... or velk_mur import)")}},
      {"bad.wav=empty good.wav", {}, Stopped, 0, 0, {badFormat("bad.wav")}},
      {"a.wav", {}, Refused, 0, 0, {report("Action name too short (at least 2 characters)\na.wav")}},
      {longest + ".wav @" + longest, {}, Ready, 1, 8000, {}},
      {tooLong + ".wav", {}, Refused, 0, 0, {report("Action name too long (at most 89 characters)\n" + tooLong + ".wav")}},
      {"hello.wav HELLO.wav @hello", {}, Refused, 0, 0, {report("Two .WAV files differ only in letter case\nHELLO.wav\nhello.wav")}},
      {tooMany, {}, Refused, 0, 0, {report("Too many .WAV files (at most 1001 actions)\n{dir}")}},
      // clang-format on
  };
  for (const auto& c : cases) {
    if (!runsHere(c.files)) continue;
    SCOPED_TRACE(c.files.substr(0, 100));
    const AudioFolder f(c.files);
    platform::RecordingMessenger messenger;
    for (bool answer : c.answers) messenger.queueAnswer(answer);
    const auto result = velk_mur::checkAudioFolder(f.path(), messenger);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(messenger.entries(), f.expand(c.messages));
    if (c.status == Ready) {
      EXPECT_EQ(result.count, c.count);
      EXPECT_EQ(result.totalSoundBytes, c.soundBytes);
      const std::string total = std::to_string(c.count);
      EXPECT_EQ(messenger.progressSteps().back(), "Checking " + total + "/" + total);
    }
  }
}

}  // namespace
