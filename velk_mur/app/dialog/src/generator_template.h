#pragma once
// The dialog's template: its controls in creation order, which is also the tab order of those
// that take the focus, with their places in dialog units. Each folder button follows the path
// it fills, and names it as its buddy.
#include <array>
#include <string_view>

#include "platform/qt/control_table.h"

namespace velk_mur {

namespace control_id {
inline constexpr std::string_view kStickPath = "1005";
inline constexpr std::string_view kStickPathBrowse = "stickPathBrowse";
inline constexpr std::string_view kAudioPath = "1006";
inline constexpr std::string_view kAudioPathBrowse = "audioPathBrowse";
inline constexpr std::string_view kTest = "1009";
inline constexpr std::string_view kSaveToStick = "1008";
inline constexpr std::string_view kAbout = "1010";
inline constexpr std::string_view kDone = "2";
inline constexpr std::string_view kStickPathCaption = "stickPathCaption";
inline constexpr std::string_view kAudioPathCaption = "audioPathCaption";
inline constexpr std::string_view kGenerate = "1011";
inline constexpr std::string_view kImport = "1012";
inline constexpr std::string_view kSay = "1013";
inline constexpr std::string_view kPreview = "1014";
inline constexpr std::string_view kRoomBar = "roomBar";
inline constexpr std::string_view kRestoreBackup = "restoreBackup";
inline constexpr std::string_view kStickStatus = "stickStatus";
}  // namespace control_id

inline constexpr platform::UnitRect kGeneratorSize{0, 0, 208, 122};

// A folder button's tooltip is also its name, as "..." says nothing.
inline constexpr std::string_view kChooseStick = "Choose the memory stick folder";
inline constexpr std::string_view kChooseAudio = "Choose the audio data folder";

// One control a row: id, kind, text, place, buddy, tooltip, accessible name.
// clang-format off
inline constexpr std::array<platform::ControlRow, 17> kGeneratorControls = [] {
  using enum platform::ControlKind;
  namespace id = control_id;
  return std::array<platform::ControlRow, 17>{{
    {id::kStickPath, LineEdit, "", {77, 6, 79, 14}},
    {id::kStickPathBrowse, ToolButton, "...", {158, 6, 10, 14}, id::kStickPath, kChooseStick,
     kChooseStick},
    {id::kAudioPath, LineEdit, "", {77, 27, 79, 14}},
    {id::kAudioPathBrowse, ToolButton, "...", {158, 27, 10, 14}, id::kAudioPath, kChooseAudio,
     kChooseAudio},
    {id::kTest, PushButton, "Test", {79, 52, 49, 14}, "",
     "Check the recordings and report what would be saved"},
    {id::kSaveToStick, PushButton, "Save to Stick", {143, 52, 49, 14}, "",
     "Write the recordings and their motions to the memory stick"},
    {id::kAbout, PushButton, "About...", {169, 24, 32, 14}, "", "Show the program's version"},
    {id::kDone, PushButton, "Done", {169, 7, 32, 14}, "", "Close without saving the paths"},
    {id::kStickPathCaption, Label, "&Memory Stick Path:", {8, 9, 62, 8}, id::kStickPath},
    {id::kAudioPathCaption, Label, "&Audio Data Path:", {8, 30, 55, 8}, id::kAudioPath},
    {id::kGenerate, PushButton, "Generate", {15, 52, 49, 14}, "",
     "Create the missing motion and LED files"},
    {id::kImport, PushButton, "Import...", {15, 72, 49, 14}, "",
     "Convert audio files into recordings in the audio folder"},
    {id::kSay, PushButton, "Say...", {79, 72, 49, 14}, "",
     "Speak a text into a new recording in the audio folder"},
    {id::kPreview, PushButton, "Preview...", {143, 72, 49, 14}, "",
     "Show how the robot will move and light up for a recording"},
    {id::kRoomBar, Display, "", {15, 93, 113, 12}},
    {id::kRestoreBackup, PushButton, "Restore a backup...", {133, 92, 68, 14}, "",
     "Put back the stick's files from a backup that a save made"},
    {id::kStickStatus, Display, "", {15, 110, 186, 8}},
  }};
}();
// clang-format on

}  // namespace velk_mur
