#include "velk_mur/stick/save_to_stick.h"

#include <string>

#include "platform/ascii_text.h"

namespace velk_mur {

namespace {
constexpr std::string_view kAudioOnlySuffix = "_SND";
}

bool reportStepFailure(std::string_view file, std::string_view stepWords,
                       platform::Messenger& messenger) {
  std::string text = "ERROR: problem ";
  text.append(stepWords).append(" - aborting\n(file : ").append(file).append(")");
  messenger.show(text, true);
  return false;
}

bool isAudioOnlyName(std::string_view name) {
  if (name.size() <= kAudioOnlySuffix.size()) return false;
  return platform::equalsIgnoreCase(name.substr(name.size() - kAudioOnlySuffix.size()),
                                    kAudioOnlySuffix);
}

}  // namespace velk_mur
