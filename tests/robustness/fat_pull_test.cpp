// A save to a real FAT16 file system whose driver is killed at its Nth write to the image: the
// stick pulled at that instant. The next `velk_mur test` must leave the stick old or new (or
// written anew whole) with exit 0, or name what was lost with exit 1. Needs FUSE, fusefat,
// mkfs.fat and strace; skipped with the reason elsewhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/recording_messenger.h"
#include "tests/support/temp_tree.h"
#include "velk_mur/generate/folder_passes.h"

namespace fs = std::filesystem;
using testing_support::snapshotTree;
using testing_support::TempDir;
using testing_support::TreeSnapshot;

namespace {

const fs::path kExamples = fs::path(VELK_SOURCE_DIR) / "examples";

int shell(const std::string& command) {
  const int status = std::system(command.c_str());
#ifdef _WIN32
  return status;
#else
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

std::string quoted(const fs::path& path) {
  return "'" + path.string() + "'";
}

// Why the test cannot run here, or empty.
std::string missingTools() {
#ifdef _WIN32
  return "FUSE and fusefat exist only on Linux";
#else
  if (std::getenv("WINEPREFIX") != nullptr) return "running under Wine";
  if (!fs::exists("/dev/fuse")) return "no /dev/fuse";
  for (const char* tool : {"fusefat", "mkfs.fat", "strace", "fusermount"}) {
    if (shell(std::string("command -v ") + tool + " >/dev/null 2>&1") != 0) {
      return std::string(tool) + " is not installed (scripts/install-deps installs it)";
    }
  }
  return {};
#endif
}

class FatStick {
 public:
  FatStick() : image_(dir_ / "stick.img"), mount_(dir_ / "mnt"), voices_(dir_ / "voices") {
    fs::create_directories(mount_);
    fs::create_directories(dir_ / "home");
  }
  ~FatStick() { unmount(); }

  const fs::path& mountPoint() const { return mount_; }

  // A 16 MB FAT16 image holding the example stick, and an audio folder ready to save.
  bool make() {
    if (shell("truncate -s 16M " + quoted(image_) + " && mkfs.fat -F 16 " + quoted(image_) +
              " >/dev/null") != 0) {
      return false;
    }
    if (!mount("")) return false;
    const int copied = shell("cp -r " + quoted(kExamples / "stick" / "OPEN-R") + " " +
                             quoted(mount_) + " && sync");
    unmount();
    fs::create_directories(voices_ / "GEN");
    for (const char* name : {"hello.wav", "bark_snd.wav", "bye.wav"}) {
      fs::copy_file(kExamples / "voices" / name, voices_ / name);
    }
    platform::RecordingMessenger messenger;
    return copied == 0 && velk_mur::generateMissingFiles(voices_, messenger).ok &&
           shell("cp " + quoted(image_) + " " + quoted(dir_ / "pristine.img")) == 0;
  }

  void restore() {
    fs::copy_file(dir_ / "pristine.img", image_, fs::copy_options::overwrite_existing);
  }

  // Mounts the image; `killAtWrite` > 0 has the driver killed at its Nth write (the stick
  // pulled), `countInto` non-empty has its writes listed there.
  bool mount(const std::string& strace) {
    const std::string driver = "fusefat -f -o rw+ " + quoted(image_) + " " + quoted(mount_);
    const std::string command =
        strace.empty() ? driver : "strace -f -qq -e trace=write " + strace + " " + driver;
    const fs::path pid = dir_ / "driver.pid";
    if (shell("(" + command + " >/dev/null 2>&1 & echo $! >" + quoted(pid) + ")") != 0)
      return false;
    std::ifstream(pid) >> driver_;
    for (int i = 0; i < 100; ++i) {
      if (shell("mountpoint -q " + quoted(mount_)) == 0) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }

  void unmount() {
    shell("fusermount -u " + quoted(mount_) + " >/dev/null 2>&1 || fusermount -u -z " +
          quoted(mount_) + " >/dev/null 2>&1");
    if (driver_ <= 0) return;
    // The driver writes what it holds before it ends; one that hangs on a damaged image is
    // ended (it is this test's own process).
    const std::string alive =
        "ps -o stat= -p " + std::to_string(driver_) + " 2>/dev/null | grep -q '^[^Z]'";
    for (int i = 0; i < 100 && shell(alive) == 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (shell(alive) == 0) shell("kill -9 " + std::to_string(driver_));
    driver_ = 0;
  }

  // Runs `velk_mur COMMAND` on the mounted stick; its exit status, its output in `output`.
  // A driver that hangs on a damaged image for 10 s is ended, which ends the command too, and
  // the status is then kDriverHung.
  static constexpr int kDriverHung = 200;
  int run(const std::string& command, std::string& output) {
    const fs::path log = dir_ / "output.txt";
    const std::string driver = std::to_string(driver_);
    const std::string program = "cd " + quoted(dir_.path()) + " && HOME=" + quoted(dir_ / "home") +
                                " XDG_DATA_HOME=" + quoted(dir_ / "home") + " " + VELK_MUR_PROGRAM +
                                " " + command + " --stick " + quoted(mount_) + " --audio " +
                                quoted(voices_) + " </dev/null >" + quoted(log) + " 2>&1";
    const fs::path hung = dir_ / "hung";
    fs::remove(hung);
    const int status =
        shell("(" + program + ") & p=$!; (sleep 10; touch " + quoted(hung) + "; kill -9 " + driver +
              ") >/dev/null 2>&1 & w=$!; wait $p; s=$?; " + "kill $w 2>/dev/null; exit $s");
    std::ifstream in(log);
    output.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return fs::exists(hung) ? kDriverHung : status;
  }

  // FUSE renames a file removed while still open (the save's lock file) to .fuse_hidden* until
  // it is closed; an unmount racing the close leaves it. A FAT driver in the kernel has none.
  TreeSnapshot snapshot() const {
    TreeSnapshot tree = snapshotTree(mount_);
    std::erase_if(tree, [](const auto& file) {
      return file.first.find("/.fuse_hidden") != std::string::npos;
    });
    return tree;
  }

  // What fsck.fat, only looking, says of the image.
  bool fileSystemConsistent() const {
    return shell("fsck.fat -n " + quoted(image_) + " >/dev/null 2>&1") == 0;
  }
  const fs::path& dir() const { return dir_.path(); }

 private:
  TempDir dir_;
  fs::path image_;
  fs::path mount_;
  fs::path voices_;
  long driver_ = 0;
};

// The names whose bytes differ from both the old and the new stick, for a failure's message.
std::string differingNames(const TreeSnapshot& now, const TreeSnapshot& before,
                           const TreeSnapshot& after) {
  const auto bytesIn = [](const TreeSnapshot& tree, const std::string& name) {
    const auto found = std::find_if(tree.begin(), tree.end(),
                                    [&](const auto& file) { return file.first == name; });
    return found == tree.end() ? std::optional<platform::Bytes>{}
                               : std::optional<platform::Bytes>{found->second};
  };
  std::string text = "\nfiles neither old nor new:";
  for (const auto& [name, bytes] : now) {
    if (bytesIn(before, name) != bytes && bytesIn(after, name) != bytes) text += " " + name;
  }
  for (const auto& [name, bytes] : before) {
    if (!bytesIn(now, name) && bytesIn(after, name)) text += " (lost) " + name;
  }
  return text;
}

}  // namespace

TEST(FatPull, AStickPulledAtSampledWritesIsOldNewOrNamesWhatWasLost) {
  if (const std::string why = missingTools(); !why.empty()) GTEST_SKIP() << why;
  FatStick stick;
  ASSERT_TRUE(stick.make());
  std::string output;
  ASSERT_TRUE(stick.mount(""));
  const TreeSnapshot before = stick.snapshot();
  stick.unmount();

  // The reference save, its driver's writes counted.
  const fs::path trace = stick.dir() / "writes.txt";
  ASSERT_TRUE(stick.mount("-o " + quoted(trace)));
  ASSERT_EQ(stick.run("save", output), 0) << output;
  const TreeSnapshot after = stick.snapshot();
  stick.unmount();
  std::ifstream traced(trace);
  const auto writes =
      std::count(std::istreambuf_iterator<char>(traced), std::istreambuf_iterator<char>(), '\n');
  ASSERT_GT(writes, 20);

  constexpr int kPoints = 24;
  int passed = 0;
  int driverStuck = 0;
  int damaged = 0;
  for (int point = 1; point <= kPoints; ++point) {
    const long n = 1 + (writes - 1) * point / (kPoints + 1);
    SCOPED_TRACE("driver killed at write " + std::to_string(n));
    stick.restore();
    ASSERT_TRUE(
        stick.mount("-o /dev/null -e inject=write:signal=SIGKILL:when=" + std::to_string(n)));
    stick.run("save", output);
    stick.unmount();
    // A kill between the driver's own writes can leave its allocation table disagreeing with a
    // directory: the medium itself is damaged, below anything a program on top can keep whole.
    const bool fatDamaged = !stick.fileSystemConsistent();
    ASSERT_TRUE(stick.mount(""));
    const int status = stick.run("test", output);
    if (status == FatStick::kDriverHung) {
      // The driver itself hangs on what the kill left of its file allocation table: no program
      // on top of it can answer then, and none claims success.
      ++driverStuck;
      stick.unmount();
      continue;
    }
    const TreeSnapshot now = stick.snapshot();
    stick.unmount();
    const bool whole = now == before || now == after;
    if (fatDamaged && !whole) {
      ++damaged;
      continue;
    }
    if (status == 0) {
      EXPECT_TRUE(whole) << "test succeeded on a stick neither old nor new:\n"
                         << output << differingNames(now, before, after);
    } else {
      EXPECT_TRUE(output.find("lost") != std::string::npos) << output;
    }
    passed += (status == 0 && whole) || (status != 0 && output.find("lost") != std::string::npos);
  }
  std::cout << "[ sweep    ] fusefat pull: " << passed << " of " << kPoints
            << " sampled points passed, " << driverStuck << " left the driver hanging, " << damaged
            << " left the file system itself damaged, of " << writes << " driver writes\n";
  ::testing::Test::RecordProperty("pull_points", kPoints);
}
