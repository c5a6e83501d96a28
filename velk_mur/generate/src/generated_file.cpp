#include "generated_file.h"

#include <optional>

#include "platform/files.h"

namespace velk_mur {

bool writeGeneratedFile(const std::filesystem::path& path, std::span<const std::uint8_t> content) {
  std::optional<platform::OutputFile> file = platform::OutputFile::create(path);
  if (!file) return false;
  const bool written = file->write(content);
  const bool closed = static_cast<bool>(file->close());
  if (written && closed) return true;
  platform::removeFile(file->path());
  return false;
}

}  // namespace velk_mur
