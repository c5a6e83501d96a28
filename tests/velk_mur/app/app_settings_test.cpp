#include "velk_mur/app/app_settings.h"

#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "tests/support/stick_tree.h"

namespace fs = std::filesystem;
using testing_support::environmentIn;
using testing_support::readTextFile;
using testing_support::TempDir;
using testing_support::writeTextFile;

namespace {

#ifndef _WIN32
dev_t deviceOf(const fs::path& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info.st_dev;
}

TEST(DefaultStickPath, IsTheMountPointOfTheCurrentFolder) {
  TempDir dir;
  const velk_mur::AppEnvironment environment = environmentIn(dir);
  const fs::path mountPoint = velk_mur::defaultStickPath(environment);
  ASSERT_TRUE(mountPoint.is_absolute());
  // The current folder lies below it on the same device, and its parent is elsewhere.
  const std::string current = fs::canonical(environment.currentFolder).string();
  EXPECT_EQ(current.rfind(mountPoint.string(), 0), 0u) << current << " " << mountPoint;
  EXPECT_EQ(deviceOf(mountPoint), deviceOf(environment.currentFolder));
  if (mountPoint != mountPoint.root_path()) {
    EXPECT_NE(deviceOf(mountPoint.parent_path()), deviceOf(mountPoint));
  }
}

TEST(DefaultAudioPath, IsAiboMydataInTheHomeFolder) {
  EXPECT_EQ(velk_mur::defaultAudioPath({"/x", "/home/me"}), "/home/me/aibo/mydata");
  EXPECT_EQ(velk_mur::defaultAudioPath({"/x", ""}), "aibo/mydata");
}
#endif

TEST(LoadPathTexts, ReadsEachKeyDefaultsTheOtherAndCutsLongValues) {
  const std::string longPath(400, 'a');
  const std::string cut(velk_mur::kMaxPathText, 'a');
  struct Case {
    const char* what;
    const char* fileName;  // nullptr: no settings file
    std::string text;
    std::optional<std::string> stick, audio;  // nullopt: the default
  };
  const Case cases[] = {
      {"no settings file", nullptr, "", std::nullopt, std::nullopt},
      {"one key, names in lower case", "velk.ini", "[velk_mur]\r\nmemstick=E:\\\r\n", "E:\\",
       std::nullopt},
      {"long values", "VELK.INI",
       "[VELK_MUR]\r\nMEMSTICK=" + longPath + "\r\nLOCALDATA=" + longPath + "\r\n", cut, cut},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const velk_mur::AppEnvironment environment = environmentIn(dir);
    if (c.fileName) writeTextFile(environment.currentFolder / c.fileName, c.text);
    const velk_mur::PathTexts paths = velk_mur::loadPathTexts(environment);
    EXPECT_EQ(paths.stickPath, c.stick.value_or(velk_mur::defaultStickPath(environment)));
    EXPECT_EQ(paths.audioPath, c.audio.value_or(velk_mur::defaultAudioPath(environment)));
    if (!c.fileName) {
      EXPECT_FALSE(fs::exists(velk_mur::settingsFilePath(environment)));
    }
  }
}

TEST(StorePathTexts, KeepsTheRestOfTheFile) {
  TempDir dir;
  const velk_mur::AppEnvironment environment = environmentIn(dir);
  writeTextFile(environment.currentFolder / "VELK.INI",
                "; mine\r\n[VELK_MUR]\r\nLOCALDATA=old\r\nOTHER=1\r\n[B]\r\nk=v\r\n");
  ASSERT_TRUE(velk_mur::storePathTexts(environment, {"F:\\", "d:\\voices"}));
  EXPECT_EQ(
      readTextFile(environment.currentFolder / "VELK.INI"),
      "; mine\r\n[VELK_MUR]\r\nLOCALDATA=d:\\voices\r\nOTHER=1\r\nMEMSTICK=F:\\\r\n[B]\r\nk=v\r\n");
}

}  // namespace
