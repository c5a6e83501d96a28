#include "velk_mur/generate/folder_passes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
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

// Whether a row's files include two names differing only in letter case, which a
// case-insensitive folder (Windows) cannot hold.
bool namesCaseTwins(const std::string& files) {
  std::istringstream words(files);
  std::set<std::string> folded;
  for (std::string word; words >> word;) {
    word = word.substr(0, word.find('='));
    std::transform(word.begin(), word.end(), word.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (!folded.insert(word).second) return true;
  }
  return false;
}

bool tempFolderCaseSensitive() {
  const testing_support::TempDir dir;
  return testing_support::caseSensitive(dir.path());
}

Entry report(const std::string& text) {
  return {false, true, text};
}
Entry question(const std::string& text) {
  return {true, false, text};
}

// A temporary audio folder with its GEN subfolder, filled from a list of files: "x.wav" is the
// worked example's recording, "x.wav=16000" that many samples of silence, "x.wav=stereo",
// "=list" (an extra chunk), "=huge" (too long for a motion
// file) or "=empty" a recording to refuse, "@x" the three generated files of x, anything else a
// placeholder file.
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
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_ / "GEN")) {
      names.insert(entry.path().filename().string());
    }
    std::string listing;
    for (const auto& name : names) listing += (listing.empty() ? "" : " ") + name;
    return listing;
  }
  // "{dir}/GEN/x.led" in an expected message stands for that path inside this folder.
  std::vector<Entry> expand(std::vector<Entry> entries) const {
    for (Entry& entry : entries) {
      const std::size_t at = entry.text.find("{dir}");
      if (at == std::string::npos) continue;
      const std::size_t end = std::min(entry.text.find('\n', at), entry.text.size());
      fs::path path = dir_.path();
      if (end > at + 6) path /= fs::path(entry.text.substr(at + 6, end - at - 6)).make_preferred();
      entry.text.replace(at, end - at, path.string());
    }
    return entries;
  }

 private:
  void add(const std::string& token) {
    const std::string name = token.substr(0, token.find('='));
    const std::string kind = name.size() < token.size() ? token.substr(name.size() + 1) : "";
    const auto wav = [&](const platform::Bytes& samples, const WavOptions& options = {}) {
      testing_support::writeWav(dir_ / name, samples, options);
    };
    using testing_support::silence;
    if (token[0] == '@') {
      for (const char* suffix : {"_h7.mtn", "_m.mtn", ".led"})
        add("GEN/" + name.substr(1) + suffix);
    } else if (name.starts_with("GEN/")) {
      // Generated files of the shape the check pass accepts.
      platform::Bytes bytes;
      const bool isLed = name.ends_with(".led") || name.ends_with(".LED");
      ASSERT_TRUE(isLed ? velk_mur::writeLedFile(bytes, velk_mur::computeLedMasks(silence(100)))
                        : velk_mur::writeMouthMotion(bytes, "m_any#any_x",
                                                     velk_mur::MouthAnalysis(silence(100))));
      testing_support::writeFile(dir_ / name, bytes);
    } else if (!name.ends_with(".wav") && !name.ends_with(".WAV")) {
      testing_support::writeTextFile(dir_ / name, "placeholder");
    } else if (kind.empty()) {
      wav(testing_support::halfSilentHalfLoud());
    } else if (kind == "stereo") {
      wav(silence(100), {.channels = 2});
    } else if (kind == "list") {
      wav(silence(100), {.extraChunk = testing_support::makeChunk("LIST", 10)});
    } else if (kind == "huge") {
      wav(silence(100), {.dataLength = 41941120});  // N = 65536
    } else if (kind == "empty") {
      testing_support::writeTextFile(dir_ / name, "");
    } else {
      wav(silence(std::stoul(kind)));
    }
  }

  testing_support::TempDir dir_;
};

const char* const kBadName = "Bad file name (must be alphanumeric maybe with an '_')\n";
const char* const kWrongFormat =
    "Bad format .WAV file\nmust be 8kHz, 8-bit mono (Windows WAV format)\n";
const char* const kHelloFiles = "hello.led hello_h7.mtn hello_m.mtn";
const std::string kCorrect =
    "Please correct bad format .WAV files and try again\nImporting them makes WAV files the robot "
    "can play (Import... or velk_mur import)";
const std::string kNoneButToImport =
    "No .WAV files found, please add some and try again\n2 audio files in other formats need "
    "importing (Import... or velk_mur import)";

std::string missing(const std::string& count, const std::string& names) {
  return "Missing motion/led files for " + count + " actions\n(" + names +
         ")\nPlease Generate new ones";
}

Entry badFormat(const std::string& fileName) {
  return question(kWrongFormat + std::string("{dir}/") + fileName + "\nContinue Checking?");
}

TEST(GenerationPass, CreatesTheMissingFilesWithTheWritersBytes) {
  const AudioFolder f("hello.wav Bye.WAV=16000 GEN/Bye_h7.mtn GEN/Bye_m.mtn");
  const auto before = testing_support::readFile(f.path() / "GEN/Bye_h7.mtn");
  platform::RecordingMessenger messenger;
  const auto result = velk_mur::generateMissingFiles(f.path(), messenger);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.motionFilesCreated, 2);
  EXPECT_EQ(result.ledFilesCreated, 2);
  EXPECT_TRUE(messenger.entries().empty());
  EXPECT_EQ(messenger.progressSteps(),
            (std::vector<std::string>{"Generating 0/2", "Generating 1/2", "Generating 2/2"}));

  const platform::Bytes& hello = testing_support::halfSilentHalfLoud();
  const auto masks = velk_mur::computeLedMasks(hello);
  EXPECT_EQ(testing_support::readFile(f.path() / "GEN/hello_h7.mtn"),
            generate_tests::written(
                [](auto& s) { return velk_mur::writeHeadMotion(s, "h_any#any_7hello", 8000); }));
  EXPECT_EQ(testing_support::readFile(f.path() / "GEN/hello_m.mtn"),
            generate_tests::written([&](auto& s) {
              return velk_mur::writeMouthMotion(s, "m_any#any_hello",
                                                velk_mur::MouthAnalysis(hello));
            }));
  EXPECT_EQ(testing_support::readFile(f.path() / "GEN/hello.led"),
            generate_tests::written([&](auto& s) { return velk_mur::writeLedFile(s, masks); }));
  EXPECT_EQ(testing_support::readFile(f.path() / "GEN/Bye_h7.mtn"), before);
  EXPECT_EQ(f.genListing(), "Bye.led Bye_h7.mtn Bye_m.mtn " + std::string(kHelloFiles));
}

TEST(GenerationPass, CreatesOnlyWhatIsMissingAndReportsTheFirstProblem) {
  const std::string tooLong =
      "WAV file too long (at most 41941119 samples, about 87 minutes, fit in a motion file)\n"
      "{dir}/hello.WAV";
  const struct {
    const char* files;
    bool ok;
    int motions;  // files created, checked on success
    int leds;
    std::string genAfter;
    std::vector<Entry> messages;
  } cases[] = {
      // clang-format off
      {"hello.wav=empty @hello", true, 0, 0, kHelloFiles, {}},  // not even opened
      {"hello.wav GEN/HELLO_H7.MTN GEN/Hello_M.mtn GEN/hello.LED", true, 0, 0, "HELLO_H7.MTN Hello_M.mtn hello.LED", {}},
      // A file just created is never overwritten for a name in another case.
      {"hello.wav HELLO.wav=16000", true, 2, 1, "HELLO.led HELLO_h7.mtn HELLO_m.mtn", {}},
      {"hello.wav hello.mtn", true, 2, 1, kHelloFiles, {}},  // full-body motion is ignored
      {"hello.wav=huge", false, 0, 0, "", {report(tooLong)}},
      // clang-format on
  };
  const bool caseSensitive = tempFolderCaseSensitive();
  for (const auto& c : cases) {
    if (namesCaseTwins(c.files) && !caseSensitive) continue;
    SCOPED_TRACE(c.files);
    const AudioFolder f(c.files);
    const auto before = testing_support::snapshotTree(f.path());
    platform::RecordingMessenger messenger;
    const auto result = velk_mur::generateMissingFiles(f.path(), messenger);
    EXPECT_EQ(result.ok, c.ok);
    if (c.ok) {
      EXPECT_EQ(result.motionFilesCreated, c.motions);
      EXPECT_EQ(result.ledFilesCreated, c.leds);
    }
    EXPECT_EQ(messenger.entries(), f.expand(c.messages));
    EXPECT_EQ(f.genListing(), c.genAfter);
    // No file that was there before has changed.
    const auto after = testing_support::snapshotTree(f.path());
    for (const auto& file : before) {
      EXPECT_NE(std::find(after.begin(), after.end(), file), after.end()) << file.first;
    }
  }
}

TEST(CheckPass, ReportsEveryProblemOrCountsTheReadyRecordings) {
  const std::string longest(89, 'n'), tooLong(90, 'o');
  std::string tooMany;  // r0.wav to r1001.wav
  for (int i = 0; i <= 1001; ++i) tooMany += "r" + std::to_string(i) + ".wav=empty ";
  const struct {
    std::string files;
    std::vector<bool> answers;  // to the questions in order; any later one is answered no
    int count;
    std::int64_t soundBytes;  // checked when ready
    std::vector<Entry> messages;
  } cases[] = {
      // clang-format off
      {"", {}, 0, 0, {report("No .WAV files found, please add some and try again")}},
      {"memo.m4a song.MP3 notes.txt", {}, 0, 0, {report(kNoneButToImport)}},
      {"aa.wav @aa bb.wav=16000 @bb cc.wav=24000 @cc", {}, 3, 48000, {}},
      {"ww.wav xx.wav yy.wav zz.wav zzz.wav", {}, -1, 0, {report(missing("5", "ww,xx,yy,zz..."))}},
      // A full-body motion stands for both motions, but the LED file is still needed.
      {"hello.wav hello.mtn", {}, -1, 0, {report(missing("1", "hello"))}},
      {"hello.wav hello.mtn GEN/hello.led", {}, 1, 8000, {}},
      {"2go.wav @2go hello.wav=16000 @hello", {true}, 2, 24000, {question(kBadName + std::string("2go\nContinue Checking?"))}},
      // Bad formats come before missing files.
      {"bad.wav=stereo extra.wav=list fine.wav=empty missing.wav", {true, true, true}, -1, 0,
       {badFormat("bad.wav"),
        question("Bad format .WAV file\nplease turn off extra audio information\n{dir}/extra.wav\nContinue Checking?"),
        badFormat("fine.wav"), report(kCorrect)}},
      {"bad.wav=empty good.wav", {}, -1, 0, {badFormat("bad.wav")}},
      {"a.wav", {}, -1, 0, {report("Action name too short (at least 2 characters)\na.wav")}},
      {longest + ".wav @" + longest, {}, 1, 8000, {}},
      {tooLong + ".wav", {}, -1, 0, {report("Action name too long (at most 89 characters)\n" + tooLong + ".wav")}},
      {"hello.wav HELLO.wav @hello", {}, -1, 0, {report("Two .WAV files differ only in letter case\nHELLO.wav\nhello.wav")}},
      {tooMany, {}, -1, 0, {report("Too many .WAV files (at most 1001 actions)\n{dir}")}},
      // clang-format on
  };
  const bool caseSensitive = tempFolderCaseSensitive();
  for (const auto& c : cases) {
    if (namesCaseTwins(c.files) && !caseSensitive) continue;
    SCOPED_TRACE(c.files.substr(0, 100));
    const AudioFolder f(c.files);
    platform::RecordingMessenger messenger;
    for (bool answer : c.answers) messenger.queueAnswer(answer);
    const auto result = velk_mur::checkAudioFolder(f.path(), messenger);
    EXPECT_EQ(result.count, c.count);
    EXPECT_EQ(messenger.entries(), f.expand(c.messages));
    if (c.count > 0) {
      EXPECT_EQ(result.totalSoundBytes, c.soundBytes);
      const std::string total = std::to_string(c.count);
      EXPECT_EQ(messenger.progressSteps().back(), "Checking " + total + "/" + total);
    }
  }
}

}  // namespace
