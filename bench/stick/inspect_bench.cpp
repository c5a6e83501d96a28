// The inspection of a stick with 1001 actions against reading its five files, in one run.
// Target: the inspection within 2x the reading.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench/support/paired_ratio.h"
#include "platform/files.h"
#include "tests/support/gen_wav_maker.h"
#include "tests/support/stick_tree.h"
#include "tests/support/temp_tree.h"
#include "velk_mur/generate/led_file.h"
#include "velk_mur/generate/src/head_motion.h"
#include "velk_mur/generate/src/led_pattern.h"
#include "velk_mur/generate/src/mouth_motion.h"
#include "velk_mur/stick/src/action_catalogue.h"
#include "velk_mur/stick/src/mwc_update.h"
#include "velk_mur/stick/src/oda_writer.h"
#include "velk_mur/stick/src/stick_file.h"
#include "velk_mur/stick/stick_inspection.h"

namespace fs = std::filesystem;

namespace {

constexpr int kActions = 1001;

platform::Bytes written(const std::function<bool(platform::Bytes&)>& write) {
  platform::Bytes bytes;
  if (!write(bytes)) std::abort();
  return bytes;
}

// A stick as a save of 1001 three-second recordings leaves it.
void makeStick(const testing_support::TempDir& folder, const fs::path& root) {
  const platform::Bytes samples = testing_support::halfSilentHalfLoud();
  platform::Bytes sound;
  for (int second = 0; second < 3; ++second)
    sound.insert(sound.end(), samples.begin(), samples.end());
  const fs::path wav = folder / "sound.wav";
  const fs::path head = folder / "head.mtn";
  const fs::path mouth = folder / "mouth.mtn";
  const fs::path led = folder / "eyes.led";
  testing_support::writeWav(wav, sound);
  testing_support::writeFile(head, written([&](platform::Bytes& sink) {
                               return velk_mur::writeHeadMotion(
                                   sink, "h_any#any_7x", static_cast<std::int64_t>(sound.size()));
                             }));
  testing_support::writeFile(mouth, written([&](platform::Bytes& sink) {
                               return velk_mur::writeMouthMotion(sink, "m_any#any_x",
                                                                 velk_mur::MouthAnalysis(sound));
                             }));
  testing_support::writeFile(led, written([&](platform::Bytes& sink) {
                               return velk_mur::writeLedFile(sink,
                                                             velk_mur::computeLedMasks(sound));
                             }));

  std::string catalogue;
  platform::MemorySink configuration;
  velk_mur::MwcHeader header;
  configuration.write(velk_mur::mwcHeaderBytes(header));
  velk_mur::OdaWriter audio, motion, leds;
  const auto path = [&](std::string_view name) {
    return velk_mur::stickFilePath(root, name, velk_mur::kArchiveExtension);
  };
  fs::create_directories(path(velk_mur::kAudioArchiveName).parent_path());
  audio.create(path(velk_mur::kAudioArchiveName), kActions);
  motion.create(path(velk_mur::kMotionArchiveName), 2 * kActions);
  leds.create(path(velk_mur::kLedArchiveName), kActions);
  for (int index = 0; index < kActions; ++index) {
    const std::string name = "clip" + std::to_string(index);
    audio.addEntry(wav, name, velk_mur::kWaveTag);
    motion.addEntry(head, "h_any#any_7" + name, velk_mur::kMotionTag);
    motion.addEntry(mouth, "m_any#any_" + name, velk_mur::kMotionTag);
    leds.addEntry(led, name, velk_mur::kLedTag);
    header.cmacTotal +=
        velk_mur::writeActionBlock(configuration, 24001 + index, name, false, false);
    ++header.mcidCount;
    catalogue += velk_mur::actionCatalogueLine(name, 24001 + index, false);
  }
  audio.finish();
  motion.finish();
  leds.finish();
  configuration.seek(0);
  configuration.write(velk_mur::mwcHeaderBytes(header));
  testing_support::makeStickTree(root, configuration.bytes(), catalogue);
}

}  // namespace

int main() {
  testing_support::TempDir folder;
  const fs::path root = folder / "stick";
  makeStick(folder, root);
  const std::vector<fs::path> files = {
      velk_mur::stickFilePath(root, velk_mur::kActionCatalogueName,
                              velk_mur::kActionCatalogueExtension),
      velk_mur::stickFilePath(root, velk_mur::kConfigurationName,
                              velk_mur::kConfigurationExtension),
      velk_mur::stickFilePath(root, velk_mur::kAudioArchiveName, velk_mur::kArchiveExtension),
      velk_mur::stickFilePath(root, velk_mur::kMotionArchiveName, velk_mur::kArchiveExtension),
      velk_mur::stickFilePath(root, velk_mur::kLedArchiveName, velk_mur::kArchiveExtension)};
  const auto read = [&] {
    const auto start = std::chrono::steady_clock::now();
    std::size_t bytes = 0;
    for (const fs::path& file : files)
      bytes += platform::readWholeFile(file).value_or(platform::Bytes{}).size();
    if (bytes == 0) std::fprintf(stderr, "the stick's files could not be read\n");
    return bench_support::secondsSince(start);
  };
  const auto inspect = [&] {
    const auto start = std::chrono::steady_clock::now();
    const velk_mur::StickInspection inspection = velk_mur::inspectStick(root);
    const double seconds = bench_support::secondsSince(start);
    if (!inspection.problems.empty())
      std::fprintf(stderr, "%s\n", inspection.problems.front().c_str());
    return seconds;
  };
  std::printf("stick of %d actions:\n", kActions);
  bench_support::reportPairedRatio("inspect", "reading its files", 2.0, inspect, read);
  return 0;
}
