#include "velk_mur/app/src/app_settings.h"

#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "tests/support/stick_tree.h"

namespace fs = std::filesystem;
using testing_support::environmentIn;
using testing_support::TempDir;

namespace {

#ifndef _WIN32
TEST(DefaultPaths, StickIsTheMountPointOfTheCurrentFolderAudioIsInTheHomeFolder) {
  TempDir dir;
  const velk_mur::AppEnvironment environment = environmentIn(dir);
  const fs::path mountPoint = velk_mur::defaultStickPath(environment);
  const auto device = [](const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_dev : dev_t{};
  };
  // The current folder lies below it on the same device, and its parent is elsewhere.
  EXPECT_TRUE(fs::canonical(environment.currentFolder).string().starts_with(mountPoint.string()));
  EXPECT_EQ(device(mountPoint), device(environment.currentFolder));
  if (mountPoint != mountPoint.root_path()) {
    EXPECT_NE(device(mountPoint.parent_path()), device(mountPoint));
  }
  EXPECT_EQ(velk_mur::defaultAudioPath({"/x", "/home/me"}), "/home/me/aibo/mydata");
}
#else
TEST(DefaultPaths, StickIsTheDriveOfTheCurrentFolderAudioIsFixed) {
  EXPECT_EQ(velk_mur::defaultStickPath({"E:\\aibo\\voices", ""}), "E:\\");
  EXPECT_EQ(velk_mur::defaultAudioPath({"E:\\aibo", ""}), "c:\\aibo\\mydata");
}
#endif

TEST(LoadPathTexts, ReadsEachKeyDefaultsTheOtherAndCutsLongValues) {
  const std::string longPath(400, 'a');
  const std::string cut(velk_mur::kMaxPathText, 'a');
  struct Case {
    const char* fileName;
    std::string text;
    std::optional<std::string> stick, audio;  // nullopt: the default
  };
  const Case cases[] = {
      {"velk.ini", "[velk_mur]\r\nmemstick=E:\\\r\n", "E:\\", std::nullopt},
      {"VELK.INI", "[VELK_MUR]\r\nMEMSTICK=" + longPath + "\r\nLOCALDATA=" + longPath + "\r\n", cut,
       cut}};
  for (const Case& c : cases) {
    TempDir dir;
    const velk_mur::AppEnvironment environment = environmentIn(dir);
    testing_support::writeTextFile(environment.currentFolder / c.fileName, c.text);
    const velk_mur::PathTexts paths = velk_mur::loadPathTexts(environment);
    EXPECT_EQ(paths.stickPath, c.stick.value_or(velk_mur::defaultStickPath(environment)));
    EXPECT_EQ(paths.audioPath, c.audio.value_or(velk_mur::defaultAudioPath(environment)));
  }
}

}  // namespace
