#include "velk_mur/commands/stick_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>

#include "platform/backups.h"
#include "tests/support/fake_volumes.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/stick_tree.h"
#include "tests/support/temp_tree.h"
#include "velk_mur/commands/preview_commands.h"

namespace fs = std::filesystem;
using testing_support::snapshotTree;
using testing_support::TempDir;

namespace velk_mur {
namespace {

const fs::path kExamples = fs::path(VELK_SOURCE_DIR) / "examples";

TEST(ResolveStickPath, AutoAndAStoredStickThatIsGoneTakeTheOneStickMounted) {
  const struct {
    const char* typed;
    bool stored;
    int sticks;
    bool resolves;
    const char* path;  // "A" the first stick, "keep" the typed text
    const char* message;
  } cases[] = {
      {"auto", false, 1, true, "A", "Memory stick found: "},
      {"AUTO", true, 1, true, "A", "Memory stick found: "},
      {"auto", false, 0, false, "keep", "No memory stick of the robot is mounted"},
      {"auto", false, 2, false, "keep", "Several memory sticks of the robot are mounted"},
      {"gone", true, 1, true, "A", "Memory stick found: "},
      {"gone", true, 0, false, "keep", "The memory stick at "},
      {"gone", false, 1, true, "keep", ""},  // typed for this run: its own check reports it
      {"here", true, 1, true, "keep", ""},
      {"", true, 1, true, "keep", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.typed) + " " + std::to_string(c.sticks));
    TempDir dir;
    testing_support::FakeVolumes volumes;
    for (int i = 0; i < c.sticks; ++i) {
      const char* name = i == 0 ? "A" : "B";
      testing_support::makeValidStick(dir / name);
      volumes.mount(dir / name, name);
    }
    fs::create_directories(dir / "here");
    const std::string typed = std::string(c.typed) == "here" || std::string(c.typed) == "gone"
                                  ? (dir / c.typed).string()
                                  : c.typed;
    PathTexts paths{typed, "voices"};
    platform::RecordingMessenger messenger;
    EXPECT_EQ(
        resolveStickPath(paths, c.stored, volumes, testing_support::environmentIn(dir), messenger),
        c.resolves);
    EXPECT_EQ(paths.stickPath, std::string(c.path) == "A" ? (dir / "A").string() : typed);
    const std::string shown = messenger.texts().empty() ? "" : messenger.texts().front();
    EXPECT_TRUE(shown.starts_with(c.message)) << shown;
    EXPECT_EQ(messenger.texts().empty(), std::string(c.message).empty());
  }
}

TEST(RoomText, NeededInClustersBesideFreeAndAWarningWhenShort) {
  const struct {
    StickRoom room;
    const char* text;
  } cases[] = {
      {{8192, 1u << 20, 2048},
       "The save needs 8 KB on the stick (4 clusters of 2 KB); 1.0 MB free"},
      {{3u << 20, 1u << 20, 1},
       "The save needs 3.0 MB on the stick; 1.0 MB free\n"
       "WARNING: not enough room on the memory stick"},
      {{1024, 1024, 512}, "The save needs 1 KB on the stick (2 clusters of 512 bytes); 1 KB free"},
  };
  for (const auto& c : cases) EXPECT_EQ(roomText(c.room), c.text);
}

// The room Test reports is what the save then takes: its new files in whole clusters, one
// cluster for its journal and one for each folder that gains entries.
TEST(RoomForSave, IsWhatTheSavedFilesTakeInWholeClusters) {
  TempDir dir;
  fs::copy(kExamples / "stick", dir / "stick", fs::copy_options::recursive);
  fs::create_directories(dir / "voices" / "GEN");
  for (const char* name : {"hello", "bye_snd"}) {
    testing_support::writeRecording(dir / "voices", name, 5000);
    testing_support::writeReadyCompanions(dir / "voices", name);
  }
  const std::optional<StickRoom> room = roomForSave(dir / "voices", dir / "stick");
  ASSERT_TRUE(room);
  const AppEnvironment environment = testing_support::environmentIn(dir);
  platform::RecordingMessenger messenger;
  ASSERT_TRUE(
      runSaveToStick({(dir / "stick").string(), (dir / "voices").string()}, environment, messenger)
          .ok);
  // The journal's cluster, and one for each of the three folders whose entries grow.
  std::uint64_t taken = 4 * room->clusterSize;
  for (const char* file :
       {"OPEN-R/MW/DATA/P/AUDIO.ODA", "OPEN-R/MW/DATA/P/MOTION.ODA", "OPEN-R/MW/DATA/P/LED.ODA",
        "OPEN-R/APP/PC/AMS/ACTION.CFG", "OPEN-R/MW/CONF/ERS-7.MWC"}) {
    taken += platform::clusterRounded(fs::file_size(dir / "stick" / file), room->clusterSize);
  }
  EXPECT_EQ(room->needed, taken);
}

// The commands as a user runs them: a backup of the whole tree, a change, and the restore by
// the backup's date bring the stick back byte for byte.
TEST(BackupCommands, BackupChangeRestoreByDateIsByteForByte) {
  TempDir dir;
  const fs::path stick = dir / "stick";
  fs::copy(kExamples / "stick", stick, fs::copy_options::recursive);
  const auto before = snapshotTree(stick);
  const AppEnvironment environment = testing_support::environmentIn(dir);
  const PathTexts paths{stick.string(), ""};
  platform::RecordingMessenger messenger;
  ASSERT_TRUE(runBackup(paths, "", environment, messenger).ok);
  ASSERT_TRUE(listStickBackups(paths, environment, messenger).ok);
  const std::string listing = messenger.texts().back();
  const std::string date = listing.substr(0, listing.find("  "));
  for (const char* file : {"OPEN-R/MW/CONF/ERS-7.MWC", "OPEN-R/APP/PC/AMS/R-CODE.R"}) {
    testing_support::writeTextFile(stick / file, "changed");
  }
  messenger.clear();
  ASSERT_TRUE(runRestore(paths, date, environment, messenger).ok);
  EXPECT_EQ(snapshotTree(stick), before);
  EXPECT_EQ(messenger.texts().back(), "Stick is consistent");
  // --to puts a full copy where the user says, and an unknown backup is refused.
  ASSERT_TRUE(runBackup(paths, (dir / "mine").string(), environment, messenger).ok);
  EXPECT_EQ(snapshotTree(*fs::directory_iterator(dir / "mine")).size(), before.size());
  EXPECT_FALSE(runRestore(paths, "1999-01-01 00:00:00", environment, messenger).ok);
  EXPECT_TRUE(messenger.texts().back().starts_with("No backup found by that name"));
}

// The FUSE driver does not copy files itself: each is written anew.
void copyTree(const fs::path& from, const fs::path& to) {
  for (const auto& [name, bytes] : snapshotTree(from)) testing_support::writeFile(to / name, bytes);
}

// A real FAT16 file system, mounted through FUSE where this machine has it.
class FatImage {
 public:
  explicit FatImage(const TempDir& dir) : image_(dir / "stick.img"), mount_(dir / "mnt") {
    if (!fs::exists("/dev/fuse") || std::system("command -v fusefat mkfs.fat >/dev/null") != 0) {
      skipReason_ = "fusefat, mkfs.fat or /dev/fuse is not available";
      return;
    }
    fs::create_directories(mount_);
    const std::string make =
        "mkfs.fat -C -F 16 -n AIBOTEST '" + image_.string() + "' 16384 >/dev/null";
    const std::string mount = "fusefat -o rw+,fsname='" + image_.string() + "' '" +
                              image_.string() + "' '" + mount_.string() + "' >/dev/null 2>&1";
    if (std::system(make.c_str()) != 0 || std::system(mount.c_str()) != 0) {
      skipReason_ = "the FAT image could not be made or mounted";
      return;
    }
    mounted_ = true;
  }
  ~FatImage() {
    if (mounted_) std::system(("fusermount -u '" + mount_.string() + "'").c_str());
  }
  const std::string& skipReason() const { return skipReason_; }
  const fs::path& root() const { return mount_; }

 private:
  fs::path image_;
  fs::path mount_;
  bool mounted_ = false;
  std::string skipReason_;
};

TEST(InspectMedium, NamesTheFileSystemItsClustersAndWarnsWhenItIsNotFat) {
  TempDir dir;
  FatImage fat(dir);
  if (!fat.skipReason().empty()) GTEST_SKIP() << fat.skipReason();
  copyTree(kExamples / "stick", fat.root());
  fs::copy(kExamples / "stick", dir / "copy", fs::copy_options::recursive);
  const struct {
    fs::path stick;
    std::vector<std::string> has;
    bool warns;
  } cases[] = {
      {fat.root(), {"File system: FAT16", "in clusters of 2 KB", "Talking actions: "}, false},
      {dir / "copy", {"File system: ", "WARNING: the stick's file system is "}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stick.string());
    platform::RecordingMessenger messenger;
    EXPECT_TRUE(runInspect({c.stick.string(), ""}, messenger).ok);
    const std::string shown = messenger.texts().front();
    for (const std::string& part : c.has) EXPECT_NE(shown.find(part), std::string::npos) << shown;
    EXPECT_EQ(shown.find("WARNING") != std::string::npos, c.warns) << shown;
  }
}

// The polling path against the system's own list: a FAT image mounted and unmounted.
TEST(StickTrackerOnRealMounts, SeesAFatImageMountedAndUnmounted) {
  TempDir dir;
  platform::SystemVolumes system;
  platform::StickTracker tracker(system, platform::kMotionStickMarker);
  tracker.refresh();
  std::optional<FatImage> fat(std::in_place, dir);
  if (!fat->skipReason().empty()) GTEST_SKIP() << fat->skipReason();
  copyTree(kExamples / "stick", fat->root());
  // Other sticks may come and go meanwhile: only this one is looked for.
  const auto find = [](const std::vector<platform::Volume>& volumes, const fs::path& root) {
    return std::find_if(volumes.begin(), volumes.end(),
                        [&](const platform::Volume& volume) { return volume.root == root; });
  };
  const std::vector<platform::Volume> arrived = tracker.refresh().arrived;
  const auto found = find(arrived, fat->root());
  ASSERT_NE(found, arrived.end());
  EXPECT_EQ(found->fileSystem, "FAT16");
  EXPECT_EQ(found->label, "AIBOTEST");
  EXPECT_EQ(found->clusterSize, 2048u);
  fat.reset();
  const std::vector<platform::Volume> left = tracker.refresh().left;
  EXPECT_NE(find(left, dir / "mnt"), left.end());
}

}  // namespace
}  // namespace velk_mur
