#pragma once
// The stick's files as the save opens them: one wrapper that reads or writes, and paths formed
// from the stick's root folder. Every write reports its own failure, and the caller checks it.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>

#include "platform/byte_sink.h"
#include "platform/files.h"
#include "velk_mur/stick/stick_paths.h"

namespace velk_mur {

enum class StickMode { Read, Write };

class StickFile final : public platform::ByteSink, public platform::ByteSource {
 public:
  StickFile() = default;
  StickFile(const StickFile&) = delete;
  StickFile& operator=(const StickFile&) = delete;

  // Opens (a write truncates).
  bool open(const std::filesystem::path& path, StickMode mode);

  using ByteSink::write;
  bool write(std::span<const std::uint8_t> bytes) override;
  bool seek(std::uint64_t offset) override;
  std::uint64_t position() const override;
  bool read(std::span<std::uint8_t> out) override;

  // Closes a file that is open; fails when a written file could not be flushed and closed.
  platform::FileOutcome close();
  // Why a write failed; None while every write succeeded.
  platform::FileError error() const { return output_ ? output_->error() : failure_; }
  // The path as opened, its letter case resolved on disk.
  const std::filesystem::path& path() const { return path_; }

 private:
  std::optional<platform::OutputFile> output_;
  std::optional<platform::InputFile> input_;
  std::filesystem::path path_;
  platform::FileError failure_ = platform::FileError::None;
};

// stickRoot / relativeName "." extension; the root is always taken as a folder.
std::filesystem::path stickFilePath(const std::filesystem::path& stickRoot,
                                    std::string_view relativeName, std::string_view extension);

// Opens the stick file; `fullPath`, when given, receives its path also when the open fails.
bool openOnStick(StickFile& file, const std::filesystem::path& stickRoot,
                 std::string_view relativeName, std::string_view extension, StickMode mode,
                 std::filesystem::path* fullPath = nullptr);

}  // namespace velk_mur
