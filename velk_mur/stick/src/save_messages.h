#pragma once
// What the save and the recovery of an interrupted save tell the user, in one place: both
// report failures of the same files, and a full, read-only or vanished stick the same way.
#include <array>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace velk_mur {

inline constexpr std::string_view kCatalogueCreateFailed =
    "Failed to create ACTION.CFG on memory stick\nStick may be locked or full";
inline constexpr std::string_view kConfigurationCreateFailed =
    "Failed to create ERS-*.MWC files\nStick may be locked or full";
inline constexpr std::string_view kCatalogueSaveFailed =
    "Error: problem saving ACTION.CFG data - aborting";
// A failed write to, close of, or rename of the new configuration.
inline constexpr std::string_view kConfigurationSaveFailed =
    "Error: problem saving/renaming ERS-*.MWC data - aborting";

// Where a save stood when the stick failed: writing its new files (nothing on the stick was
// changed), putting them in place (the next command finishes it), or finishing an earlier one.
enum class SavePhase { Writing, Finishing, Recovering };

// What the user hears when the stick itself fails, by phase: one row each for a full stick, a
// read-only one and one that vanished.
struct StickFailureTexts {
  std::string_view full;
  std::string_view readOnly;
  std::string_view gone;
};
inline constexpr std::array<StickFailureTexts, 3> kStickFailureTexts{{
    {"The memory stick is full\nNothing on it was changed; make room and save again",
     "The memory stick is read-only (its lock switch may be on)\nNothing on it was changed",
     "The memory stick was removed or stopped answering\nNothing on it was changed; put it back "
     "and save again"},
    {"The memory stick is full, so the save could not finish\nMake room, then Test or Save to "
     "Stick finishes it",
     "The memory stick became read-only while the save was finishing\nUnlock it, then Test or "
     "Save to Stick finishes it",
     "The memory stick was removed while the save was finishing\nPut it back: Test or Save to "
     "Stick finishes the save or repairs the stick"},
    {"The memory stick is full, so an interrupted save could not be finished\nMake room, then "
     "try again",
     "The memory stick is read-only and holds an unfinished save\nUnlock it (its lock switch), "
     "then try again: the save is finished then",
     "The memory stick was removed while an interrupted save was being finished\nPut it back "
     "and try again"},
}};
inline constexpr std::string_view kStickFull = kStickFailureTexts[0].full;
inline constexpr std::string_view kStickReadOnly = kStickFailureTexts[0].readOnly;

// Every name of the configuration lost: its blocks of other actions are nowhere else.
inline constexpr std::string_view kConfigurationLost =
    "ERS-7.MWC was lost from the memory stick when a save was interrupted, and no copy of it is "
    "left\nCopy OPEN-R/MW/CONF/ERS-7.MWC back from a backup of the stick, then Save to Stick";

// "ERROR: problem <step> - aborting\n(file : <file>)".
std::string stepFailureText(std::string_view file, std::string_view stepWords);

// The reason a step on the stick failed as the user must hear it: a stick that no longer
// answers was pulled, whatever the file that saw it said.
platform::FileError stickError(platform::FileError error, const std::filesystem::path& stickRoot);

// The stick's own message for a failure of the stick (full, read-only, vanished) in a phase;
// empty for an I/O error or none, which the step reports itself.
std::string_view stickFailureText(platform::FileError error, SavePhase phase);

}  // namespace velk_mur
