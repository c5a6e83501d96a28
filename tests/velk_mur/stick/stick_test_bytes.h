#pragma once
// Byte builders shared by the stick packaging tests.
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/byte_order.h"

namespace stick_testing {

// `size` bytes repeating `text`, recognisable in a failing comparison.
inline platform::Bytes fileBytes(std::string_view text, std::size_t size) {
  platform::Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<std::uint8_t>(text[i % text.size()]);
  return bytes;
}

inline platform::Bytes concat(std::initializer_list<platform::Bytes> parts) {
  platform::Bytes all;
  for (const platform::Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

struct OdaEntry {
  std::string tag;  // four bytes
  std::string name;
  platform::Bytes data;
};

// An archive laid out independently of the writer: header, slots, then the data.
inline platform::Bytes expectedArchive(std::uint32_t slots, const std::vector<OdaEntry>& entries) {
  platform::Bytes archive{'O', 'D', 'A', 'R', 0, 0, 3, 0};
  platform::putLe32(archive, slots);
  platform::putLe32(archive, 144);
  archive.resize(64 + slots * 144, 0);
  std::uint32_t offset = 64 + slots * 144;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::uint8_t* slot = archive.data() + 64 + i * 144;
    std::copy(entries[i].tag.begin(), entries[i].tag.end(), slot);
    std::copy(entries[i].name.begin(), entries[i].name.end(), slot + 4);
    platform::Bytes numbers;
    platform::putLe32(numbers, offset);
    platform::putLe32(numbers, static_cast<std::uint32_t>(entries[i].data.size()));
    std::copy(numbers.begin(), numbers.end(), slot + 132);
    offset += static_cast<std::uint32_t>(entries[i].data.size());
  }
  for (const OdaEntry& entry : entries)
    archive.insert(archive.end(), entry.data.begin(), entry.data.end());
  return archive;
}

}  // namespace stick_testing
