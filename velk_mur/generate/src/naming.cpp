#include "velk_mur/generate/naming.h"

#include "platform/path_text.h"

namespace fs = std::filesystem;

namespace velk_mur {

namespace {
constexpr const char* kGeneratedFolderName = "GEN";
constexpr std::size_t kExtensionLength = 4;
}  // namespace

std::string recordingName(std::string_view listedFileName) {
  const std::size_t length =
      listedFileName.size() > kExtensionLength ? listedFileName.size() - kExtensionLength : 0;
  return std::string(listedFileName.substr(0, length));
}

fs::path generatedFolder(const fs::path& folder) {
  return folder / kGeneratedFolderName;
}

fs::path motionFilePath(const fs::path& folder, std::string_view name, char kind, int model) {
  const std::string base(name);
  if (kind == kFullBodyKind) return folder / platform::textToPath(base + ".mtn");
  if (kind == kHeadKind) {
    return generatedFolder(folder) /
           platform::textToPath(base + "_h" + std::to_string(model) + ".mtn");
  }
  return generatedFolder(folder) / platform::textToPath(base + "_" + kind + ".mtn");
}

std::string motionName(std::string_view name, char kind, int model) {
  if (kind == kHeadKind) return "h_any#any_" + std::to_string(model) + std::string(name);
  return std::string(1, kind) + "_any#any_" + std::string(name);
}

fs::path ledFilePath(const fs::path& folder, std::string_view name) {
  return generatedFolder(folder) / platform::textToPath(std::string(name) + ".led");
}

fs::path recordingPath(const fs::path& folder, std::string_view name) {
  return folder / platform::textToPath(std::string(name) + ".WAV");
}

}  // namespace velk_mur
