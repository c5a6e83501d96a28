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

namespace {

std::int32_t le32(const platform::Bytes& b, std::size_t at) {
  return static_cast<std::int32_t>(platform::getLe32(b.data() + at));
}

std::uint16_t le16(const platform::Bytes& b, std::size_t at) {
  return platform::getLe16(b.data() + at);
}

// Skips `count` counted strings from `at`; the section must end after at most 3 zero bytes.
std::string skipStrings(const platform::Bytes& file, std::size_t& at, int count, std::size_t end) {
  for (int i = 0; i < count && at < end; ++i) at += 1 + file[at];
  if (at > end || end - at > 3) return "padding wrong";
  for (std::size_t p = at; p < end; ++p) {
    if (file[p] != 0) return "padding not zero";
  }
  return "";
}

}  // namespace

std::string checkMotionFile(const platform::Bytes& file, MotionLayout& layout) {
  if (file.size() < 28 || std::memcmp(file.data(), "OMTN", 4) != 0) return "no OMTN magic";
  std::size_t start[5] = {4};  // of each section, and the end of the last
  for (int section = 0; section < 4; ++section) {
    const std::size_t at = start[section];
    if (at + 8 > file.size() || le32(file, at) != section) return "section header wrong";
    const std::int32_t size = le32(file, at + 4);
    if (size < 8 || size % 4 != 0) return "section size not a multiple of 4";
    start[section + 1] = at + static_cast<std::size_t>(size);
    if (start[section + 1] > file.size()) return "section beyond the end";
  }
  if (start[4] != file.size()) return "sections do not end at the end of the file";
  if (start[1] != 28 || le32(file, 12) != 4 || le16(file, 16) != 1 || le16(file, 18) != 2 ||
      le16(file, 22) != 16 || le32(file, 24) != 0) {
    return "bad section 0";
  }
  layout.keyFrames = le16(file, 20);
  std::size_t at = start[1] + 8;
  layout.motionName.assign(reinterpret_cast<const char*>(&file[at + 1]), file[at]);
  at += 1 + file[at];
  const std::string creator =
      "\x13VELK_MUR(synthetic)\x08"
      "DRX-1000";
  if (std::memcmp(&file[at], creator.data(), creator.size()) != 0) return "bad creator";
  if (auto problem = skipStrings(file, at, 2, start[2]); !problem.empty()) return problem;
  at = start[2] + 8;
  layout.joints = le16(file, at);
  at += 2;
  if (auto problem = skipStrings(file, at, layout.joints, start[3]); !problem.empty())
    return problem;
  const std::size_t frameSize = static_cast<std::size_t>(4 + layout.joints) * 4;
  if (start[4] - start[3] != 8 + static_cast<std::size_t>(layout.keyFrames) * frameSize) {
    return "section 3 size does not match N";
  }
  for (at = start[3] + 8; at < start[4]; at += frameSize) {
    layout.interpolation.push_back(le32(file, at));
    if (le32(file, at + 4) != 0 || le32(file, at + 8) != 0 || le32(file, at + 12) != 0) {
      return "key frame fields not zero";
    }
    layout.values.emplace_back();
    for (int j = 0; j < layout.joints; ++j)
      layout.values.back().push_back(le32(file, at + 16 + 4 * j));
  }
  return "";
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
