#include "motion_file.h"

#include <array>
#include <span>

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

void writeCountedString(platform::Bytes& out, std::string_view text) {
  out.push_back(static_cast<std::uint8_t>(text.size()));
  out.insert(out.end(), text.begin(), text.end());
}

void writePadding(platform::Bytes& out, std::uint32_t count) {
  out.resize(out.size() + count, 0);
}

void writeSectionStart(platform::Bytes& out, std::uint32_t number, std::uint32_t size) {
  platform::putLe32(out, number);
  platform::putLe32(out, size);
}

}  // namespace

bool writeMotionHeader(platform::Bytes& out, int jointCount, std::int64_t keyFrameCount,
                       std::string_view motionName) {
  const std::span<const std::string_view> joints = jointSet(jointCount);
  if (joints.empty() || keyFrameCount < 0 || keyFrameCount > 0xFFFF ||
      motionName.size() > kMaxCountedString) {
    return false;
  }

  const std::uint32_t namesContent = namesSectionContent(motionName.size());
  const std::uint32_t namesSize = padded(namesContent);
  platform::putTag(out, kOmtnMagic);
  writeSectionStart(out, 0, kHeaderSectionSize);
  platform::putLe32(out, kSectionCount);
  platform::putLe16(out, kVersionMajor);
  platform::putLe16(out, kVersionMinor);
  platform::putLe16(out, static_cast<std::uint16_t>(keyFrameCount));
  platform::putLe16(out, kFrameTimeMs);
  platform::putLe32(out, 0);  // options

  writeSectionStart(out, 1, namesSize);
  writeCountedString(out, motionName);
  writeCountedString(out, kMotionCreator);
  writeCountedString(out, kRobotDesign);
  writePadding(out, namesSize - namesContent);

  const std::uint32_t jointsContent = jointsSectionContent(joints);
  const std::uint32_t jointsSize = padded(jointsContent);
  writeSectionStart(out, 2, jointsSize);
  platform::putLe16(out, static_cast<std::uint16_t>(jointCount));
  for (std::string_view joint : joints) writeCountedString(out, joint);
  writePadding(out, jointsSize - jointsContent);

  writeSectionStart(out, 3, keyFramesSectionSize(jointCount, keyFrameCount));
  return true;
}

void writeKeyFrameHeader(platform::Bytes& out, std::int32_t interpolationCount) {
  platform::putLe32(out, static_cast<std::uint32_t>(interpolationCount));
  platform::putLe32(out, 0);
  platform::putLe32(out, 0);
  platform::putLe32(out, 0);
}

void writeJointValue(platform::Bytes& out, std::int32_t value) {
  platform::putLe32(out, static_cast<std::uint32_t>(value));
}

}  // namespace velk_mur
