#pragma once
// The OPEN-R motion file ("OMTN") as the generator writes it. Sections 0 to 2 and
// section 3's header come from writeMotionHeader; the caller then writes N key frames, each a
// key-frame header followed by J joint values. The whole file is built in memory and written
// to disk in one step.
#include <cstdint>
#include <string_view>

#include "platform/byte_order.h"

namespace velk_mur {

inline constexpr platform::FourCC kOmtnMagic{'O', 'M', 'T', 'N'};
inline constexpr std::string_view kMotionCreator = "VELK_MUR(synthetic)";
inline constexpr std::string_view kRobotDesign = "DRX-1000";

inline constexpr int kHeadJointCount = 3;
inline constexpr int kMouthJointCount = 1;

// Appends the magic, sections 0, 1 and 2 and section 3's number and size. The joint count
// chooses the joint set (3 head, 1 mouth); any other count, a key-frame count outside 16 bits
// or a name longer than 255 characters is refused before anything is appended.
bool writeMotionHeader(platform::Bytes& out, int jointCount, std::int64_t keyFrameCount,
                       std::string_view motionName);

// The interpolation count and three zero fields (16 bytes).
void writeKeyFrameHeader(platform::Bytes& out, std::int32_t interpolationCount);

// One signed 32-bit joint value in micro-radians.
void writeJointValue(platform::Bytes& out, std::int32_t value);

}  // namespace velk_mur
