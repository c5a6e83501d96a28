#pragma once
// The five files a save writes, one row each in the order they are put in place: the three
// archives, ACTION.CFG, and ERS-7.MWC last, which makes the robot see the new actions.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "velk_mur/stick/stick_paths.h"

namespace velk_mur {

struct NewFileKind {
  std::string_view stickName;  // stick-relative, without extension
  std::string_view extension;  // the target's; the new file's is kNewFileExtension
  std::string_view finishWords;
  std::string_view replaceWords;
  std::int32_t slotsPerRecording;  // archives only
  std::string_view createFailed;   // archives only: followed by the target's path
};

// The motion archive holds two slots per recording: head and mouth, or the full-body motion
// and an unused one.
inline constexpr std::int32_t kMotionSlotsPerRecording = 2;

enum NewFileIndex : std::size_t { kAudio, kMotion, kLed, kCatalogue, kConfiguration };
inline constexpr std::size_t kArchiveCount = 3;

inline constexpr std::array<NewFileKind, 5> kNewFiles{{
    {kAudioArchiveName, kArchiveExtension, "finishing audio data", "replacing audio data", 1,
     "Failed to create audio data file\n"},
    {kMotionArchiveName, kArchiveExtension, "finishing motion data", "replacing motion data",
     kMotionSlotsPerRecording, "Failed to create motion data file\n"},
    {kLedArchiveName, kArchiveExtension, "finishing LED data", "replacing LED data", 1,
     "Failed to create eye-led data file\n"},
    {kActionCatalogueName,
     kActionCatalogueExtension,
     "saving ACTION.CFG data",
     "replacing ACTION.CFG data",
     0,
     {}},
    {kConfigurationName,
     kConfigurationExtension,
     "saving ERS-*.MWC data",
     "replacing ERS-*.MWC data",
     0,
     {}},
}};

}  // namespace velk_mur
