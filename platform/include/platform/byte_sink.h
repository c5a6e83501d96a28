#pragma once
// Where the format writers put their bytes: a file on disk or memory.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/byte_order.h"

namespace platform {

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Writes all bytes or reports failure; a failed write may have written some of them.
  virtual bool write(std::span<const std::uint8_t> bytes) = 0;
  // Moves the write position to an absolute offset within what was written.
  virtual bool seek(std::uint64_t offset) = 0;
  virtual std::uint64_t position() const = 0;

  bool write(const Bytes& bytes) { return write(std::span<const std::uint8_t>(bytes)); }
  bool writeText(std::string_view text) {
    return write(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()),
                                               text.size()));
  }
};

class MemorySink : public ByteSink {
 public:
  using ByteSink::write;
  bool write(std::span<const std::uint8_t> bytes) override;
  bool seek(std::uint64_t offset) override;
  std::uint64_t position() const override { return position_; }

  const Bytes& bytes() const { return bytes_; }

 private:
  Bytes bytes_;
  std::size_t position_ = 0;
};

}  // namespace platform
