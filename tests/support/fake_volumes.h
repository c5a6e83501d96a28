#pragma once
// Mounted volumes for tests: folders that a test "mounts" and "unmounts" by listing them or not.
#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/stick_finder.h"
#include "tests/support/temp_tree.h"

namespace testing_support {

class FakeVolumes : public platform::VolumeSource {
 public:
  // Lists `root` as a volume labelled `label`; with a `marker`, the folder first gets that
  // stick-relative file, which makes it a stick.
  void mount(const std::filesystem::path& root, std::string_view label,
             std::string_view marker = {}) {
    std::filesystem::create_directories(root);
    if (!marker.empty()) writeTextFile(root / marker, "x");
    platform::Volume volume;
    volume.root = root;
    volume.label = std::string(label);
    volume.fileSystem = "FAT16";
    volume.size = 16u << 20;
    volume.clusterSize = 2048;
    volumes_.push_back(volume);
  }
  void unmount(std::string_view label) {
    std::erase_if(volumes_, [&](const platform::Volume& volume) { return volume.label == label; });
  }

  platform::VolumeListing list() override { return {volumes_, ""}; }

 private:
  std::vector<platform::Volume> volumes_;
};

}  // namespace testing_support
