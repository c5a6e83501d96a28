#pragma once
// Where the robot's files lie on the memory stick: stick-relative names without extension,
// and their extensions.
#include <string_view>

namespace velk_mur {

inline constexpr std::string_view kActionCatalogueName = "OPEN-R/APP/PC/AMS/ACTION";
inline constexpr std::string_view kConfigurationName = "OPEN-R/MW/CONF/ERS-7";
inline constexpr std::string_view kAudioArchiveName = "OPEN-R/MW/DATA/P/AUDIO";
inline constexpr std::string_view kMotionArchiveName = "OPEN-R/MW/DATA/P/MOTION";
inline constexpr std::string_view kLedArchiveName = "OPEN-R/MW/DATA/P/LED";

inline constexpr std::string_view kActionCatalogueExtension = "CFG";
inline constexpr std::string_view kConfigurationExtension = "MWC";
inline constexpr std::string_view kArchiveExtension = "ODA";
// Every new file is written under this extension beside its target, then renamed over it.
inline constexpr std::string_view kNewFileExtension = "NEW";

}  // namespace velk_mur
