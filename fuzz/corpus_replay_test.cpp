// The fuzz targets' corpora replayed by the normal build: every input a target keeps, including
// each one that once found a fault, runs with every test run. A target stops the program when a
// property breaks, naming the property and the corpus file that broke it.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fuzz/fuzz_support.h"

#define VELK_FUZZ_TARGET(name) extern "C" int name##_input(const std::uint8_t*, std::size_t);
VELK_FUZZ_TARGET(fuzz_catalogue)
VELK_FUZZ_TARGET(fuzz_command_line)
VELK_FUZZ_TARGET(fuzz_generation)
VELK_FUZZ_TARGET(fuzz_led_reader)
VELK_FUZZ_TARGET(fuzz_line_edits)
VELK_FUZZ_TARGET(fuzz_motion_reader)
VELK_FUZZ_TARGET(fuzz_mwc_copy)
VELK_FUZZ_TARGET(fuzz_mwc_reader)
VELK_FUZZ_TARGET(fuzz_oda_reader)
VELK_FUZZ_TARGET(fuzz_program_check)
VELK_FUZZ_TARGET(fuzz_program_run)
VELK_FUZZ_TARGET(fuzz_rcode_roundtrip)
VELK_FUZZ_TARGET(fuzz_recording_plan)
VELK_FUZZ_TARGET(fuzz_settings)
VELK_FUZZ_TARGET(fuzz_wav_input)

namespace {

namespace fs = std::filesystem;

const struct {
  std::string name;
  int (*input)(const std::uint8_t*, std::size_t);
} kTargets[] = {
    {"fuzz_catalogue", fuzz_catalogue_input},
    {"fuzz_command_line", fuzz_command_line_input},
    {"fuzz_generation", fuzz_generation_input},
    {"fuzz_led_reader", fuzz_led_reader_input},
    {"fuzz_line_edits", fuzz_line_edits_input},
    {"fuzz_motion_reader", fuzz_motion_reader_input},
    {"fuzz_mwc_copy", fuzz_mwc_copy_input},
    {"fuzz_mwc_reader", fuzz_mwc_reader_input},
    {"fuzz_oda_reader", fuzz_oda_reader_input},
    {"fuzz_program_check", fuzz_program_check_input},
    {"fuzz_program_run", fuzz_program_run_input},
    {"fuzz_rcode_roundtrip", fuzz_rcode_roundtrip_input},
    {"fuzz_recording_plan", fuzz_recording_plan_input},
    {"fuzz_settings", fuzz_settings_input},
    {"fuzz_wav_input", fuzz_wav_input_input},
};

TEST(FuzzCorpus, EveryTargetKeepsItsPropertiesOverItsCorpus) {
  for (const auto& target : kTargets) {
    int files = 0;
    for (const auto& entry :
         fs::directory_iterator(fs::path(VELK_SOURCE_DIR) / "fuzz/corpus" / target.name)) {
      fuzz_support::replayedInput = entry.path().string();
      std::ifstream in(entry.path(), std::ios::binary);
      const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
      EXPECT_EQ(target.input(bytes.data(), bytes.size()), 0) << entry.path();
      ++files;
    }
    EXPECT_GT(files, 0) << target.name;
  }
  fuzz_support::replayedInput.clear();
  // The targets share one scratch folder, named after the first, for the process's life.
  for (const auto& target : kTargets)
    fs::remove_all(fs::temp_directory_path() / (target.name + "-" + std::to_string(::getpid())));
}

}  // namespace
