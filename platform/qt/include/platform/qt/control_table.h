#pragma once
// A dialog's controls from its template table: one row per control, in creation order, which
// is also the tab order of the controls that take the focus. Dialogs and their tests find a
// control by its row's id, the object name.
#include <QSize>
#include <QWidget>
#include <functional>
#include <span>
#include <string_view>

#include "platform/qt/dialog_units.h"
#include "platform/qt/qt_text.h"

namespace platform {

enum class ControlKind {
  Label,       // a caption; it names the control it is the buddy label of
  Display,     // a line of plain text that assistive technology reads as it is shown
  PushButton,  // never the default button: what Enter does is the dialog's decision
  ToolButton,
  LineEdit,
  ComboBox,  // its row's height is the open list's; closed it is as high as the style makes it
  Tree,
  List,
};

// A control's share of the change in the dialog's width and height, in halves: 0 stays,
// 1 follows half of the change, 2 all of it.
struct Stretch {
  int moveX = 0;
  int moveY = 0;
  int growWidth = 0;
  int growHeight = 0;
};

struct ControlRow {
  std::string_view id;  // the object name
  ControlKind kind;
  std::string_view text;  // labels, displays and buttons, with their mnemonics
  UnitRect rect;          // in dialog units
  // A label's: the control it names (a display keeps its text as its name and is only tied
  // to the caption). A tool button's: the control it acts on, for the dialog to wire.
  std::string_view buddy = {};
  std::string_view tip = {};
  std::string_view name = {};  // the accessible name of a control no label names
  Stretch stretch = {};
};

// Makes the control of a row itself (a kind of its own), or returns nullptr for the
// standard control of the row's kind.
using MakeControl = std::function<QWidget*(const ControlRow& row, QWidget* parent)>;

// Creates the rows' controls as children of `dialog`, in row order, each with its object
// name, text, tooltip and accessible name, and ties labels to their buddies.
void buildControls(QWidget& dialog, std::span<const ControlRow> rows, const MakeControl& make = {});

// How a row's rectangle becomes pixels: by corners (neighbours keep their gaps exactly) or by
// position and size each on its own.
enum class Rounding { Corners, Sizes };

// Places the rows' controls for the dialog's font; `grown` is how much larger than its
// template the dialog is, shared out by each row's stretch.
void placeControls(QWidget& dialog, std::span<const ControlRow> rows, Rounding rounding,
                   QSize grown = {});

// The control of row `id` among the dialog's own children, or nullptr.
template <class Widget = QWidget>
Widget* control(const QWidget& dialog, std::string_view id) {
  return dialog.findChild<Widget*>(toQString(id), Qt::FindDirectChildrenOnly);
}

}  // namespace platform
