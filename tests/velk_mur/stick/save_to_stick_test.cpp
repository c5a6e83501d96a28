#include "velk_mur/stick/save_to_stick.h"

#include <algorithm>
#include <string>
#include <system_error>
#include <vector>

#include <gtest/gtest.h>

#include "platform/ascii_text.h"
#include "platform/file_faults.h"
#include "platform/files.h"
#include "platform/messenger.h"
#include "tests/support/stick_tree.h"
#include "tests/support/temp_tree.h"

namespace fs = std::filesystem;
using platform::Bytes;
using testing_support::cmacRecord;
using testing_support::mcidBlock;
using testing_support::mwcHeader;
using testing_support::readFile;
using testing_support::snapshotTree;
using testing_support::TempDir;
using testing_support::writeFile;

namespace {

// Records progress as well as messages.
class ProgressMessenger : public platform::RecordingMessenger {
 public:
  void progress(std::string_view what, int done, int total) override {
    steps.push_back(std::string(what) + " " + std::to_string(done) + "/" + std::to_string(total));
  }
  std::vector<std::string> steps;
};

Bytes fileBytes(std::string_view text, std::size_t size) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<std::uint8_t>(text[i % text.size()]);
  return bytes;
}

Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

struct Entry {
  std::string tag;  // four bytes
  std::string name;
  Bytes data;
};

// An archive laid out independently of the writer: header, slots, then the data.
Bytes expectedArchive(std::uint32_t slots, const std::vector<Entry>& entries) {
  Bytes archive{'O', 'D', 'A', 'R', 0, 0, 3, 0};
  platform::putLe32(archive, slots);
  platform::putLe32(archive, 144);
  archive.resize(64 + slots * 144, 0);
  std::uint32_t offset = 64 + slots * 144;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::uint8_t* slot = archive.data() + 64 + i * 144;
    std::copy(entries[i].tag.begin(), entries[i].tag.end(), slot);
    std::copy(entries[i].name.begin(), entries[i].name.end(), slot + 4);
    Bytes numbers;
    platform::putLe32(numbers, offset);
    platform::putLe32(numbers, static_cast<std::uint32_t>(entries[i].data.size()));
    std::copy(numbers.begin(), numbers.end(), slot + 132);
    offset += static_cast<std::uint32_t>(entries[i].data.size());
  }
  for (const Entry& entry : entries)
    archive.insert(archive.end(), entry.data.begin(), entry.data.end());
  return archive;
}

bool holdsTemporaryFile(const fs::path& root) {
  for (const auto& [name, bytes] : snapshotTree(root)) {
    if (platform::equalsIgnoreCase(fs::path(name).extension().string(), ".NEW")) return true;
  }
  return false;
}

const Bytes kKeptBelow =
    mcidBlock(24000, {cmacRecord(0x2010, "below"), cmacRecord(0x3030, "below")});
const Bytes kKeptAbove = mcidBlock(25002, {cmacRecord(0x2010, "above")});

Bytes oldConfiguration() {
  return concat({mwcHeader(4, 5), kKeptBelow, mcidBlock(24001, {cmacRecord(0x2010, "gone")}),
                 kKeptAbove, mcidBlock(25001, {cmacRecord(0x2010, "gone2")})});
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

  static std::string archiveName(std::string name, testing_support::StickNameCase nameCase) {
    if (nameCase == testing_support::StickNameCase::Lower) {
      std::transform(name.begin(), name.end(), name.begin(), [](char c) {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      });
    }
    return name;
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
  setup.addRecording("walk", true);
  ProgressMessenger messenger;
  ASSERT_TRUE(setup.save(messenger));
  EXPECT_TRUE(messenger.entries().empty());
  EXPECT_EQ(messenger.steps,
            (std::vector<std::string>{"Saving 0/3", "Saving 1/3", "Saving 2/3", "Saving 3/3"}));

  // Listing order is by name without case: hello, Hi_Snd, walk.
  EXPECT_EQ(readFile(setup.data("AUDIO.ODA")),
            expectedArchive(3, {{"WAVE", "hello", SaveSetup::sound("hello")},
                                {"WAVE", "hi_snd", SaveSetup::sound("Hi_Snd")},
                                {"WAVE", "walk", SaveSetup::sound("walk")}}));
  EXPECT_EQ(readFile(setup.data("MOTION.ODA")),
            expectedArchive(6, {{"OMTN", "h_any#any_7hello", fileBytes("head hello", 50)},
                                {"OMTN", "m_any#any_hello", fileBytes("mouth hello", 60)},
                                {"OMTN", "h_any#any_7hi_snd", fileBytes("head Hi_Snd", 50)},
                                {"OMTN", "m_any#any_hi_snd", fileBytes("mouth Hi_Snd", 60)},
                                {"OMTN", "a_any#any_walk", fileBytes("all walk", 40)}}));
  EXPECT_EQ(readFile(setup.data("LED.ODA")),
            expectedArchive(3, {{std::string("LED\0", 4), "hello", fileBytes("led hello", 30)},
                                {std::string("LED\0", 4), "hi_snd", fileBytes("led Hi_Snd", 30)},
                                {std::string("LED\0", 4), "walk", fileBytes("led walk", 30)}}));
  EXPECT_EQ(testing_support::readTextFile(setup.stick.actionCatalogue),
            "HELLO           \t24001\t0\tHELLO.WAV + motion + leds\r\n"
            "HI_SND          \t24002\t0\tHI_SND.WAV (audio only)\r\n"
            "WALK            \t24003\t0\tWALK.WAV + motion + leds\r\n");
  const Bytes helloBlock = mcidBlock(
      24001, {cmacRecord(0x1030, "h_any#any_7hello"), cmacRecord(0x1020, "m_any#any_hello"),
              cmacRecord(0x2010, "hello"), cmacRecord(0x3030, "hello")});
  const Bytes hiBlock = mcidBlock(24002, {cmacRecord(0x2010, "hi_snd")});
  const Bytes walkBlock =
      mcidBlock(24003, {cmacRecord(0x1010, "a_any#any_walk"), cmacRecord(0x2010, "walk"),
                        cmacRecord(0x3030, "walk")});
  EXPECT_EQ(readFile(setup.stick.configuration),
            concat({mwcHeader(5, 3 + 4 + 1 + 3), kKeptBelow, kKeptAbove, helloBlock, hiBlock,
                    walkBlock}));
  EXPECT_FALSE(holdsTemporaryFile(setup.stick.root));
}

TEST(SaveToStick, LongNameGetsItsTabRightAfterTheWholeName) {
  SaveSetup setup;
  setup.addRecording("a_rather_long_name_x");
  platform::RecordingMessenger messenger;
  ASSERT_TRUE(setup.save(messenger));
  EXPECT_EQ(testing_support::readTextFile(setup.stick.actionCatalogue),
            "A_RATHER_LONG_NAME_X\t24001\t0\tA_RATHER_LONG_NAME_X.WAV + motion + leds\r\n");
  EXPECT_FALSE(holdsTemporaryFile(setup.stick.root));
}

TEST(SaveToStick, FullBodyMotionReplacesHeadAndMouthWhichAreNotRead) {
  SaveSetup setup;
  setup.addRecording("walk", true);
  fs::remove(setup.audio / "GEN" / "walk_h7.mtn");
  fs::remove(setup.audio / "GEN" / "walk_m.mtn");
  platform::RecordingMessenger messenger;
  ASSERT_TRUE(setup.save(messenger));
  EXPECT_EQ(readFile(setup.data("MOTION.ODA")),
            expectedArchive(2, {{"OMTN", "a_any#any_walk", fileBytes("all walk", 40)}}));
}

TEST(SaveToStick, EmptyListingEmptiesTheGeneratedSetAndKeepsForeignBlocks) {
  SaveSetup setup;
  ProgressMessenger messenger;
  ASSERT_TRUE(setup.save(messenger));
  EXPECT_TRUE(messenger.entries().empty());
  EXPECT_EQ(testing_support::readTextFile(setup.stick.actionCatalogue), "");
  for (const char* archive : {"AUDIO.ODA", "MOTION.ODA", "LED.ODA"}) {
    EXPECT_EQ(readFile(setup.data(archive)), expectedArchive(0, {})) << archive;
  }
  EXPECT_EQ(readFile(setup.stick.configuration), concat({mwcHeader(2, 3), kKeptBelow, kKeptAbove}));
}

TEST(SaveToStick, LowerCaseStickCopyHasItsFilesReplacedWithoutTwins) {
  SaveSetup setup(testing_support::StickNameCase::Lower);
  setup.addRecording("hello");
  platform::RecordingMessenger messenger;
  ASSERT_TRUE(setup.save(messenger)) << testing_support::readTextFile(setup.stick.actionCatalogue);
  std::vector<std::string> names;
  for (const auto& [name, bytes] : snapshotTree(setup.stick.root)) names.push_back(name);
  EXPECT_EQ(names,
            (std::vector<std::string>{"open-r/app/pc/ams/action.cfg", "open-r/mw/conf/ers-7.mwc",
                                      "open-r/mw/data/p/audio.oda", "open-r/mw/data/p/led.oda",
                                      "open-r/mw/data/p/motion.oda"}));
  EXPECT_EQ(testing_support::readTextFile(setup.stick.actionCatalogue),
            "HELLO           \t24001\t0\tHELLO.WAV + motion + leds\r\n");
  EXPECT_EQ(readFile(setup.data("audio.oda")),
            expectedArchive(1, {{"WAVE", "hello", SaveSetup::sound("hello")}}));
}

// Every message a failed save may show, as text or as the start of the text.
bool isProgramMessage(const std::string& text) {
  const std::vector<std::string> exact{
      "Failed to create ACTION.CFG on memory stick\nStick may be locked or full",
      "Failed to create ERS-*.MWC files\nStick may be locked or full",
      "Error: problem saving ERS-*.MWC data - aborting",
      "Error: problem saving ACTION.CFG data - aborting",
      "Error: problem saving/renaming ERS-*.MWC data - aborting",
  };
  const std::vector<std::string> prefixes{"Failed to create audio data file\n/",
                                          "Failed to create motion data file\n/",
                                          "Failed to create eye-led data file\n/",
                                          "ERROR: problem writing ", "ERROR: problem finishing "};
  if (std::find(exact.begin(), exact.end(), text) != exact.end()) return true;
  return std::any_of(prefixes.begin(), prefixes.end(),
                     [&](const std::string& prefix) { return text.rfind(prefix, 0) == 0; });
}

TEST(SaveToStick, FailureAtAnyFileOperationLeavesTheStickExactlyAsItWas) {
  int failures = 0;
  for (int n = 1;; ++n) {
    SCOPED_TRACE(n);
    SaveSetup setup;
    setup.addRecording("hello");
    setup.addRecording("hi_snd");
    setup.addRecording("walk", true);
    const auto before = snapshotTree(setup.stick.root);
    platform::RecordingMessenger messenger;
    bool saved = false;
    bool reached = false;
    {
      platform::ScopedFault fault(n, {platform::FileOp::Create, platform::FileOp::Write,
                                      platform::FileOp::Close, platform::FileOp::Remove});
      saved = setup.save(messenger);
      reached = platform::FaultInjection::failureReached();
    }
    if (!reached) {
      EXPECT_TRUE(saved);
      break;
    }
    ++failures;
    EXPECT_FALSE(saved);
    EXPECT_EQ(snapshotTree(setup.stick.root), before);
    ASSERT_EQ(messenger.texts().size(), 1u);
    EXPECT_TRUE(isProgramMessage(messenger.texts()[0])) << messenger.texts()[0];
  }
  EXPECT_GT(failures, 20);
}

TEST(SaveToStick, FailedRenameKeepsEarlierReplacementsAndLaterOriginals) {
  const std::vector<std::string> targets{
      "open-r/mw/data/p/audio.oda", "open-r/mw/data/p/motion.oda", "open-r/mw/data/p/led.oda",
      "open-r/app/pc/ams/action.cfg", "open-r/mw/conf/ers-7.mwc"};
  SaveSetup reference(testing_support::StickNameCase::Lower);
  reference.addRecording("hello");
  const auto before = snapshotTree(reference.stick.root);
  platform::RecordingMessenger referenceMessenger;
  ASSERT_TRUE(reference.save(referenceMessenger));
  const auto after = snapshotTree(reference.stick.root);

  const std::vector<std::string> messageStarts{
      "ERROR: problem replacing audio data - aborting\n(file : /",
      "ERROR: problem replacing motion data - aborting\n(file : /",
      "ERROR: problem replacing LED data - aborting\n(file : /",
      "Error: problem saving ACTION.CFG data - aborting",
      "Error: problem saving/renaming ERS-*.MWC data - aborting"};
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
    const auto now = snapshotTree(setup.stick.root);
    ASSERT_EQ(now.size(), before.size());  // no temporary file left, no file lost
    for (std::size_t i = 0; i < now.size(); ++i) {
      const auto position = std::find(targets.begin(), targets.end(), now[i].first);
      const bool replaced =
          position != targets.end() && position - targets.begin() < static_cast<long>(k);
      EXPECT_EQ(now[i], replaced ? after[i] : before[i]) << now[i].first;
    }
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
    EXPECT_EQ(messenger.texts(),
              std::vector<std::string>{"ERROR: problem " + std::string(c.stepWords) +
                                       " - aborting\n(file : " + path + ")"});
    EXPECT_EQ(snapshotTree(setup.stick.root), before);
  }
}

TEST(SaveToStick, RefusesBeforeWritingAnything) {
  struct Case {
    const char* what;
    void (*prepare)(SaveSetup& setup);
    std::string expectedStart;
  };
  const Case cases[] = {
      {"1002 recordings",
       [](SaveSetup& s) {
         for (int i = 0; i < 1002; ++i)
           writeFile(s.audio / ("r" + std::to_string(i) + ".wav"), Bytes{1});
       },
       "Too many recordings for the memory stick: 1002 found, at most 1001 can be saved"},
      {"one-letter name", [](SaveSetup& s) { s.addRecording("a"); },
       "Action name must have 2 to 89 characters\n"},
      {"90-letter name", [](SaveSetup& s) { s.addRecording(std::string(90, 'n')); },
       "Action name must have 2 to 89 characters\n"},
      {"missing configuration",
       [](SaveSetup& s) {
         s.addRecording("hello");
         fs::remove(s.stick.configuration);
       },
       "Failed to open old ERS-*.MWC files\nStick may be corrupt"},
      {"corrupted configuration",
       [](SaveSetup& s) {
         s.addRecording("hello");
         writeFile(s.stick.configuration,
                   concat({mwcHeader(1, 1), mcidBlock(24001, {cmacRecord(0x2010, "x")})}));
       },
       "Original ERS*.MWC is corrupted\nRe-install Ulmaran"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SaveSetup setup;
    c.prepare(setup);
    const auto before = snapshotTree(setup.stick.root);
    platform::RecordingMessenger messenger;
    EXPECT_FALSE(setup.save(messenger));
    ASSERT_EQ(messenger.texts().size(), 1u);
    EXPECT_EQ(messenger.texts()[0].rfind(c.expectedStart, 0), 0u) << messenger.texts()[0];
    EXPECT_EQ(snapshotTree(setup.stick.root), before);
  }
}

TEST(SaveToStick, NamesOfTwoAndEightyNineLettersAreSaved) {
  SaveSetup setup;
  setup.addRecording("ab");
  setup.addRecording(std::string(89, 'z'));
  platform::RecordingMessenger messenger;
  EXPECT_TRUE(setup.save(messenger));
  EXPECT_TRUE(messenger.entries().empty());
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

TEST(SaveHelpers, AudioOnlyNamesAndStepFailureText) {
  const std::pair<const char*, bool> names[] = {
      {"hi_snd", true}, {"X_SND", true}, {"a_SnD", true},   {"_snd", false},
      {"hello", false}, {"snd", false},  {"hi_snd_", false}};
  for (const auto& [name, audioOnly] : names)
    EXPECT_EQ(velk_mur::isAudioOnlyName(name), audioOnly) << name;
  platform::RecordingMessenger messenger;
  EXPECT_FALSE(velk_mur::reportStepFailure("AUDIO.ODA", "finishing audio data", messenger));
  EXPECT_EQ(
      messenger.entries(),
      (std::vector<platform::RecordingMessenger::Entry>{
          {false, true, "ERROR: problem finishing audio data - aborting\n(file : AUDIO.ODA)"}}));
}

}  // namespace
