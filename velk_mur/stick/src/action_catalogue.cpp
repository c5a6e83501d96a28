#include "action_catalogue.h"

#include "platform/ascii_text.h"

namespace velk_mur {

namespace {
constexpr std::size_t kNameColumnWidth = 16;
constexpr std::string_view kFieldSeparator = "\t";
constexpr std::string_view kUnusedField = "0";
constexpr std::string_view kSoundExtension = ".WAV";
constexpr std::string_view kAudioOnlyComment = " (audio only)";
constexpr std::string_view kFullActionComment = " + motion + leds";
}  // namespace

std::string actionCatalogueLine(std::string_view actionName, std::int32_t actionNumber,
                                bool audioOnly) {
  const std::string upperName = platform::toUpperAscii(actionName);
  std::string line = upperName;
  if (line.size() < kNameColumnWidth) line.append(kNameColumnWidth - line.size(), ' ');
  line.append(kFieldSeparator).append(std::to_string(actionNumber));
  line.append(kFieldSeparator).append(kUnusedField);
  line.append(kFieldSeparator).append(upperName).append(kSoundExtension);
  line.append(audioOnly ? kAudioOnlyComment : kFullActionComment);
  line.append(kStickLineEnd);
  return line;
}

}  // namespace velk_mur
