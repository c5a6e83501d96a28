#include "tests/velk_mur/generate/file_structure.h"

#include <cstring>

namespace generate_tests {

namespace {

std::int32_t le32(const platform::Bytes& b, std::size_t at) {
  return static_cast<std::int32_t>(platform::getLe32(b.data() + at));
}

}  // namespace

std::string checkMotionFile(const platform::Bytes& file, MotionLayout& layout) {
  if (file.size() < 28 || std::memcmp(file.data(), "OMTN", 4) != 0) return "no OMTN magic";
  std::size_t offset = 4;
  std::size_t sectionStart[4] = {};
  std::size_t sectionSize[4] = {};
  for (int section = 0; section < 4; ++section) {
    if (offset + 8 > file.size()) return "section header beyond the end";
    if (le32(file, offset) != section) return "section number out of order";
    const std::int32_t size = le32(file, offset + 4);
    if (size < 8 || size % 4 != 0) return "section size not a multiple of 4";
    sectionStart[section] = offset;
    sectionSize[section] = static_cast<std::size_t>(size);
    offset += static_cast<std::size_t>(size);
    if (offset > file.size()) return "section beyond the end";
  }
  if (offset != file.size()) return "sections do not end at the end of the file";
  if (sectionSize[0] != 24 || le32(file, 12) != 4) return "bad section 0";
  if (platform::getLe16(file.data() + 16) != 1 || platform::getLe16(file.data() + 18) != 2 ||
      platform::getLe16(file.data() + 22) != 16 || le32(file, 24) != 0) {
    return "bad header fields";
  }
  layout.keyFrames = platform::getLe16(file.data() + 20);

  // Section 1: three counted strings, then zero padding.
  std::size_t at = sectionStart[1] + 8;
  std::vector<std::string> strings;
  for (int i = 0; i < 3; ++i) {
    const std::size_t length = file[at];
    strings.emplace_back(reinterpret_cast<const char*>(file.data() + at + 1), length);
    at += 1 + length;
  }
  if (strings[1] != "VELK_MUR(synthetic)" || strings[2] != "DRX-1000") return "bad creator";
  layout.motionName = strings[0];
  const std::size_t namesEnd = sectionStart[1] + sectionSize[1];
  if (at > namesEnd || namesEnd - at > 3) return "section 1 padding wrong";
  for (; at < namesEnd; ++at) {
    if (file[at] != 0) return "section 1 padding not zero";
  }

  // Section 2: joint count, joint names, padding.
  at = sectionStart[2] + 8;
  layout.joints = platform::getLe16(file.data() + at);
  at += 2;
  for (int j = 0; j < layout.joints; ++j) at += 1 + file[at];
  const std::size_t jointsEnd = sectionStart[2] + sectionSize[2];
  if (at > jointsEnd || jointsEnd - at > 3) return "section 2 padding wrong";

  // Section 3: key frames.
  const std::size_t frameSize = static_cast<std::size_t>(4 + layout.joints) * 4;
  if (sectionSize[3] != 8 + static_cast<std::size_t>(layout.keyFrames) * frameSize) {
    return "section 3 size does not match N";
  }
  at = sectionStart[3] + 8;
  for (int k = 0; k < layout.keyFrames; ++k, at += frameSize) {
    layout.interpolation.push_back(le32(file, at));
    if (le32(file, at + 4) != 0 || le32(file, at + 8) != 0 || le32(file, at + 12) != 0) {
      return "key frame fields not zero";
    }
    std::vector<std::int32_t> values;
    for (int j = 0; j < layout.joints; ++j) values.push_back(le32(file, at + 16 + 4 * j));
    layout.values.push_back(values);
  }
  return "";
}

std::string checkLedFile(const platform::Bytes& file, std::vector<NoteEvent>& events) {
  const platform::Bytes header = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 0x78};
  if (file.size() < 22 || !std::equal(header.begin(), header.end(), file.begin())) {
    return "bad header chunk";
  }
  if (std::memcmp(file.data() + 14, "MTrk", 4) != 0) return "no track chunk";
  if (platform::getBe32(file.data() + 18) != file.size() - 22) return "track length wrong";
  std::size_t at = 22;
  std::uint32_t tick = 0;
  bool ended = false;
  while (at < file.size()) {
    if (ended) return "events after the end of track";
    std::uint32_t delta = 0;
    int lengthBytes = 0;
    for (;;) {
      if (at >= file.size() || ++lengthBytes > 4) return "bad delta time";
      const std::uint8_t byte = file[at++];
      delta = (delta << 7) | (byte & 0x7F);
      if ((byte & 0x80) == 0) break;
    }
    tick += delta;
    if (at >= file.size()) return "event missing";
    const std::uint8_t status = file[at];
    if (status == 0xFF) {
      if (at + 2 >= file.size()) return "meta event cut";
      const std::uint8_t type = file[at + 1];
      const std::size_t length = file[at + 2];
      at += 3 + length;
      if (at > file.size()) return "meta event cut";
      if (type == 0x2F) ended = true;
    } else if (status == 0x90) {
      if (at + 3 > file.size()) return "note event cut";
      events.push_back({tick, file[at + 1], file[at + 2]});
      at += 3;
    } else {
      return "running status or unknown event";
    }
  }
  return ended ? "" : "no end of track";
}

}  // namespace generate_tests
