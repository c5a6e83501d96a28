#pragma once
// What the save and the recovery of an interrupted save tell the user, in one place: both
// report failures of the same files, and a full, read-only or vanished stick the same way.
#include <string>
#include <string_view>

#include "platform/files.h"
#include "platform/messenger.h"

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

// Shown instead of the step's own message when the stick itself failed: before the save's
// journal nothing on the stick was changed; after it, the next command finishes the save.
inline constexpr std::string_view kStickFull =
    "The memory stick is full\nNothing on it was changed; make room and save again";
inline constexpr std::string_view kStickReadOnly =
    "The memory stick is read-only (its lock switch may be on)\nNothing on it was changed";
inline constexpr std::string_view kStickGone =
    "The memory stick was removed or stopped answering\nNothing on it was changed; put it back "
    "and save again";

// "ERROR: problem <step> - aborting\n(file : <file>)".
std::string stepFailureText(std::string_view file, std::string_view stepWords);

// The stick's own message for a failure of the stick (full, read-only, vanished); empty for
// an I/O error or none, which the step reports itself.
std::string_view stickFailureText(platform::FileError error);

}  // namespace velk_mur
