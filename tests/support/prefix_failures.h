#pragma once
// A writer must report failure when its sink fails at any byte: the sink here accepts a
// limit of bytes and fails every write after, and the helper tries every limit short of the
// whole output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/byte_sink.h"

namespace platform {

class FailingSink : public MemorySink {
 public:
  explicit FailingSink(std::size_t limit) : limit_(limit) {}
  using ByteSink::write;
  bool write(std::span<const std::uint8_t> bytes) override {
    const std::size_t room = limit_ - std::min<std::size_t>(limit_, position());
    if (bytes.size() <= room) return MemorySink::write(bytes);
    MemorySink::write(bytes.first(room));
    return false;
  }

 private:
  std::size_t limit_;
};

}  // namespace platform

namespace testing_support {

// `writer` is called as bool(platform::ByteSink&): true with room for all, false for every
// shorter prefix.
template <typename Writer>
void expectEveryPrefixFails(const Writer& writer) {
  platform::MemorySink whole;
  ASSERT_TRUE(writer(whole));
  const std::size_t size = whole.bytes().size();
  for (std::size_t limit = 0; limit < size; ++limit) {
    platform::FailingSink sink(limit);
    EXPECT_FALSE(writer(sink)) << "fails after " << limit << " of " << size << " bytes";
  }
}

}  // namespace testing_support
