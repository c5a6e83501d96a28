#pragma once
// The editor window's template: its controls in creation order, which is also the tab order
// of those that take the focus, with their places in dialog units and how each follows a
// change of the window's size.
#include <array>
#include <string_view>

#include "platform/qt/control_table.h"

namespace velk7 {

namespace control_id {
inline constexpr std::string_view kEventTree = "1000";
inline constexpr std::string_view kCodeList = "1001";
inline constexpr std::string_view kPartsList = "1003";
inline constexpr std::string_view kSave = "1004";
inline constexpr std::string_view kCategoryBox = "1006";
inline constexpr std::string_view kFilter = "filter";
inline constexpr std::string_view kEventsCaption = "eventsCaption";
inline constexpr std::string_view kCodeCaption = "codeCaption";
inline constexpr std::string_view kCategoryCaption = "categoryCaption";
inline constexpr std::string_view kFilterCaption = "filterCaption";
inline constexpr std::string_view kDescriptionCaption = "descriptionCaption";
inline constexpr std::string_view kDescription = "1007";
inline constexpr std::string_view kCheck = "check";
inline constexpr std::string_view kTryIt = "tryIt";
}  // namespace control_id

inline constexpr platform::UnitRect kEditorSize{0, 0, 392, 355};
// How far the window shrinks below its size, so that it fits small or scaled screens.
inline constexpr int kShrinkWidthUnits = 100;
inline constexpr int kShrinkHeightUnits = 140;

// One control a row: id, kind, text, place, buddy, tooltip, accessible name, stretch.
// clang-format off
inline constexpr std::array<platform::ControlRow, 14> kEditorControls = [] {
  using enum platform::ControlKind;
  namespace id = control_id;
  return std::array<platform::ControlRow, 14>{{
    {id::kEventTree, Tree, "", {7, 18, 107, 172}, "", "", "", {0, 0, 0, 1}},
    {id::kCodeList, List, "", {119, 18, 262, 172}, "", "", "", {0, 0, 2, 1}},
    {id::kPartsList, List, "", {4, 212, 377, 101}, "", "", "Parts", {0, 1, 2, 1}},
    {id::kCheck, PushButton, "Chec&k", {7, 339, 50, 13}, "",
     "List what the robot cannot run in the whole program, and what looks wrong", "",
     {0, 2, 0, 0}},
    {id::kTryIt, PushButton, "T&ry it...", {61, 339, 50, 13}, "",
     "Run the program here, pressing the robot's sensors with buttons", "", {0, 2, 0, 0}},
    {id::kSave, PushButton, "&Save RCODE program to memory stick", {127, 339, 137, 13}, "",
     "Write the program back to R-CODE.R, keeping the previous one as R-CODE.BAK, and close",
     "", {1, 2, 0, 0}},
    // The drop-down list opens to the template's height below the closed box.
    {id::kCategoryBox, ComboBox, "", {67, 195, 136, 143}, "", "", "", {0, 1, 0, 0}},
    {id::kFilter, LineEdit, "", {232, 195, 149, 12}, "", "", "", {0, 1, 2, 0}},
    {id::kEventsCaption, Label, "&When this happens:", {7, 6, 64, 8}, id::kEventTree},
    {id::kCodeCaption, Label, "AIBO &does this", {126, 6, 48, 8}, id::kCodeList},
    {id::kCategoryCaption, Label, "&Available Actions:", {7, 198, 57, 8}, id::kCategoryBox, "",
     "", {0, 1, 0, 0}},
    {id::kFilterCaption, Label, "Fil&ter:", {208, 198, 22, 8}, id::kFilter, "", "",
     {0, 1, 0, 0}},
    {id::kDescriptionCaption, Label, "Description/Posture:", {9, 321, 66, 8}, id::kDescription,
     "", "", {0, 2, 0, 0}},
    {id::kDescription, Display, "Static", {83, 321, 300, 8}, "", "", "", {0, 2, 2, 0}},
  }};
}();
// clang-format on

}  // namespace velk7
