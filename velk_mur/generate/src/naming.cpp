#include "velk_mur/generate/naming.h"

#include "platform/ascii_text.h"
#include "platform/path_text.h"

namespace fs = std::filesystem;

namespace velk_mur {

namespace {
constexpr const char* kGeneratedFolderName = "GEN";
constexpr std::size_t kExtensionLength = 4;
constexpr std::string_view kAudioOnlySuffix = "_SND";
}  // namespace

bool isAudioOnlyName(std::string_view name) {
  if (name.size() <= kAudioOnlySuffix.size()) return false;
  return platform::equalsIgnoreCase(name.substr(name.size() - kAudioOnlySuffix.size()),
                                    kAudioOnlySuffix);
}

std::string recordingName(std::string_view listedFileName) {
  const std::size_t length =
      listedFileName.size() > kExtensionLength ? listedFileName.size() - kExtensionLength : 0;
  return std::string(listedFileName.substr(0, length));
}

fs::path generatedFolder(const fs::path& folder) {
  return folder / kGeneratedFolderName;
}

std::string motionFileName(std::string_view name, char kind, int model) {
  std::string file(name);
  if (kind == kHeadKind) return file.append("_h").append(std::to_string(model)).append(".mtn");
  if (kind != kFullBodyKind) file.append(1, '_').append(1, kind);
  return file.append(".mtn");
}

fs::path motionFilePath(const fs::path& folder, std::string_view name, char kind, int model) {
  const fs::path file = platform::textToPath(motionFileName(name, kind, model));
  return kind == kFullBodyKind ? folder / file : generatedFolder(folder) / file;
}

std::string motionName(std::string_view name, char kind, int model) {
  if (kind == kHeadKind) return "h_any#any_" + std::to_string(model) + std::string(name);
  return std::string(1, kind) + "_any#any_" + std::string(name);
}

std::string ledFileName(std::string_view name) {
  return std::string(name).append(".led");
}

fs::path ledFilePath(const fs::path& folder, std::string_view name) {
  return generatedFolder(folder) / platform::textToPath(ledFileName(name));
}

fs::path recordingPath(const fs::path& folder, std::string_view name) {
  return folder / platform::textToPath(std::string(name) + ".WAV");
}

}  // namespace velk_mur
