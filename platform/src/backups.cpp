#include "platform/backups.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>

#include "platform/case_path.h"
#include "platform/files.h"
#include "platform/path_text.h"

#ifdef _WIN32
#include <shlobj.h>
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace platform {

namespace {

constexpr std::string_view kUnfinished = ".partial";
// "2026-12-07_08-15-02", with "_02", "_03", ... for more backups in the same second.
constexpr std::size_t kDateLength = 19;

std::string dateName() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d_%H-%M-%S", &local);
  return text;
}

bool isDateName(std::string_view name) {
  if (name.size() != kDateLength && name.size() != kDateLength + 3) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    const bool digit = c >= '0' && c <= '9';
    const bool separator = i == 4 || i == 7 || i == 13 || i == 16;
    if (i == 10 || i == kDateLength) {
      if (c != '_') return false;
    } else if (separator ? c != '-' : !digit) {
      return false;
    }
  }
  return true;
}

// "2026-12-07_08-15-02_02" shows as "2026-12-07 08:15:02 (2)".
std::string shownDate(std::string_view name) {
  std::string date(name.substr(0, kDateLength));
  date[10] = ' ';
  date[13] = ':';
  date[16] = ':';
  if (name.size() > kDateLength) date += " (" + std::string(name.substr(kDateLength + 1)) + ")";
  return date;
}

std::string failureText(const std::string& what, const fs::path& path,
                        const std::error_code& error) {
  std::string text = what + "\n" + pathToText(path);
  if (error) text += "\n" + error.message();
  return text;
}

// The backups folder's dated entries, oldest first, and the unfinished ones.
struct Entries {
  std::vector<std::string> finished;
  std::vector<std::string> unfinished;
};

std::optional<Entries> readEntries(const fs::path& backups, std::error_code& error) {
  Entries entries;
  fs::directory_iterator it(backups, error);
  if (error) return std::nullopt;
  for (; it != fs::directory_iterator(); it.increment(error)) {
    const std::string name = pathToText(it->path().filename());
    if (name.ends_with(kUnfinished)) {
      entries.unfinished.push_back(name);
    } else if (isDateName(name)) {
      entries.finished.push_back(name);
    }
  }
  if (error) return std::nullopt;
  std::sort(entries.finished.begin(), entries.finished.end());
  return entries;
}

// Old backups and unfinished copies go; a folder that will not go is simply kept.
void tidy(const fs::path& backups, std::size_t keep) {
  std::error_code error;
  const std::optional<Entries> entries = readEntries(backups, error);
  if (!entries) return;
  for (const std::string& name : entries->unfinished)
    fs::remove_all(backups / textToPath(name), error);
  if (keep == 0 || entries->finished.size() <= keep) return;
  const std::size_t surplus = entries->finished.size() - keep;
  for (std::size_t i = 0; i < surplus; ++i) {
    fs::remove_all(backups / textToPath(entries->finished[i]), error);
  }
}

// A name after every backup there: one removed as the oldest is never taken again, since the
// new backup would then sort first and be the next one removed.
std::string freeName(const fs::path& backups) {
  std::error_code error;
  const std::optional<Entries> entries = readEntries(backups, error);
  const std::string newest =
      entries && !entries->finished.empty() ? entries->finished.back() : std::string();
  const std::string base = dateName();
  std::string name = base;
  for (int n = 2; n < 100; ++n) {
    const bool taken = fs::exists(backups / textToPath(name), error) ||
                       fs::exists(backups / textToPath(name + std::string(kUnfinished)), error);
    if (!taken && name > newest) break;
    name = base + (n < 10 ? "_0" : "_") + std::to_string(n);
  }
  return name;
}

}  // namespace

std::optional<fs::path> userDataFolder() {
#ifdef _WIN32
  PWSTR folder = nullptr;
  if (SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder) != S_OK) {
    CoTaskMemFree(folder);
    return std::nullopt;
  }
  fs::path path(folder);
  CoTaskMemFree(folder);
  return path;
#else
  if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && data[0] == '/') {
    return textToPath(data);
  }
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') return std::nullopt;
  return textToPath(home) / ".local" / "share";
#endif
}

std::optional<fs::path> defaultBackupsFolder() {
  const std::optional<fs::path> data = userDataFolder();
  if (!data) return std::nullopt;
  return *data / "velk-tools" / "backups";
}

fs::path stickBackupsFolder(const fs::path& backupsFolder, const Volume& stick) {
  return backupsFolder / textToPath(volumeKey(stick));
}

Volume stickVolume(const fs::path& stickRoot) {
  std::error_code error;
  fs::path root = fs::weakly_canonical(stickRoot, error);
  if (error) root = stickRoot;
  if (std::optional<Volume> volume = volumeOf(root)) {
    // A stick copied into a folder of a bigger disk is named by that folder, not by the disk.
    if (volume->root.lexically_normal() == root.lexically_normal() || volume->root == root) {
      return *volume;
    }
  }
  Volume standIn;
  standIn.root = root;
  return standIn;
}

BackupList listBackups(const fs::path& stickBackups) {
  BackupList list;
  std::error_code error;
  if (!fs::exists(stickBackups, error)) {
    if (error) list.problem = failureText("The backups could not be listed", stickBackups, error);
    return list;
  }
  const std::optional<Entries> entries = readEntries(stickBackups, error);
  if (!entries) {
    list.problem = failureText("The backups could not be listed", stickBackups, error);
    return list;
  }
  for (auto it = entries->finished.rbegin(); it != entries->finished.rend(); ++it) {
    list.backups.push_back({stickBackups / textToPath(*it), shownDate(*it)});
  }
  return list;
}

BackupResult backUpFiles(const fs::path& stickRoot, const std::vector<std::string>& files,
                         const fs::path& backups, std::size_t keep) {
  BackupResult result;
  std::vector<std::pair<fs::path, std::string>> present;
  for (const std::string& file : files) {
    const fs::path source = resolveCase(stickRoot / textToPath(file));
    switch (fileState(source)) {
      case FileState::Present:
        present.emplace_back(source, file);
        break;
      case FileState::Unknown:
        result.problem = failureText("Could not check a file to back up", source, {});
        return result;
      case FileState::Absent:
        break;
    }
  }
  if (present.empty()) return result;

  std::error_code error;
  fs::create_directories(backups, error);
  if (error) {
    result.problem = failureText("The backup folder cannot be written", backups, error);
    return result;
  }
  const std::string name = freeName(backups);
  const fs::path unfinished = backups / textToPath(name + std::string(kUnfinished));
  const auto giveUp = [&](const std::string& what, const fs::path& path) {
    result.problem = failureText(what, path, error);
    fs::remove_all(unfinished, error);
    return result;
  };
  if (!fs::create_directory(unfinished, error) || error) {
    return giveUp("The backup folder cannot be written", backups);
  }
  std::vector<fs::path> folders{unfinished};
  for (const auto& [source, file] : present) {
    const fs::path copy = unfinished / textToPath(file);
    fs::create_directories(copy.parent_path(), error);
    if (error) return giveUp("The backup folder cannot be written", copy.parent_path());
    if (!copyFile(source, copy)) return giveUp("Could not copy a file into the backup", source);
    if (std::find(folders.begin(), folders.end(), copy.parent_path()) == folders.end()) {
      folders.push_back(copy.parent_path());
    }
  }
  for (const fs::path& folder : folders) {
    if (!flushFolder(folder)) return giveUp("Could not write the backup to the disk", folder);
  }
  const fs::path finished = backups / textToPath(name);
  if (!renameFile(unfinished, finished) || !flushFolder(backups)) {
    return giveUp("Could not write the backup to the disk", finished);
  }
  result.folder = finished;
  tidy(backups, keep);
  return result;
}

FileList filesBelow(const fs::path& stickRoot, std::string_view subtree) {
  FileList list;
  const fs::path root = resolveCase(stickRoot / textToPath(subtree));
  std::error_code error;
  fs::recursive_directory_iterator it(root, error);
  for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    list.files.push_back(pathToText(it->path().lexically_relative(resolveCase(stickRoot))));
  }
  if (error) list.problem = failureText("Could not list the files on the stick", root, error);
  std::sort(list.files.begin(), list.files.end());
  return list;
}

}  // namespace platform
