#pragma once
// Writer of one OPEN-R data archive ("ODAR"): a 64-byte header, a directory of fixed slots,
// then the entries' data one after another, each a source file copied whole. The directory is
// kept in memory and written once the archive is finished, so the data streams out in order.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/byte_sink.h"
#include "platform/files.h"

namespace velk_mur {

inline constexpr platform::FourCC kOdaMagic{'O', 'D', 'A', 'R'};
inline constexpr platform::FourCC kWaveTag{'W', 'A', 'V', 'E'};
inline constexpr platform::FourCC kMotionTag{'O', 'M', 'T', 'N'};
inline constexpr platform::FourCC kLedTag{'L', 'E', 'D', 0};

inline constexpr std::uint32_t kOdaHeaderSize = 64;
inline constexpr std::uint32_t kSlotSize = 144;
inline constexpr std::size_t kEntryNameFieldSize = 128;
// The name field keeps its terminating zero.
inline constexpr std::size_t kMaxEntryNameLength = kEntryNameFieldSize - 1;

// Bytes an archive with `slotCount` slots takes before its first entry's data.
std::uint64_t odaDirectoryEnd(std::uint32_t slotCount);

class OdaWriter {
 public:
  OdaWriter() = default;
  OdaWriter(const OdaWriter&) = delete;
  OdaWriter& operator=(const OdaWriter&) = delete;
  // An archive still open is closed without a check.
  ~OdaWriter() = default;

  // Creates (or truncates) the archive file and writes its header.
  bool create(const std::filesystem::path& archivePath, std::int32_t slotCount);
  // The same on a sink the caller owns, e.g. memory in tests.
  bool createOn(platform::ByteSink& sink, std::int32_t slotCount);

  // Announces the next entry before any is added, with the size its source will have. An
  // archive whose entries are all announced is written strictly in order, its directory before
  // the data, so no byte is written twice: some sticks and card readers lose rewrites. Each add
  // must then bring the announced size.
  void planEntry(std::string_view entryName, const platform::FourCC& tag, std::uint64_t size);

  // Appends the whole source file as the next entry. A failed add still uses up its slot; an
  // add beyond the slot count or a name over 127 characters is refused before any write.
  bool addEntry(const std::filesystem::path& sourcePath, std::string_view entryName,
                const platform::FourCC& tag);

  // Writes the directory and closes the archive; false when either fails. Every failed write
  // of data has already failed the create or add that made it, and the caller abandons the
  // archive then.
  bool finish();
  // Closes the archive without a check, for a save that gives up.
  void abandon();
  // Why writing the archive file failed; None while it did not (or a source could not be read).
  platform::FileError error() const { return file_ ? file_->error() : error_; }

 private:
  bool writeHeader();
  void fillSlot(std::int32_t slot, std::string_view entryName, const platform::FourCC& tag,
                std::uint32_t dataOffset, std::uint32_t dataSize);
  bool moveTo(std::uint64_t offset);
  bool copySource(platform::InputFile& source, std::uint64_t size);
  bool write(std::span<const std::uint8_t> bytes);

  std::optional<platform::OutputFile> file_;
  platform::ByteSink* sink_ = nullptr;
  std::int32_t slotCount_ = 0;
  std::int32_t entryCount_ = 0;
  std::uint32_t nextDataOffset_ = 0;
  std::uint64_t writtenEnd_ = 0;
  platform::Bytes directory_;  // every slot, zero until filled
  platform::Bytes copyBuffer_;
  platform::FileError error_ = platform::FileError::None;
  std::vector<std::uint64_t> plannedSizes_;
  std::uint64_t plannedEnd_ = 0;
  bool directoryWritten_ = false;
};

}  // namespace velk_mur
