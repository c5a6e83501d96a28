#pragma once
// The editor window's template: its controls in creation order, which is also the tab order
// of those that take the focus, with their places in dialog units and how each follows a
// change of the window's size.
#include <array>
#include <string_view>

#include "platform/qt/dialog_units.h"

namespace velk7 {

enum class ControlKind { Tree, List, CategoryBox, FilterBox, Button, Label, Description };

// A control's share of the change in the window's width and height, in halves: 0 stays,
// 1 follows half of the change, 2 all of it.
struct Stretch {
  int moveX = 0;
  int moveY = 0;
  int growWidth = 0;
  int growHeight = 0;
};

struct EditorControl {
  std::string_view id;  // objectName
  ControlKind kind;
  std::string_view text;  // labels and buttons, with their mnemonics
  platform::UnitRect rect;
  Stretch stretch;
  std::string_view name;   // accessible name of a control no label names; else the label's
  std::string_view buddy;  // labels: the control the label names
  std::string_view tip;    // buttons
};

inline constexpr platform::UnitRect kEditorSize{0, 0, 392, 355};
// How far the window shrinks below its size, so that it fits small or scaled screens.
inline constexpr int kShrinkWidthUnits = 100;
inline constexpr int kShrinkHeightUnits = 140;

// One control a row: id, kind, text, place, stretch, accessible name, buddy, tooltip.
// clang-format off
inline constexpr std::array<EditorControl, 12> kEditorControls = {{
    {"1000", ControlKind::Tree, "", {7, 18, 107, 172}, {0, 0, 0, 1}, "", "", ""},
    {"1001", ControlKind::List, "", {119, 18, 262, 172}, {0, 0, 2, 1}, "", "", ""},
    {"1003", ControlKind::List, "", {4, 212, 377, 101}, {0, 1, 2, 1}, "Parts", "", ""},
    {"1004", ControlKind::Button, "&Save RCODE program to memory stick", {127, 339, 137, 13},
     {1, 2, 0, 0}, "", "",
     "Write the program back to R-CODE.R, keeping the previous one as R-CODE.BAK, and close"},
    // The drop-down list opens to the template's height below the closed box.
    {"1006", ControlKind::CategoryBox, "", {67, 195, 136, 143}, {0, 1, 0, 0}, "", "", ""},
    {"filter", ControlKind::FilterBox, "", {232, 195, 149, 12}, {0, 1, 2, 0}, "", "", ""},
    {"eventsCaption", ControlKind::Label, "&When this happens:", {7, 6, 64, 8}, {}, "", "1000", ""},
    {"codeCaption", ControlKind::Label, "AIBO &does this", {126, 6, 48, 8}, {}, "", "1001", ""},
    {"categoryCaption", ControlKind::Label, "&Available Actions:", {7, 198, 57, 8}, {0, 1, 0, 0},
     "", "1006", ""},
    {"filterCaption", ControlKind::Label, "Fil&ter:", {208, 198, 22, 8}, {0, 1, 0, 0}, "",
     "filter", ""},
    {"descriptionCaption", ControlKind::Label, "Description/Posture:", {9, 321, 66, 8},
     {0, 2, 0, 0}, "", "", ""},
    {"1007", ControlKind::Description, "Static", {83, 321, 300, 8}, {0, 2, 2, 0},
     "Description/Posture", "", ""},
}};
// clang-format on

}  // namespace velk7
