#include "velk_mur/generate/motion_reader.h"

#include <algorithm>
#include <array>

#include "motion_file.h"
#include "platform/byte_order.h"

namespace velk_mur {

namespace {

constexpr std::size_t kMagicSize = 4;
constexpr std::size_t kSectionHeaderSize = 8;
constexpr std::uint32_t kMinHeaderSectionSize = 24;
constexpr std::uint32_t kRequiredSections = 4;
constexpr std::size_t kKeyFrameFixedFields = 4;

// A bounds-checked cursor over one section; every read says whether the bytes were there.
class Cursor {
 public:
  Cursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  bool has(std::size_t count) const { return bytes_.size() - at_ >= count; }
  bool le16(std::uint16_t& out) {
    if (!has(2)) return false;
    out = platform::getLe16(&bytes_[at_]);
    at_ += 2;
    return true;
  }
  bool le32(std::uint32_t& out) {
    if (!has(4)) return false;
    out = platform::getLe32(&bytes_[at_]);
    at_ += 4;
    return true;
  }
  bool counted(std::string& out) {
    if (!has(1) || !has(1 + std::size_t{bytes_[at_]})) return false;
    const std::size_t length = bytes_[at_];
    out.assign(reinterpret_cast<const char*>(&bytes_[at_ + 1]), length);
    at_ += 1 + length;
    return true;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

struct Section {
  std::span<const std::uint8_t> body;  // without its number and size
  std::string problem;
};

Section sectionAt(std::span<const std::uint8_t> bytes, std::size_t offset, std::uint32_t number) {
  const std::string which = "section " + std::to_string(number);
  if (bytes.size() - offset < kSectionHeaderSize) return {{}, which + " is missing"};
  if (platform::getLe32(&bytes[offset]) != number) {
    return {{}, which + " is numbered " + std::to_string(platform::getLe32(&bytes[offset]))};
  }
  const std::uint32_t size = platform::getLe32(&bytes[offset + 4]);
  if (size < kSectionHeaderSize || size > bytes.size() - offset) {
    return {{}, which + " size " + std::to_string(size) + " does not fit the file"};
  }
  return {bytes.subspan(offset + kSectionHeaderSize, size - kSectionHeaderSize), {}};
}

struct Sections {
  std::array<std::span<const std::uint8_t>, kRequiredSections> bodies;
  std::string problem;
};

// Sections 0 to 3 after the magic, in order and reaching exactly to the end of the file.
Sections splitSections(std::span<const std::uint8_t> bytes) {
  Sections sections;
  std::size_t offset = kMagicSize;
  for (std::uint32_t number = 0; number < kRequiredSections; ++number) {
    const Section section = sectionAt(bytes, offset, number);
    if (!section.problem.empty()) return {{}, section.problem};
    sections.bodies[number] = section.body;
    offset += kSectionHeaderSize + section.body.size();
  }
  if (offset != bytes.size()) {
    return {{}, std::to_string(bytes.size() - offset) + " bytes after the last section"};
  }
  return sections;
}

// Section 0: the section count, the version, the key frame count, the frame time, options.
std::string readHeaderSection(std::span<const std::uint8_t> body, MotionFileContents& motion,
                              std::uint16_t& keyFrameCount) {
  Cursor header(body);
  std::uint32_t sectionCount = 0;
  if (body.size() + kSectionHeaderSize < kMinHeaderSectionSize || !header.le32(sectionCount) ||
      !header.le16(motion.versionMajor) || !header.le16(motion.versionMinor) ||
      !header.le16(keyFrameCount) || !header.le16(motion.frameTimeMs) ||
      !header.le32(motion.options)) {
    return "section 0 is shorter than 24 bytes";
  }
  if (sectionCount != kRequiredSections) {
    return "section 0 declares " + std::to_string(sectionCount) + " sections, not 4";
  }
  if (motion.frameTimeMs == 0) return "frame time of 0 ms";
  return {};
}

// Section 1: the motion's name, its creator and the robot design; section 2: the joints.
std::string readNameSections(std::span<const std::uint8_t> names,
                             std::span<const std::uint8_t> joints, MotionFileContents& motion) {
  Cursor nameCursor(names);
  if (!nameCursor.counted(motion.motionName) || !nameCursor.counted(motion.creator) ||
      !nameCursor.counted(motion.robotDesign)) {
    return "section 1: a name runs past the end of its section";
  }
  Cursor jointCursor(joints);
  std::uint16_t jointCount = 0;
  if (!jointCursor.le16(jointCount)) return "section 2 has no joint count";
  motion.joints.resize(jointCount);
  for (std::string& joint : motion.joints) {
    if (!jointCursor.counted(joint)) return "section 2: a joint name runs past its section";
  }
  return {};
}

// Section 3: each key frame's interpolation count, three unused fields and a value per joint.
std::string readKeyFrames(std::span<const std::uint8_t> body, std::uint16_t keyFrameCount,
                          MotionFileContents& motion) {
  const std::size_t jointCount = motion.joints.size();
  const std::size_t frameSize = (kKeyFrameFixedFields + jointCount) * 4;
  const std::uint64_t needed = std::uint64_t{keyFrameCount} * frameSize;
  if (body.size() != needed) {
    return "section 3 holds " + std::to_string(body.size()) + " bytes, " +
           std::to_string(keyFrameCount) + " key frames of " + std::to_string(jointCount) +
           " joints need " + std::to_string(needed);
  }
  Cursor frames(body);
  motion.keyFrames.resize(keyFrameCount);
  motion.values.reserve(std::size_t{keyFrameCount} * jointCount);
  std::int64_t timeMs = 0;
  for (std::size_t index = 0; index < motion.keyFrames.size(); ++index) {
    MotionKeyFrame& frame = motion.keyFrames[index];
    std::uint32_t field = 0;
    frames.le32(field);
    frame.interpolationCount = static_cast<std::int32_t>(field);
    if (frame.interpolationCount < 0) {
      return "key frame " + std::to_string(index) + " has a negative interpolation count";
    }
    for (int unused = 1; unused < static_cast<int>(kKeyFrameFixedFields); ++unused)
      frames.le32(field);
    // The first key frame is the starting pose; each later one comes after its interpolated
    // frames and itself.
    if (index > 0) timeMs += (std::int64_t{frame.interpolationCount} + 1) * motion.frameTimeMs;
    frame.timeMs = timeMs;
    for (std::size_t joint = 0; joint < jointCount; ++joint) {
      frames.le32(field);
      motion.values.push_back(static_cast<std::int32_t>(field));
    }
  }
  return {};
}

}  // namespace

MotionReadResult readMotionFile(std::span<const std::uint8_t> bytes) {
  MotionReadResult result;
  if (!platform::hasTag(bytes, 0, kOmtnMagic)) {
    result.problem = "not a motion file (no \"OMTN\" magic)";
    return result;
  }
  const Sections sections = splitSections(bytes);
  std::uint16_t keyFrameCount = 0;
  result.problem = sections.problem;
  if (result.problem.empty()) {
    result.problem = readHeaderSection(sections.bodies[0], result.motion, keyFrameCount);
  }
  if (result.problem.empty()) {
    result.problem = readNameSections(sections.bodies[1], sections.bodies[2], result.motion);
  }
  if (result.problem.empty()) {
    result.problem = readKeyFrames(sections.bodies[3], keyFrameCount, result.motion);
  }
  return result;
}

double microRadiansToDegrees(std::int32_t value) {
  return static_cast<double>(value) * 180.0 / 3141592.0;
}

}  // namespace velk_mur
