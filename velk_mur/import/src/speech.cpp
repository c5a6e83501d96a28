#include "velk_mur/import/speech.h"

#include <cstdint>

#include <espeak-ng/speak_lib.h>

namespace velk_mur {

namespace {

// eSpeak NG keeps its voice and settings in the process; it is started once, and its
// rate is the one every synthesis delivers.
int speechSampleRate() {
  static const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, 0);
  return rate;
}

int collectSamples(short* samples, int count, espeak_EVENT* events) {
  if (samples != nullptr && count > 0 && events != nullptr) {
    auto* collected = static_cast<std::vector<std::int16_t>*>(events->user_data);
    collected->insert(collected->end(), samples, samples + count);
  }
  return 0;  // go on
}

SpeechResult failed(std::string reason) {
  return {false, std::move(reason), {}};
}

constexpr const char* kNoSpeech = "eSpeak NG or its voices (espeak-ng-data) cannot be found";

}  // namespace

SpeechResult synthesizeSpeech(std::string_view text, const SpeechSettings& settings) {
  if (settings.wordsPerMinute < kMinWordsPerMinute ||
      settings.wordsPerMinute > kMaxWordsPerMinute) {
    return failed("the speed must be " + std::to_string(kMinWordsPerMinute) + " to " +
                  std::to_string(kMaxWordsPerMinute) + " words per minute");
  }
  if (settings.pitch < 0 || settings.pitch > kMaxPitch) {
    return failed("the pitch must be 0 to " + std::to_string(kMaxPitch));
  }
  const int rate = speechSampleRate();
  if (rate <= 0) return failed(kNoSpeech);
  if (espeak_SetVoiceByName(settings.voice.c_str()) != EE_OK) {
    return failed("no voice '" + settings.voice + "' (velk_mur say --list-voices lists them)");
  }
  espeak_SetParameter(espeakRATE, settings.wordsPerMinute, 0);
  espeak_SetParameter(espeakPITCH, settings.pitch, 0);
  espeak_SetSynthCallback(collectSamples);

  const std::string terminated(text);
  std::vector<std::int16_t> samples;
  const espeak_ERROR spoken = espeak_Synth(terminated.c_str(), terminated.size() + 1, 0,
                                           POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, &samples);
  if (spoken != EE_OK) return failed("eSpeak NG could not speak the text");
  if (samples.empty()) return failed("the text gives no speech");
  MonoSound sound = resampleMono16(samples, rate);
  if (sound.empty()) return failed("resampling failed");
  return {true, {}, std::move(sound)};
}

std::optional<std::vector<VoiceInfo>> installedVoices() {
  if (speechSampleRate() <= 0) return std::nullopt;
  std::vector<VoiceInfo> voices;
  for (const espeak_VOICE* const* voice = espeak_ListVoices(nullptr); *voice != nullptr; ++voice) {
    // The languages are a list of a priority byte and a name; the first is the main one.
    const char* languages = (*voice)->languages;
    const std::string language = languages != nullptr && *languages != 0 ? languages + 1 : "";
    voices.push_back({(*voice)->identifier != nullptr ? (*voice)->identifier : "",
                      (*voice)->name != nullptr ? (*voice)->name : "", language});
  }
  return voices;
}

}  // namespace velk_mur
