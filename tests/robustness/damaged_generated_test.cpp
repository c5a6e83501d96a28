// Generated files damaged after the generation pass (cut short, overwritten, resized) are
// refused by the check pass, which names the file, instead of being packed on the stick. One
// row per kind of file: the readers' own tests name each way a file can be damaged.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/gen_wav_maker.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/temp_tree.h"
#include "velk_mur/generate/folder_passes.h"

namespace fs = std::filesystem;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;

namespace {

constexpr const char* kDamaged = "Damaged generated file: please delete it and Generate again\n";

struct Case {
  const char* what;
  const char* file;  // in GEN
  std::function<platform::Bytes(platform::Bytes)> damage;
};

}  // namespace

TEST(DamagedGeneratedFiles, CheckPassNamesTheDamagedFile) {
  const Case cases[] = {
      {"LED file cut short", "hello.led",
       [](platform::Bytes b) { return platform::Bytes(b.begin(), b.end() - 1); }},
      {"garbage head motion", "hello_h7.mtn",
       [](platform::Bytes b) { return platform::Bytes(b.size(), 0x5A); }},
      {"mouth motion with a section size off", "hello_m.mtn",
       [](platform::Bytes b) {
         ++b[8];
         return b;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    testing_support::writeWav(dir / "hello.wav", testing_support::halfSilentHalfLoud());
    fs::create_directories(dir / "GEN");
    platform::RecordingMessenger messenger;
    ASSERT_TRUE(velk_mur::generateMissingFiles(dir.path(), messenger).ok);
    ASSERT_EQ(velk_mur::checkAudioFolder(dir.path(), messenger).count, 1);
    const fs::path damaged = dir / "GEN" / c.file;
    writeFile(damaged, c.damage(readFile(damaged)));

    messenger.clear();
    EXPECT_EQ(velk_mur::checkAudioFolder(dir.path(), messenger).count, -1);
    EXPECT_EQ(messenger.texts(), std::vector<std::string>{kDamaged + damaged.string()});
  }
}
