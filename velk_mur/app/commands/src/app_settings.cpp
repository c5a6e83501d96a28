#include "velk_mur/commands/app_settings.h"

#include <cstdlib>
#include <system_error>

#include "platform/backups.h"
#include "platform/path_text.h"
#include "platform/settings.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace velk_mur {

namespace {

std::string cutToPathLimit(std::string text) {
  if (text.size() > kMaxPathText) text.resize(kMaxPathText);
  return text;
}

#ifndef _WIN32
// The folder where the file system holding `folder` is mounted: the highest ancestor that
// is still on the same device.
fs::path mountPointOf(const fs::path& folder) {
  std::error_code error;
  fs::path current = fs::absolute(folder, error).lexically_normal();
  if (error) return fs::path("/");
  struct stat here {};
  if (::stat(current.c_str(), &here) != 0) return current.root_path();
  while (current.has_relative_path()) {
    fs::path parent = current.parent_path();
    if (parent == current) break;
    struct stat above {};
    if (::stat(parent.c_str(), &above) != 0 || above.st_dev != here.st_dev) break;
    current = parent;
  }
  return current;
}
#endif

}  // namespace

AppEnvironment processEnvironment() {
  AppEnvironment environment;
  std::error_code error;
  environment.currentFolder = fs::current_path(error);
  if (error) environment.currentFolder = ".";
#ifndef _WIN32
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    environment.homeFolder = home;
  }
#endif
  environment.backupsFolder = platform::defaultBackupsFolder().value_or(fs::path());
  return environment;
}

fs::path settingsFilePath(const AppEnvironment& environment) {
  return environment.currentFolder / kSettingsFileName;
}

std::string defaultStickPath(const AppEnvironment& environment) {
#ifdef _WIN32
  return platform::pathToText(environment.currentFolder).substr(0, 3);
#else
  std::string mountPoint = platform::pathToText(mountPointOf(environment.currentFolder));
  // A trailing separator left by the walk is dropped so "/" stays "/" and others read plainly.
  while (mountPoint.size() > 1 && mountPoint.back() == '/') mountPoint.pop_back();
  return mountPoint;
#endif
}

std::string defaultAudioPath([[maybe_unused]] const AppEnvironment& environment) {
#ifdef _WIN32
  return "c:\\aibo\\mydata";
#else
  const fs::path relative = fs::path("aibo") / "mydata";
  if (environment.homeFolder.empty()) return platform::pathToText(relative);
  return platform::pathToText(environment.homeFolder / relative);
#endif
}

PathTexts loadPathTexts(const AppEnvironment& environment) {
  const fs::path file = settingsFilePath(environment);
  PathTexts paths;
  paths.stickPath = cutToPathLimit(platform::readProfileString(
      file, kSettingsSection, kStickPathKey, defaultStickPath(environment)));
  paths.audioPath = cutToPathLimit(platform::readProfileString(
      file, kSettingsSection, kAudioPathKey, defaultAudioPath(environment)));
  return paths;
}

bool storePathTexts(const AppEnvironment& environment, const PathTexts& paths) {
  const platform::ProfileEntry entries[] = {{kStickPathKey, paths.stickPath},
                                            {kAudioPathKey, paths.audioPath}};
  return platform::writeProfileStrings(settingsFilePath(environment), kSettingsSection, entries);
}

}  // namespace velk_mur
