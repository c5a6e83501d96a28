#pragma once
// Speech from typed text, by eSpeak NG, as sound ready for the robot's conversion.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "velk_mur/import/conversion.h"

namespace velk_mur {

struct SpeechSettings {
  std::string voice = "en-us";  // a language, identifier or name, as --list-voices shows them
  int wordsPerMinute = 175;     // 80 to 450
  int pitch = 50;               // 0 to 100, 50 is the voice's own
};

inline constexpr int kMinWordsPerMinute = 80;
inline constexpr int kMaxWordsPerMinute = 450;
inline constexpr int kMaxPitch = 100;

struct SpeechResult {
  bool ok = false;
  std::string reason;  // when !ok: the voice is unknown, a setting out of range, no speech
  MonoSound sound;     // at kRobotSampleRate
};

SpeechResult synthesizeSpeech(std::string_view text, const SpeechSettings& settings);

struct VoiceInfo {
  // A voice is chosen by any of these.
  std::string identifier;  // e.g. "gmw/en-US"
  std::string name;        // e.g. "English (America)"
  std::string language;    // e.g. "en-us"
};

// Every installed voice, or nothing when eSpeak NG or its data cannot be found.
std::optional<std::vector<VoiceInfo>> installedVoices();

}  // namespace velk_mur
