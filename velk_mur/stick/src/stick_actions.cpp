#include "velk_mur/stick/stick_actions.h"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>
#include <unordered_map>

#include "mwc_reader.h"
#include "mwc_update.h"
#include "oda_reader.h"
#include "platform/byte_order.h"
#include "platform/case_path.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "stick_file.h"
#include "velk_mur/generate/led_reader.h"
#include "velk_mur/generate/motion_reader.h"
#include "velk_mur/generate/wav_input.h"

namespace velk_mur {

namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kLargestArchive = std::uint64_t{1} << 30;
constexpr std::string_view kMouthJoint = "PRM:/r1/c1/c2/c3/c4-Joint2:14";

// The record kinds group by their top digit: motions, sounds, LED patterns.
enum class Medium { Motion, Sound, Led, Other };
Medium mediumOf(std::uint32_t kind) {
  switch (kind >> 12) {
    case 1:
      return Medium::Motion;
    case 2:
      return Medium::Sound;
    case 3:
      return Medium::Led;
    default:
      return Medium::Other;
  }
}

struct Archive {
  platform::Bytes bytes;
  std::unordered_map<std::string, OdaEntry> entries;
  std::span<const std::uint8_t> data(const std::string& name) const {
    const auto found = entries.find(name);
    if (found == entries.end()) return {};
    return odaEntryData(bytes, found->second);
  }
};

struct StickFiles {
  std::optional<MwcContents> configuration;
  std::array<Archive, 3> archives;  // by Medium
  std::string problem;
};

void note(std::string& problem, std::string text) {
  if (problem.empty()) problem = std::move(text);
}

Archive readArchive(const fs::path& root, std::string_view name, std::string& problem) {
  Archive archive;
  const fs::path path = platform::resolveCase(stickFilePath(root, name, kArchiveExtension));
  platform::FileReadResult file = platform::readFileIfPresent(path, kLargestArchive);
  if (file.status != platform::FileReadStatus::Read) {
    note(problem, platform::pathToText(path) + (file.status == platform::FileReadStatus::Missing
                                                    ? " does not exist"
                                                    : " could not be read"));
    return archive;
  }
  archive.bytes = std::move(file.bytes);
  const OdaReadResult read = readOdaArchive(archive.bytes);
  if (!read.ok()) note(problem, platform::pathToText(path) + ": " + read.problem);
  for (const OdaEntry& entry : read.archive.entries) archive.entries.emplace(entry.name, entry);
  return archive;
}

StickFiles readStickFiles(const fs::path& root, bool withLeds) {
  StickFiles files;
  const fs::path path =
      platform::resolveCase(stickFilePath(root, kConfigurationName, kConfigurationExtension));
  platform::FileReadResult file = platform::readFileIfPresent(path, kLargestArchive);
  if (file.status != platform::FileReadStatus::Read) {
    note(files.problem,
         platform::pathToText(path) + (file.status == platform::FileReadStatus::Missing
                                           ? " does not exist"
                                           : " could not be read"));
    return files;
  }
  MwcReadResult read = readMwcFile(file.bytes);
  if (!read.ok()) note(files.problem, platform::pathToText(path) + ": " + read.problem);
  files.configuration = std::move(read.configuration);
  files.archives[0] = readArchive(root, kMotionArchiveName, files.problem);
  files.archives[1] = readArchive(root, kAudioArchiveName, files.problem);
  if (withLeds) files.archives[2] = readArchive(root, kLedArchiveName, files.problem);
  return files;
}

struct WaveSound {
  double seconds = 0;
  std::span<const std::uint8_t> samples;  // only when 8 kHz, 8-bit, mono
};

// A RIFF WAVE file's length from its format and data chunks.
std::optional<WaveSound> waveSound(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 12 || !platform::hasTag(bytes, 0, kRiffTag) ||
      !platform::hasTag(bytes, 8, kWaveFormTag)) {
    return std::nullopt;
  }
  std::uint32_t byteRate = 0;
  std::uint32_t sampleRate = 0;
  std::uint16_t channels = 0;
  std::uint16_t bits = 0;
  for (std::size_t at = 12; at + 8 <= bytes.size();) {
    const std::uint32_t size = platform::getLe32(&bytes[at + 4]);
    const std::size_t body = at + 8;
    const std::size_t available = bytes.size() - body;
    if (platform::hasTag(bytes, at, kFormatChunkTag) && size >= 16 && available >= 16) {
      channels = platform::getLe16(&bytes[body + 2]);
      sampleRate = platform::getLe32(&bytes[body + 4]);
      byteRate = platform::getLe32(&bytes[body + 8]);
      bits = platform::getLe16(&bytes[body + 14]);
    } else if (platform::hasTag(bytes, at, kDataTag)) {
      if (byteRate == 0) return std::nullopt;
      const std::size_t length = std::min<std::size_t>(size, available);
      WaveSound sound{static_cast<double>(length) / byteRate, {}};
      if (channels == 1 && bits == 8 && sampleRate == kRobotSampleRate) {
        sound.samples = bytes.subspan(body, length);
      }
      return sound;
    }
    if (size > available) return std::nullopt;
    at = body + size + (size & 1U);
  }
  return std::nullopt;
}

std::optional<MotionFileContents> motionOf(const Archive& archive, const std::string& name) {
  const std::span<const std::uint8_t> data = archive.data(name);
  if (data.empty()) return std::nullopt;
  MotionReadResult read = readMotionFile(data);
  if (!read.ok()) return std::nullopt;
  return std::move(read.motion);
}

StickAction describe(const MwcBlock& block, const StickFiles& files) {
  StickAction action;
  action.number = block.number;
  bool hasMouth = false;
  for (const MwcRecord& record : block.records) {
    action.entryNames.push_back(record.name);
    const Medium medium = mediumOf(record.kind);
    if (medium == Medium::Sound) {
      if (const auto sound = waveSound(files.archives[1].data(record.name))) {
        action.soundSeconds = std::max(action.soundSeconds.value_or(0), sound->seconds);
      }
    } else if (medium == Medium::Motion) {
      hasMouth =
          hasMouth || record.kind == kMouthMotionRecord || record.kind == kFullBodyMotionRecord;
      const std::optional<MotionFileContents> motion = motionOf(files.archives[0], record.name);
      if (motion && !motion->keyFrames.empty()) {
        const double seconds = static_cast<double>(motion->keyFrames.back().timeMs) / 1000.0;
        action.motionSeconds = std::max(action.motionSeconds.value_or(0), seconds);
      }
    }
  }
  action.talks = hasMouth && action.soundSeconds.has_value();
  return action;
}

JointCurve curveOf(const MotionFileContents& motion, std::size_t joint) {
  JointCurve curve{motion.joints[joint], motion.joints[joint], {}, {}};
  for (std::size_t index = 0; index < motion.keyFrames.size(); ++index) {
    curve.seconds.push_back(static_cast<double>(motion.keyFrames[index].timeMs) / 1000.0);
    curve.degrees.push_back(microRadiansToDegrees(motion.valuesOf(index)[joint]));
  }
  return curve;
}

void addLedSpans(RecordingPreview& preview, const LedFileContents& pattern) {
  std::array<std::optional<double>, kLedCount> litSince;
  const auto putOut = [&](int led, double at) {
    if (litSince[led]) preview.leds[led].push_back({*litSince[led], at});
    litSince[led].reset();
  };
  for (const LedSwitch& change : pattern.switches) {
    const double at = static_cast<double>(change.microseconds) / 1e6;
    if (change.lit) {
      litSince[change.led] = at;
    } else {
      putOut(change.led, at);
    }
  }
  for (int led = 0; led < kLedCount; ++led) {
    putOut(led, static_cast<double>(pattern.endMicroseconds) / 1e6);
  }
}

}  // namespace

std::optional<double> StickAction::seconds() const {
  if (!soundSeconds && !motionSeconds) return std::nullopt;
  return std::max(soundSeconds.value_or(0), motionSeconds.value_or(0));
}

const StickAction* StickActions::find(std::int32_t number) const {
  const auto found = std::find_if(actions.begin(), actions.end(),
                                  [number](const StickAction& a) { return a.number == number; });
  return found == actions.end() ? nullptr : &*found;
}

StickActions readStickActions(const fs::path& stickRoot) {
  const StickFiles files = readStickFiles(stickRoot, false);
  StickActions actions;
  actions.problem = files.problem;
  if (!files.configuration) return actions;
  actions.configurationRead = true;
  for (const MwcBlock& block : files.configuration->blocks) {
    actions.actions.push_back(describe(block, files));
  }
  return actions;
}

PreviewLoad loadStickActionPreview(const fs::path& stickRoot, std::int32_t number) {
  const StickFiles files = readStickFiles(stickRoot, true);
  PreviewLoad load;
  if (!files.configuration) {
    load.problem = files.problem;
    return load;
  }
  const auto& blocks = files.configuration->blocks;
  const auto block = std::find_if(blocks.begin(), blocks.end(),
                                  [number](const MwcBlock& b) { return b.number == number; });
  if (block == blocks.end()) {
    load.problem = "ERS-7.MWC has no action " + std::to_string(number);
    return load;
  }
  RecordingPreview preview;
  preview.name = std::to_string(number);
  for (const MwcRecord& record : block->records) {
    const Medium medium = mediumOf(record.kind);
    if (medium == Medium::Sound) {
      if (const auto sound = waveSound(files.archives[1].data(record.name))) {
        preview.samples.assign(sound->samples.begin(), sound->samples.end());
        preview.seconds = std::max(preview.seconds, sound->seconds);
      }
    } else if (medium == Medium::Motion) {
      const std::optional<MotionFileContents> motion = motionOf(files.archives[0], record.name);
      if (!motion) continue;
      for (std::size_t joint = 0; joint < motion->joints.size(); ++joint) {
        JointCurve curve = curveOf(*motion, joint);
        if (curve.joint == kMouthJoint) {
          preview.mouth = std::move(curve);
        } else {
          preview.head.push_back(std::move(curve));
        }
      }
    } else if (medium == Medium::Led) {
      const LedReadResult leds = readLedFile(files.archives[2].data(record.name));
      if (leds.ok()) addLedSpans(preview, leds.pattern);
    }
  }
  preview.audioOnly = !preview.mouth && preview.head.empty();
  load.preview = std::move(preview);
  return load;
}

}  // namespace velk_mur
