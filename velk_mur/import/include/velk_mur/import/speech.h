#pragma once
// Speech from typed text, by eSpeak NG, as sound ready for the robot's conversion.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "velk_mur/import/conversion.h"

namespace velk_mur {

struct SpeechResult {
  bool ok = false;
  std::string reason;  // when !ok: the voice is unknown, a setting out of range, no speech
  MonoSound sound;     // at kRobotSampleRate
};

SpeechResult synthesizeSpeech(std::string_view text, const SpeechSettings& settings);

// Every installed voice, or nothing when eSpeak NG or its data cannot be found.
std::optional<std::vector<VoiceInfo>> installedVoices();

}  // namespace velk_mur
