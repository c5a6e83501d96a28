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

namespace velk_mur {

// Stick-relative names, without extension.
inline constexpr std::string_view kActionCatalogueName = "OPEN-R/APP/PC/AMS/ACTION";
inline constexpr std::string_view kConfigurationName = "OPEN-R/MW/CONF/ERS-7";
inline constexpr std::string_view kAudioArchiveName = "OPEN-R/MW/DATA/P/AUDIO";
inline constexpr std::string_view kMotionArchiveName = "OPEN-R/MW/DATA/P/MOTION";
inline constexpr std::string_view kLedArchiveName = "OPEN-R/MW/DATA/P/LED";

inline constexpr std::string_view kActionCatalogueExtension = "CFG";
inline constexpr std::string_view kConfigurationExtension = "MWC";
inline constexpr std::string_view kArchiveExtension = "ODA";
// Every new file is written under this extension beside its target, then renamed over it.
inline constexpr std::string_view kNewFileExtension = "NEW";

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

  // Closes a file that is open; false when a written file could not be flushed and closed.
  bool close();
  // The path as opened, its letter case resolved on disk.
  const std::filesystem::path& path() const { return path_; }

 private:
  std::optional<platform::OutputFile> output_;
  std::optional<platform::InputFile> input_;
  std::filesystem::path path_;
};

// stickRoot / relativeName "." extension; the root is always taken as a folder.
std::filesystem::path stickFilePath(const std::filesystem::path& stickRoot,
                                    std::string_view relativeName, std::string_view extension);

// Opens the stick file; `fullPath`, when given, receives its path also when the open fails.
bool openOnStick(StickFile& file, const std::filesystem::path& stickRoot,
                 std::string_view relativeName, std::string_view extension, StickMode mode,
                 std::filesystem::path* fullPath = nullptr);

}  // namespace velk_mur
