#pragma once
// Where a recording's generated files live and what its motions are called. The save to the
// stick and the configuration update use the same names, so they are formed only here.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace velk_mur {

// The ERS-7, the only robot model; part of the head motion's file and motion name.
inline constexpr int kRobotModel = 7;

// The folder listing that finds an audio folder's recordings.
inline constexpr std::string_view kRecordingPattern = "*.wav";

// Sound files in the formats the import decodes, which the robot cannot play as they are
// (a WAV it cannot play has the recordings' own extension).
inline constexpr std::string_view kImportableSoundPatterns[] = {
    "*.mp3",  "*.m4a",  "*.aac", "*.flac", "*.ogg", "*.oga", "*.opus", "*.aif",
    "*.aiff", "*.aifc", "*.wma", "*.amr",  "*.3gp", "*.caf", "*.mka",  "*.webm"};

// The action numbers that belong to the generator; every save rewrites them all.
inline constexpr std::int32_t kFirstOwnedAction = 24001;
inline constexpr std::int32_t kLastOwnedAction = 25001;
// They hold this many actions.
inline constexpr int kMaxActions = kLastOwnedAction - kFirstOwnedAction + 1;

// Action names of 2 to 89 characters keep every record name formed from them (the head motion
// name adds 11) within the 2 to 100 characters that the action configuration accepts.
inline constexpr std::size_t kMinActionNameLength = 2;
inline constexpr std::size_t kMaxActionNameLength = 89;

// A recording's name: the listed file name without its last four characters, the ".wav"
// extension in whatever case the listing gives it.
std::string recordingName(std::string_view listedFileName);

// True when the action name ends in "_SND" (any case) and has at least 5 characters: such an
// action plays only its sound.
bool isAudioOnlyName(std::string_view name);

// Motion kinds.
inline constexpr char kFullBodyKind = 'a';
inline constexpr char kHeadKind = 'h';
inline constexpr char kMouthKind = 'm';

// Kind 'a': name.mtn; kind 'h': name_h<model>.mtn; any other kind: name_<kind>.mtn.
std::string motionFileName(std::string_view name, char kind, int model);

// Kind 'a': folder/name.mtn; kind 'h': folder/GEN/name_h<model>.mtn;
// any other kind: folder/GEN/name_<kind>.mtn.
std::filesystem::path motionFilePath(const std::filesystem::path& folder, std::string_view name,
                                     char kind, int model);

// Kind 'h': "h_any#any_<model><name>"; any other kind: "<kind>_any#any_<name>".
std::string motionName(std::string_view name, char kind, int model);

// name.led, and the same in folder/GEN.
std::string ledFileName(std::string_view name);
std::filesystem::path ledFilePath(const std::filesystem::path& folder, std::string_view name);

// The recording itself as the generation pass opens it: folder/name.WAV (found without case).
std::filesystem::path recordingPath(const std::filesystem::path& folder, std::string_view name);

// The subfolder of generated files.
std::filesystem::path generatedFolder(const std::filesystem::path& folder);

}  // namespace velk_mur
