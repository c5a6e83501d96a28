// The mounted volumes on Windows: every drive letter with a medium in it, except network
// drives and optical discs.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/path_text.h"
#include "platform/volumes.h"

namespace fs = std::filesystem;

namespace platform {

namespace {

std::string wideToText(const wchar_t* text) {
  return pathToText(fs::path(std::wstring(text)));
}

std::optional<Volume> describe(const std::wstring& root) {
  wchar_t label[MAX_PATH + 1] = {};
  wchar_t fileSystem[MAX_PATH + 1] = {};
  DWORD serial = 0;
  // An empty card reader slot has no volume: that is not a problem, just no stick.
  if (!GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, &serial, nullptr, nullptr,
                             fileSystem, MAX_PATH + 1)) {
    return std::nullopt;
  }
  Volume volume;
  volume.root = fs::path(root);
  volume.fileSystem = wideToText(fileSystem);
  volume.label = wideToText(label);
  char serialText[10];
  std::snprintf(serialText, sizeof serialText, "%04X-%04X", static_cast<unsigned>(serial >> 16),
                static_cast<unsigned>(serial & 0xFFFF));
  volume.serial = serialText;
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
  if (GetDiskFreeSpaceW(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                        &totalClusters)) {
    volume.clusterSize = std::uint64_t{sectorsPerCluster} * bytesPerSector;
  }
  ULARGE_INTEGER available{}, total{};
  if (GetDiskFreeSpaceExW(root.c_str(), &available, &total, nullptr)) {
    volume.available = available.QuadPart;
    volume.size = total.QuadPart;
  }
  return volume;
}

}  // namespace

VolumeListing mountedVolumes() {
  VolumeListing listing;
  // No "insert a disk" box for an empty drive while the list is made.
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  const DWORD drives = GetLogicalDrives();
  if (drives == 0) listing.problem = "the list of drives could not be read";
  for (int letter = 0; letter < 26; ++letter) {
    if ((drives & (DWORD{1} << letter)) == 0) continue;
    const std::wstring root{static_cast<wchar_t>(L'A' + letter), L':', L'\\'};
    const UINT type = GetDriveTypeW(root.c_str());
    if (type == DRIVE_REMOTE || type == DRIVE_CDROM || type == DRIVE_NO_ROOT_DIR) continue;
    if (std::optional<Volume> volume = describe(root)) listing.volumes.push_back(*volume);
  }
  SetErrorMode(oldMode);
  return listing;
}

std::optional<Volume> volumeOf(const std::filesystem::path& path) {
  std::error_code error;
  std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
  if (error) resolved = path;
  return volumeHolding(resolved, mountedVolumes().volumes);
}

}  // namespace platform
