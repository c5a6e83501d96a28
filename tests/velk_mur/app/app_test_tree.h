#pragma once
// Small trees for the program's tests: a stick that passes the path check and audio folders
// whose recordings have (or lack) their motion files.
#include <filesystem>
#include <string>
#include <string_view>

#include "tests/support/gen_wav_maker.h"
#include "tests/support/stick_tree.h"
#include "tests/support/temp_tree.h"
#include "velk_mur/app/app_settings.h"

namespace app_testing {

// A stick with an empty ACTION.CFG and an ERS-7.MWC without blocks.
inline testing_support::StickTree makeValidStick(const std::filesystem::path& root) {
  return testing_support::makeStickTree(root, testing_support::mwcFile({}));
}

// A recording of `soundBytes` silent samples.
inline void writeRecording(const std::filesystem::path& folder, std::string_view name,
                           std::size_t soundBytes) {
  testing_support::writeWav(folder / (std::string(name) + ".wav"),
                            testing_support::silence(soundBytes));
}

// A user-supplied full-body motion and a generated LED file: with them a recording is ready
// for the check without running the generators over it.
inline void writeReadyCompanions(const std::filesystem::path& folder, std::string_view name) {
  testing_support::writeTextFile(folder / (std::string(name) + ".mtn"), "OMTN");
  // The smallest MIDI file of the generator's shape: one track holding only its end.
  testing_support::writeFile(folder / "GEN" / (std::string(name) + ".led"),
                             {'M',  'T', 'h', 'd', 0,   0, 0, 6, 0, 0, 0,    1,    0,
                              0x78, 'M', 'T', 'r', 'k', 0, 0, 0, 4, 0, 0xFF, 0x2F, 0});
}

// An environment whose current folder and home are inside `dir`.
inline velk_mur::AppEnvironment environmentIn(const testing_support::TempDir& dir) {
  std::filesystem::create_directories(dir / "work");
  return {dir / "work", dir / "home"};
}

}  // namespace app_testing
