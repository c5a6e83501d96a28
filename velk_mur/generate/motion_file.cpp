#include "velk_mur/generate/motion_file.h"

#include <array>
#include <span>
#include <vector>

namespace velk_mur {

namespace {

constexpr std::uint32_t kHeaderSectionSize = 24;
constexpr std::uint32_t kSectionCount = 4;
constexpr std::uint16_t kVersionMajor = 1;
constexpr std::uint16_t kVersionMinor = 2;
constexpr std::uint16_t kFrameTimeMs = 16;
constexpr std::uint32_t kSectionHeaderSize = 8;
constexpr std::size_t kMaxCountedString = 255;

constexpr std::array<std::string_view, 3> kHeadJoints = {
    "PRM:/r1/c1-Joint2:11", "PRM:/r1/c1/c2-Joint2:12", "PRM:/r1/c1/c2/c3-Joint2:13"};
constexpr std::array<std::string_view, 1> kMouthJoints = {"PRM:/r1/c1/c2/c3/c4-Joint2:14"};

std::span<const std::string_view> jointSet(int jointCount) {
  if (jointCount == kHeadJointCount) return kHeadJoints;
  if (jointCount == kMouthJointCount) return kMouthJoints;
  return {};
}

// Rounds a section's size up to a multiple of 4; the difference is its zero padding.
constexpr std::uint32_t padded(std::uint32_t size) {
  return (size + 3) / 4 * 4;
}

std::uint32_t namesSectionContent(std::size_t motionNameLength) {
  return kSectionHeaderSize + 3 +
         static_cast<std::uint32_t>(motionNameLength + kMotionCreator.size() + kRobotDesign.size());
}

std::uint32_t jointsSectionContent(std::span<const std::string_view> joints) {
  std::uint32_t size = kSectionHeaderSize + 2;
  for (std::string_view joint : joints) size += 1 + static_cast<std::uint32_t>(joint.size());
  return size;
}

std::uint32_t keyFramesSectionSize(int jointCount, std::int64_t keyFrames) {
  return static_cast<std::uint32_t>(kSectionHeaderSize + keyFrames * (4 + jointCount) * 4);
}

bool writeCountedString(platform::ByteSink& sink, std::string_view text) {
  const platform::Bytes length{static_cast<std::uint8_t>(text.size())};
  if (!sink.write(length)) return false;
  return text.empty() || sink.writeText(text);
}

bool writePadding(platform::ByteSink& sink, std::uint32_t count) {
  const platform::Bytes zeros(count, 0);
  return count == 0 || sink.write(zeros);
}

bool writeSectionStart(platform::ByteSink& sink, std::uint32_t number, std::uint32_t size) {
  platform::Bytes bytes;
  platform::putLe32(bytes, number);
  platform::putLe32(bytes, size);
  return sink.write(bytes);
}

}  // namespace

bool writeMotionHeader(platform::ByteSink& sink, int jointCount, std::int64_t keyFrameCount,
                       std::string_view motionName) {
  const std::span<const std::string_view> joints = jointSet(jointCount);
  if (joints.empty() || keyFrameCount < 0 || keyFrameCount > 0xFFFF ||
      motionName.size() > kMaxCountedString) {
    return false;
  }

  // Section 0 and the start of section 1: the first 36 bytes, in one write.
  const std::uint32_t namesContent = namesSectionContent(motionName.size());
  const std::uint32_t namesSize = padded(namesContent);
  platform::Bytes start(kOmtnMagic, kOmtnMagic + 4);
  platform::putLe32(start, 0);
  platform::putLe32(start, kHeaderSectionSize);
  platform::putLe32(start, kSectionCount);
  platform::putLe16(start, kVersionMajor);
  platform::putLe16(start, kVersionMinor);
  platform::putLe16(start, static_cast<std::uint16_t>(keyFrameCount));
  platform::putLe16(start, kFrameTimeMs);
  platform::putLe32(start, 0);  // options
  platform::putLe32(start, 1);
  platform::putLe32(start, namesSize);
  if (!sink.write(start)) return false;

  if (!writeCountedString(sink, motionName) || !writeCountedString(sink, kMotionCreator) ||
      !writeCountedString(sink, kRobotDesign) || !writePadding(sink, namesSize - namesContent)) {
    return false;
  }

  const std::uint32_t jointsContent = jointsSectionContent(joints);
  const std::uint32_t jointsSize = padded(jointsContent);
  if (!writeSectionStart(sink, 2, jointsSize)) return false;
  platform::Bytes count;
  platform::putLe16(count, static_cast<std::uint16_t>(jointCount));
  if (!sink.write(count)) return false;
  for (std::string_view joint : joints) {
    if (!writeCountedString(sink, joint)) return false;
  }
  if (!writePadding(sink, jointsSize - jointsContent)) return false;

  return writeSectionStart(sink, 3, keyFramesSectionSize(jointCount, keyFrameCount));
}

bool writeKeyFrameHeader(platform::ByteSink& sink, std::int32_t interpolationCount) {
  platform::Bytes bytes;
  platform::putLe32(bytes, static_cast<std::uint32_t>(interpolationCount));
  platform::putLe32(bytes, 0);
  platform::putLe32(bytes, 0);
  platform::putLe32(bytes, 0);
  return sink.write(bytes);
}

bool writeJointValue(platform::ByteSink& sink, std::int32_t value) {
  platform::Bytes bytes;
  platform::putLe32(bytes, static_cast<std::uint32_t>(value));
  return sink.write(bytes);
}

}  // namespace velk_mur
