#include "velk_mur/preview/recording_preview.h"

#include <algorithm>
#include <span>

#include "platform/files.h"
#include "platform/path_text.h"
#include "velk_mur/generate/led_file.h"
#include "velk_mur/generate/led_reader.h"
#include "velk_mur/generate/motion_reader.h"
#include "velk_mur/generate/naming.h"
#include "velk_mur/generate/wav_input.h"

namespace velk_mur {

namespace {

namespace fs = std::filesystem;

// The ERS-7's head and mouth joints, as the generated motions name them.
constexpr std::string_view kTiltJoint = "PRM:/r1/c1-Joint2:11";
constexpr std::string_view kPanJoint = "PRM:/r1/c1/c2-Joint2:12";
constexpr std::string_view kNodJoint = "PRM:/r1/c1/c2/c3-Joint2:13";
constexpr std::string_view kMouthJoint = "PRM:/r1/c1/c2/c3/c4-Joint2:14";

std::string jointLabel(std::string_view joint) {
  if (joint == kTiltJoint) return "head tilt";
  if (joint == kPanJoint) return "head pan";
  if (joint == kNodJoint) return "head nod";
  if (joint == kMouthJoint) return "mouth";
  const std::size_t slash = joint.rfind('/');
  return std::string(slash == std::string_view::npos ? joint : joint.substr(slash + 1));
}

std::string fileProblem(const fs::path& path, platform::FileReadStatus status) {
  return platform::pathToText(path) + (status == platform::FileReadStatus::Missing
                                           ? " does not exist (Generate makes it)"
                                           : " could not be read");
}

struct MotionLoad {
  std::optional<MotionFileContents> motion;
  std::string problem;
};

MotionLoad loadMotion(const fs::path& path) {
  platform::FileReadResult file = platform::readFileIfPresent(path);
  if (file.status != platform::FileReadStatus::Read)
    return {std::nullopt, fileProblem(path, file.status)};
  MotionReadResult read = readMotionFile(file.bytes);
  if (!read.ok()) return {std::nullopt, platform::pathToText(path) + ": " + read.problem};
  return {std::move(read.motion), {}};
}

std::vector<JointCurve> curvesOf(const MotionFileContents& motion, bool movedOnly) {
  std::vector<JointCurve> curves;
  for (std::size_t joint = 0; joint < motion.joints.size(); ++joint) {
    JointCurve curve{motion.joints[joint], jointLabel(motion.joints[joint]), {}, {}};
    curve.seconds.reserve(motion.keyFrames.size());
    curve.degrees.reserve(motion.keyFrames.size());
    for (std::size_t index = 0; index < motion.keyFrames.size(); ++index) {
      curve.seconds.push_back(static_cast<double>(motion.keyFrames[index].timeMs) / 1000.0);
      curve.degrees.push_back(microRadiansToDegrees(motion.valuesOf(index)[joint]));
    }
    const auto [low, high] = std::minmax_element(curve.degrees.begin(), curve.degrees.end());
    if (movedOnly && (low == curve.degrees.end() || *low == *high)) continue;
    curves.push_back(std::move(curve));
  }
  return curves;
}

struct SoundLoad {
  platform::UninitializedBytes samples;
  std::string problem;  // empty when the samples were read
};

SoundLoad loadSound(const fs::path& wavPath) {
  WavHeaderInfo header;
  switch (readWavHeader(wavPath, header)) {
    case WavCheck::Good:
      break;
    case WavCheck::Unreadable:
      return {
          {},
          platform::pathToText(wavPath) +
              (platform::fileState(wavPath) == platform::FileState::Absent ? " does not exist"
                                                                           : " could not be read")};
    default:
      return {{}, platform::pathToText(wavPath) + " is not an 8 kHz 8-bit mono PCM recording"};
  }
  ClipLoadResult clip = loadClipSamples(wavPath, header);
  if (clip.status != ClipLoadStatus::Loaded) {
    return {{}, platform::pathToText(wavPath) + ": the sound data could not be read"};
  }
  return {std::move(clip.clip.samples), {}};
}

// The user's full-body motion when there is one, else the generated head and mouth motions.
// Empty when they were read; otherwise the first file's problem.
std::string loadMotions(const fs::path& audioFolder, const std::string& name,
                        RecordingPreview& preview) {
  const fs::path fullBodyPath = motionFilePath(audioFolder, name, kFullBodyKind, kRobotModel);
  preview.fullBody = platform::fileState(fullBodyPath) != platform::FileState::Absent;
  if (preview.fullBody) {
    MotionLoad body = loadMotion(fullBodyPath);
    if (!body.motion) return body.problem;
    preview.head = curvesOf(*body.motion, true);
    const auto mouth = std::find_if(preview.head.begin(), preview.head.end(),
                                    [](const JointCurve& c) { return c.joint == kMouthJoint; });
    if (mouth != preview.head.end()) {
      preview.mouth = std::move(*mouth);
      preview.head.erase(mouth);
    }
    return {};
  }
  MotionLoad head = loadMotion(motionFilePath(audioFolder, name, kHeadKind, kRobotModel));
  if (!head.motion) return head.problem;
  MotionLoad mouth = loadMotion(motionFilePath(audioFolder, name, kMouthKind, kRobotModel));
  if (!mouth.motion) return mouth.problem;
  preview.head = curvesOf(*head.motion, false);
  std::vector<JointCurve> mouthCurves = curvesOf(*mouth.motion, false);
  if (!mouthCurves.empty()) preview.mouth = std::move(mouthCurves.front());
  return {};
}

// When each LED is lit, from the LED file's switches. Empty when it was read; otherwise why not.
std::string loadLeds(const fs::path& ledPath, RecordingPreview& preview) {
  platform::FileReadResult ledFile = platform::readFileIfPresent(ledPath);
  if (ledFile.status != platform::FileReadStatus::Read) return fileProblem(ledPath, ledFile.status);
  const LedReadResult leds = readLedFile(ledFile.bytes);
  if (!leds.ok()) return platform::pathToText(ledPath) + ": " + leds.problem;
  std::array<std::optional<double>, kLedCount> litSince;
  const auto putOut = [&](int led, double at) {
    if (litSince[led]) preview.leds[led].push_back({*litSince[led], at});
    litSince[led].reset();
  };
  for (const LedSwitch& change : leds.pattern.switches) {
    const double at = static_cast<double>(change.microseconds) / 1e6;
    if (change.lit) {
      litSince[change.led] = at;
    } else {
      putOut(change.led, at);
    }
  }
  for (int led = 0; led < kLedCount; ++led) {
    putOut(led, static_cast<double>(leds.pattern.endMicroseconds) / 1e6);
  }
  return {};
}

const JointCurve* curveNamed(const RecordingPreview& preview, std::string_view joint) {
  if (preview.mouth && preview.mouth->joint == joint) return &*preview.mouth;
  for (const JointCurve& curve : preview.head) {
    if (curve.joint == joint) return &curve;
  }
  return nullptr;
}

}  // namespace

double JointCurve::valueAt(double time) const {
  if (seconds.empty()) return 0;
  const auto after = std::upper_bound(seconds.begin(), seconds.end(), time);
  if (after == seconds.begin()) return degrees.front();
  if (after == seconds.end()) return degrees.back();
  const auto index = static_cast<std::size_t>(after - seconds.begin());
  const double span = seconds[index] - seconds[index - 1];
  const double part = span > 0 ? (time - seconds[index - 1]) / span : 1;
  return degrees[index - 1] + part * (degrees[index] - degrees[index - 1]);
}

RobotPose poseAt(const RecordingPreview& preview, double seconds) {
  RobotPose pose;
  const auto value = [&](std::string_view joint) {
    const JointCurve* curve = curveNamed(preview, joint);
    return curve != nullptr ? curve->valueAt(seconds) : 0.0;
  };
  pose.mouthDegrees = value(kMouthJoint);
  pose.tiltDegrees = value(kTiltJoint);
  pose.panDegrees = value(kPanJoint);
  pose.nodDegrees = value(kNodJoint);
  for (std::size_t led = 0; led < preview.leds.size(); ++led) {
    for (const LedSpan& span : preview.leds[led]) {
      if (span.from <= seconds && seconds < span.to) pose.ledMask |= 1u << led;
    }
  }
  return pose;
}

PreviewLoad loadRecordingPreview(const fs::path& audioFolder, const std::string& name) {
  SoundLoad sound = loadSound(recordingPath(audioFolder, name));
  if (!sound.problem.empty()) return {std::nullopt, sound.problem};
  RecordingPreview preview;
  preview.name = name;
  preview.samples = std::move(sound.samples);
  preview.seconds = static_cast<double>(preview.samples.size()) / kRobotSampleRate;
  preview.audioOnly = isAudioOnlyName(name);
  if (!preview.audioOnly) {
    std::string problem = loadMotions(audioFolder, name, preview);
    if (problem.empty()) problem = loadLeds(ledFilePath(audioFolder, name), preview);
    if (!problem.empty()) return {std::nullopt, problem};
  }
  return {std::move(preview), {}};
}

}  // namespace velk_mur
