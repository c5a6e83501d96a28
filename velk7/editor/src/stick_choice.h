#pragma once
// Started without a path and away from a stick, the editor looks for a robot stick plugged in
// before it asks the user to find R-CODE.R.
#include <filesystem>
#include <optional>

#include "platform/stick_finder.h"

class QWidget;

namespace velk7 {

// R-CODE.R on the one robot stick plugged in, or on the one the user picks when there are
// several; nothing when there is none or the user picks none.
std::optional<std::filesystem::path> programOnPluggedStick(platform::VolumeSource& volumes,
                                                           QWidget* parent = nullptr);

}  // namespace velk7
