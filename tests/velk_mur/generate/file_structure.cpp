#include "tests/velk_mur/generate/file_structure.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/gen_wav_maker.h"

namespace generate_tests {

platform::Bytes written(const Writer& writer) {
  platform::Bytes bytes;
  EXPECT_TRUE(writer(bytes));
  return bytes;
}

const platform::Bytes& halfSilentHalfLoud() {
  static const platform::Bytes samples = testing_support::halfSilentHalfLoud();
  return samples;
}

std::string checkLedFile(const platform::Bytes& file, std::vector<NoteEvent>& events) {
  const std::string header("MThd\0\0\0\x06\0\0\0\x01\0\x78MTrk", 18);
  if (file.size() < 22 || std::memcmp(file.data(), header.data(), header.size()) != 0) {
    return "bad header or no track chunk";
  }
  if (platform::getBe32(file.data() + 18) != file.size() - 22) return "track length wrong";
  std::uint32_t tick = 0;
  bool ended = false;
  for (std::size_t at = 22; at < file.size();) {
    if (ended) return "events after the end of track";
    std::uint32_t delta = 0;
    for (int lengthBytes = 1;; ++lengthBytes) {
      if (at >= file.size() || lengthBytes > 4) return "bad delta time";
      delta = (delta << 7) | (file[at] & 0x7F);
      if ((file[at++] & 0x80) == 0) break;
    }
    tick += delta;
    if (at + 3 > file.size()) return "event cut";
    if (file[at] == 0xFF) {  // meta event
      ended = file[at + 1] == 0x2F;
      at += 3 + file[at + 2];
      if (at > file.size()) return "meta event cut";
    } else if (file[at] == 0x90) {
      events.push_back({tick, file[at + 1], file[at + 2]});
      at += 3;
    } else {
      return "running status or unknown event";
    }
  }
  return ended ? "" : "no end of track";
}

}  // namespace generate_tests
