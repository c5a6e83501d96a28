#pragma once
// What an import or a speech is asked to do, as the command line and the dialog pass it on.
// Plain types only: the program holds these without loading the decoders and the speech
// synthesiser, which stay in the import module until an import or speech needs them.
#include <string>

namespace velk_mur {

struct ConversionOptions {
  bool keepLevel = false;    // otherwise the peak is raised or lowered to kPeakDbfs
  bool keepSilence = false;  // otherwise quiet ends are cut, kTrimMarginSeconds left
};

// What to do when the folder holds a recording of the same name in any letter case.
enum class ExistingRecording { Refuse, Replace, Ask };

struct ImportOptions {
  ConversionOptions conversion;
  ExistingRecording existing = ExistingRecording::Refuse;
};

struct SpeechSettings {
  std::string voice = "en-us";  // a language, identifier or name, as --list-voices shows them
  int wordsPerMinute = 175;     // 80 to 450
  int pitch = 50;               // 0 to 100, 50 is the voice's own
};

inline constexpr int kMinWordsPerMinute = 80;
inline constexpr int kMaxWordsPerMinute = 450;
inline constexpr int kMaxPitch = 100;

struct VoiceInfo {
  // A voice is chosen by any of these.
  std::string identifier;  // e.g. "gmw/en-US"
  std::string name;        // e.g. "English (America)"
  std::string language;    // e.g. "en-us"
};

}  // namespace velk_mur
