#include "stick_file.h"

#include <string>

#include "platform/case_path.h"
#include "platform/path_text.h"

namespace fs = std::filesystem;

namespace velk_mur {

bool StickFile::open(const fs::path& path, StickMode mode) {
  output_.reset();
  input_.reset();
  failure_ = platform::FileError::None;
  path_ = platform::resolveCase(path);
  if (mode == StickMode::Write) {
    platform::OutputFile::Created created = platform::OutputFile::createOrSayWhy(path);
    output_ = std::move(created.file);
    failure_ = created.error;
    if (output_) path_ = output_->path();
    return output_.has_value();
  }
  input_ = platform::InputFile::open(path);
  if (input_) path_ = input_->path();
  return input_.has_value();
}

bool StickFile::write(std::span<const std::uint8_t> bytes) {
  return output_ && output_->write(bytes);
}

bool StickFile::seek(std::uint64_t offset) {
  if (output_) return output_->seek(offset);
  if (input_) return input_->seek(offset);
  return false;
}

std::uint64_t StickFile::position() const {
  return output_ ? output_->position() : 0;
}

bool StickFile::read(std::span<std::uint8_t> out) {
  return input_ && input_->read(out);
}

platform::FileOutcome StickFile::close() {
  if (input_) {
    const bool closed = input_->close();
    input_.reset();
    return {closed ? platform::FileError::None : platform::FileError::Io};
  }
  if (!output_) return {platform::FileError::Io};
  const platform::FileOutcome closed = output_->close();
  failure_ = closed.error;
  output_.reset();
  return closed;
}

fs::path stickFilePath(const fs::path& stickRoot, std::string_view relativeName,
                       std::string_view extension) {
  return stickRoot / platform::textToPath(platform::dottedName(relativeName, extension));
}

bool openOnStick(StickFile& file, const fs::path& stickRoot, std::string_view relativeName,
                 std::string_view extension, StickMode mode, fs::path* fullPath) {
  const bool opened = file.open(stickFilePath(stickRoot, relativeName, extension), mode);
  if (fullPath != nullptr) *fullPath = file.path();
  return opened;
}

}  // namespace velk_mur
