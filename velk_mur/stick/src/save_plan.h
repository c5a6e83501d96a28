#pragma once
// What a save will write, worked out before anything is written: one plan per listed
// recording, and the bytes the new files will take on the stick.
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "save_files.h"

namespace velk_mur {

// Small on purpose: a thousand of them are held at once, so paths are formed when needed.
struct RecordingPlan {
  std::string listedName;    // as the listing spelled it, e.g. "Hello.wav"
  std::string name;          // the action name, lower case
  std::string fullBodyFile;  // the full-body motion's file name as listed, empty when none
  std::int32_t number = 0;
  bool audioOnly = false;
  // The sizes of the files the save will pack, looked up once while planning; a source that
  // is missing counts as empty here, and its add fails later.
  std::uint64_t soundBytes = 0;
  std::uint64_t motionBytes = 0;  // the full-body motion, or head and mouth together
  std::uint64_t headBytes = 0;
  std::uint64_t ledBytes = 0;
  bool hasFullBodyMotion() const { return !fullBodyFile.empty(); }
};

// The source files of one recording; the motions it does not pack stay empty.
struct RecordingFiles {
  std::filesystem::path sound;
  std::filesystem::path fullBodyMotion;
  std::filesystem::path headMotion;
  std::filesystem::path mouthMotion;
  std::filesystem::path led;
};

// One plan per listed file name ("hello.wav"), numbered from 24001 in listing order, with the
// sizes of its sources.
std::vector<RecordingPlan> planRecordings(const std::filesystem::path& audioFolder,
                                          const std::vector<std::string>& listedNames);

RecordingFiles recordingFiles(const std::filesystem::path& audioFolder, const RecordingPlan& plan);

// Bytes of the new files, by their rows in kNewFiles (ERS-7.MWC counting the old one's size for
// the blocks it keeps). Missing
// sources count as empty; their add fails later.
std::array<std::uint64_t, 5> newFileSizes(const std::vector<RecordingPlan>& plans,
                                          std::uint64_t oldConfigurationSize);

// The room the save takes on a file system whose files take whole clusters of `clusterSize`
// bytes: each new file rounded up, one cluster for the save's journal, and one for each of the
// three folders whose entries grow while the new files stand beside the old.
std::uint64_t bytesNeeded(const std::vector<RecordingPlan>& plans,
                          std::uint64_t oldConfigurationSize, std::uint64_t clusterSize = 1);

}  // namespace velk_mur
