#pragma once
// What one recording will do on the robot, gathered from the files a save would pack: the
// sound, the head and mouth motions in GEN (or the user's full-body motion) and the eye-LED
// pattern, all on one time line in seconds. No drawing here; the pictures are made from this.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/byte_order.h"
#include "velk_mur/generate/led_file.h"
#include "velk_mur/generate/wav_format.h"

namespace velk_mur {

struct JointCurve {
  std::string joint;                  // the OPEN-R joint name
  std::string label;                  // short words for a legend
  std::vector<double> seconds;        // key frame times
  std::vector<double> degrees;        // the joint's angle at each key frame
  double valueAt(double time) const;  // linear between key frames, held outside them
};

struct LedSpan {
  double from = 0;  // seconds
  double to = 0;
};

struct RecordingPreview {
  std::string name;
  double seconds = 0;                    // the recording's length
  platform::UninitializedBytes samples;  // unsigned 8-bit, 128 is silence, 8000 per second
  bool audioOnly = false;                // a "_snd" action plays only its sound
  bool fullBody = false;                 // the user's NAME.mtn replaces the head and mouth motions
  std::optional<JointCurve> mouth;
  std::vector<JointCurve> head;  // the three head joints, or every joint a full-body motion moves
  std::array<std::vector<LedSpan>, kLedCount> leds;  // when each face LED is lit
};

// The robot's pose at a moment, for the animated head.
struct RobotPose {
  double mouthDegrees = 0;  // the mouth joint; more negative is wider open
  double tiltDegrees = 0;
  double panDegrees = 0;
  double nodDegrees = 0;
  std::uint32_t ledMask = 0;  // bit b: LED b lit
};
RobotPose poseAt(const RecordingPreview& preview, double seconds);

struct PreviewLoad {
  std::optional<RecordingPreview> preview;
  std::string problem;  // the first file that is missing, unreadable or malformed, and why
};

// Reads audioFolder/NAME.wav and what the save would pack with it.
PreviewLoad loadRecordingPreview(const std::filesystem::path& audioFolder, const std::string& name);

}  // namespace velk_mur
