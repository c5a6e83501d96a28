#include "oda_writer.h"

#include <algorithm>
#include <limits>

#include "platform/byte_order.h"

namespace fs = std::filesystem;

namespace velk_mur {

namespace {

constexpr std::uint16_t kOdaReservedField = 0;
constexpr std::uint16_t kOdaFormatField = 3;
constexpr std::size_t kHeaderPaddingSize = 48;
constexpr std::size_t kSlotPaddingSize = 4;
constexpr std::uint64_t kMaxArchiveSize = std::numeric_limits<std::uint32_t>::max();

}  // namespace

std::uint64_t odaDirectoryEnd(std::uint32_t slotCount) {
  return kOdaHeaderSize + std::uint64_t{slotCount} * kSlotSize;
}

bool OdaWriter::create(const fs::path& archivePath, std::int32_t slotCount) {
  file_.reset();
  sink_ = nullptr;
  platform::OutputFile::Created created = platform::OutputFile::createOrSayWhy(archivePath);
  error_ = created.error;
  file_ = std::move(created.file);
  if (!file_) return false;
  if (createOn(*file_, slotCount)) return true;
  error_ = file_->error();
  file_.reset();
  return false;
}

bool OdaWriter::createOn(platform::ByteSink& sink, std::int32_t slotCount) {
  if (slotCount < 0 || odaDirectoryEnd(static_cast<std::uint32_t>(slotCount)) > kMaxArchiveSize) {
    sink_ = nullptr;
    return false;
  }
  sink_ = &sink;
  slotCount_ = slotCount;
  entryCount_ = 0;
  nextDataOffset_ =
      static_cast<std::uint32_t>(odaDirectoryEnd(static_cast<std::uint32_t>(slotCount)));
  writtenEnd_ = 0;
  directory_.assign(static_cast<std::size_t>(slotCount) * kSlotSize, 0);
  plannedSizes_.clear();
  plannedEnd_ = nextDataOffset_;
  directoryWritten_ = false;
  if (writeHeader()) return true;
  sink_ = nullptr;
  return false;
}

bool OdaWriter::writeHeader() {
  platform::Bytes header;
  platform::putTag(header, kOdaMagic);
  platform::putLe16(header, kOdaReservedField);
  platform::putLe16(header, kOdaFormatField);
  platform::putLe32(header, static_cast<std::uint32_t>(slotCount_));
  platform::putLe32(header, kSlotSize);
  header.resize(header.size() + kHeaderPaddingSize, 0);
  return write(header);
}

void OdaWriter::planEntry(std::string_view entryName, const platform::FourCC& tag,
                          std::uint64_t size) {
  const auto slot = static_cast<std::int32_t>(plannedSizes_.size());
  plannedSizes_.push_back(size);
  // An entry that cannot be added is refused by its add; its slot stays as planned till then.
  if (slot < slotCount_ && entryName.size() <= kMaxEntryNameLength &&
      plannedEnd_ + size <= kMaxArchiveSize) {
    fillSlot(slot, entryName, tag, static_cast<std::uint32_t>(plannedEnd_),
             static_cast<std::uint32_t>(size));
  }
  plannedEnd_ += size;
}

bool OdaWriter::addEntry(const fs::path& sourcePath, std::string_view entryName,
                         const platform::FourCC& tag) {
  if (sink_ == nullptr || entryCount_ >= slotCount_) return false;
  const std::int32_t slot = entryCount_++;
  if (entryName.size() > kMaxEntryNameLength) return false;

  std::optional<platform::InputFile> source = platform::InputFile::open(sourcePath);
  if (!source) return false;
  const std::optional<std::uint64_t> size = source->size();
  if (!size || *size == 0 || nextDataOffset_ + *size > kMaxArchiveSize) return false;
  const bool planned = !plannedSizes_.empty();
  // A source that changed since it was announced would not match the directory written.
  if (planned && (static_cast<std::size_t>(slot) >= plannedSizes_.size() ||
                  plannedSizes_[static_cast<std::size_t>(slot)] != *size)) {
    return false;
  }

  const std::uint32_t dataOffset = nextDataOffset_;
  const auto dataSize = static_cast<std::uint32_t>(*size);
  nextDataOffset_ += dataSize;
  if (!planned) fillSlot(slot, entryName, tag, dataOffset, dataSize);
  if (planned && !directoryWritten_) {
    if (!moveTo(kOdaHeaderSize) || !write(directory_)) return false;
    directoryWritten_ = true;
  }
  return moveTo(dataOffset) && copySource(*source, dataSize);
}

void OdaWriter::fillSlot(std::int32_t slot, std::string_view entryName, const platform::FourCC& tag,
                         std::uint32_t dataOffset, std::uint32_t dataSize) {
  platform::Bytes bytes;
  platform::putTag(bytes, tag);
  bytes.insert(bytes.end(), entryName.begin(), entryName.end());
  bytes.resize(tag.size() + kEntryNameFieldSize, 0);
  platform::putLe32(bytes, dataOffset);
  platform::putLe32(bytes, dataSize);
  bytes.resize(bytes.size() + kSlotPaddingSize, 0);
  std::copy(bytes.begin(), bytes.end(),
            directory_.begin() + static_cast<std::ptrdiff_t>(std::size_t(slot) * kSlotSize));
}

// Moves to an absolute offset, filling any gap past the written end with zero bytes (the
// directory, until the archive is finished). Appending needs no move at all.
bool OdaWriter::moveTo(std::uint64_t offset) {
  if (offset == sink_->position()) return true;
  if (offset <= writtenEnd_) return sink_->seek(offset);
  if (!sink_->seek(writtenEnd_)) return false;
  const platform::Bytes zeros(static_cast<std::size_t>(offset - writtenEnd_), 0);
  return write(zeros);
}

bool OdaWriter::copySource(platform::InputFile& source, std::uint64_t size) {
  const bool copied = file_ ? file_->append(source, size, copyBuffer_)
                            : platform::copyThrough(*sink_, source, size, copyBuffer_);
  writtenEnd_ = std::max(writtenEnd_, sink_->position());
  return copied;
}

bool OdaWriter::write(std::span<const std::uint8_t> bytes) {
  if (!sink_->write(bytes)) return false;
  writtenEnd_ = std::max(writtenEnd_, sink_->position());
  return true;
}

bool OdaWriter::finish() {
  if (sink_ == nullptr) return false;
  // An archive without data is its header alone; otherwise the directory goes over its zeros.
  const bool directoryWritten = directoryWritten_ || writtenEnd_ <= kOdaHeaderSize ||
                                (moveTo(kOdaHeaderSize) && write(directory_));
  bool ok = directoryWritten;
  if (file_) {
    const platform::FileOutcome closed = file_->close();
    error_ = file_->error();
    ok = ok && static_cast<bool>(closed);
  }
  file_.reset();
  sink_ = nullptr;
  return ok;
}

void OdaWriter::abandon() {
  file_.reset();
  sink_ = nullptr;
}

}  // namespace velk_mur
