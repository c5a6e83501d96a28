// Every writer stops at the first failed write; a recording too long for the motion file is
// refused before a file is created.
#include <gtest/gtest.h>

#include "tests/support/gen_wav_maker.h"
#include "tests/support/prefix_failures.h"
#include "tests/support/temp_tree.h"
#include "tests/velk_mur/generate/file_structure.h"
#include "velk_mur/generate/head_motion.h"
#include "velk_mur/generate/led_file.h"
#include "velk_mur/generate/led_pattern.h"
#include "velk_mur/generate/mouth_motion.h"

using testing_support::halfSilentHalfLoud;
namespace fs = std::filesystem;

namespace {

TEST(WriterFailures, EveryWriterStopsAtAFailedWriteAtAnyByte) {
  const auto masks = velk_mur::computeLedMasks(halfSilentHalfLoud());
  const generate_tests::Writer writers[] = {
      [](auto& s) { return velk_mur::writeHeadMotion(s, "h_any#any_7ab", 8000); },
      [](auto& s) { return velk_mur::writeMouthMotion(s, "m_any#any_ab", halfSilentHalfLoud()); },
      [&](auto& s) { return velk_mur::writeLedFile(s, masks); },
      [](auto& s) { return velk_mur::writeLedFile(s, {}); },
  };
  for (const auto& writer : writers) testing_support::expectEveryPrefixFails(writer);
}

TEST(GeneratorFailures, TooLongRecordingCreatesNoFile) {
  testing_support::TempDir dir;
  velk_mur::ClipSamples clip;
  clip.samples.assign(std::size_t{41941120}, 128);
  EXPECT_FALSE(velk_mur::generateHeadMotion(dir / "h.mtn", "h", clip));
  EXPECT_FALSE(velk_mur::generateMouthMotion(dir / "m.mtn", "m", clip));
  EXPECT_FALSE(velk_mur::generateLedPattern(dir / "l.led", clip));
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

}  // namespace
