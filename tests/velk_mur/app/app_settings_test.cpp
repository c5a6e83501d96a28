#include "velk_mur/commands/app_settings.h"

#include <filesystem>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "tests/support/stick_tree.h"

namespace fs = std::filesystem;

namespace velk_mur {
namespace {

#ifndef _WIN32
TEST(DefaultPaths, StickIsTheMountPointOfTheCurrentFolderAudioIsInTheHomeFolder) {
  const testing_support::TempDir dir;
  const AppEnvironment environment = testing_support::environmentIn(dir);
  const fs::path mountPoint = defaultStickPath(environment);
  const auto device = [](const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_dev : dev_t{};
  };
  // The current folder lies below it on the same device, and its parent is elsewhere.
  EXPECT_TRUE(fs::canonical(environment.currentFolder).string().starts_with(mountPoint.string()));
  EXPECT_EQ(device(mountPoint), device(environment.currentFolder));
  EXPECT_TRUE(mountPoint == mountPoint.root_path() ||
              device(mountPoint.parent_path()) != device(mountPoint));
  EXPECT_EQ(defaultAudioPath({"/x", "/home/me"}), "/home/me/aibo/mydata");
}
#else
TEST(DefaultPaths, StickIsTheDriveOfTheCurrentFolderAudioIsFixed) {
  EXPECT_EQ(defaultStickPath({"E:\\aibo\\voices", ""}), "E:\\");
  EXPECT_EQ(defaultAudioPath({"E:\\aibo", ""}), "c:\\aibo\\mydata");
}
#endif

TEST(LoadPathTexts, ReadsEachKeyDefaultsTheOtherAndCutsLongValues) {
  const std::string longPath(400, 'a'), cut(kMaxPathText, 'a');
  // The file's name, its text, and the paths read (empty: the default).
  const std::tuple<const char*, std::string, std::string, std::string> cases[] = {
      {"velk.ini", "[velk_mur]\r\nmemstick=E:\\\r\n", "E:\\", ""},
      {"VELK.INI", "[VELK_MUR]\r\nMEMSTICK=" + longPath + "\r\nLOCALDATA=" + longPath + "\r\n", cut,
       cut}};
  for (const auto& [fileName, text, stick, audio] : cases) {
    const testing_support::TempDir dir;
    const AppEnvironment environment = testing_support::environmentIn(dir);
    testing_support::writeTextFile(environment.currentFolder / fileName, text);
    const PathTexts paths = loadPathTexts(environment);
    EXPECT_EQ(paths.stickPath, stick);
    EXPECT_EQ(paths.audioPath, audio.empty() ? defaultAudioPath(environment) : audio);
  }
}

}  // namespace
}  // namespace velk_mur
