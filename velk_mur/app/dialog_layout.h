#pragma once
// The dialog's template: its size and controls in dialog units, and their conversion to
// pixels from the dialog font's average character size.
#include <array>
#include <string_view>

namespace velk_mur {

enum class ControlKind { Edit, Button, Label };

struct DialogUnitsRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

struct ControlTemplate {
  std::string_view id;  // empty for labels, which nothing addresses
  ControlKind kind;
  std::string_view text;
  DialogUnitsRect rect;
};

inline constexpr int kDialogWidthUnits = 208;
inline constexpr int kDialogHeightUnits = 93;

// In creation order, which is also the tab order of the controls that take focus.
inline constexpr std::array<ControlTemplate, 12> kGeneratorControls = {{
    {"1005", ControlKind::Edit, "", {77, 6, 79, 14}},
    {"1006", ControlKind::Edit, "", {77, 27, 79, 14}},
    {"1009", ControlKind::Button, "Test", {79, 52, 49, 14}},
    {"1008", ControlKind::Button, "Save to Stick", {143, 52, 49, 14}},
    {"1010", ControlKind::Button, "About...", {169, 24, 32, 14}},
    {"2", ControlKind::Button, "Done", {169, 7, 32, 14}},
    {"", ControlKind::Label, "Memory Stick Path:", {8, 9, 62, 8}},
    {"", ControlKind::Label, "Audio Data Path:", {8, 30, 55, 8}},
    {"1011", ControlKind::Button, "Generate", {15, 52, 49, 14}},
    {"1012", ControlKind::Button, "Import...", {15, 72, 49, 14}},
    {"1013", ControlKind::Button, "Say...", {79, 72, 49, 14}},
    {"1014", ControlKind::Button, "Preview...", {143, 72, 49, 14}},
}};

// The size of the dialog font in the terms dialog units use.
struct DialogBaseUnits {
  int averageCharWidth = 0;
  int charHeight = 0;
};

// value × numerator ÷ denominator, rounded half away from zero.
int scaleRounded(int value, int numerator, int denominator);

// A horizontal unit is a quarter of the average character width, a vertical one an eighth of
// the character height.
DialogUnitsRect toPixels(const DialogUnitsRect& units, const DialogBaseUnits& base);

}  // namespace velk_mur
