#pragma once
// A drag in the editor as the pointer sees it: the picture that follows the pointer, the
// mouse capture, and what lies under the pointer. The decisions are the drag controller's;
// the session maps the dialog's windows and lists onto them.
#include <QPixmap>
#include <QPoint>

#include "drag_controller.h"

class QListWidget;
class QWidget;

namespace velk7 {

class DragImageWindow;

// Item data roles of the three views; a drag reads what it carries from them.
inline constexpr int kItemDataRole = Qt::UserRole;
inline constexpr int kIsCodeLineRole = Qt::UserRole + 1;

class DragSession {
 public:
  // `dialog` holds the capture during a drag; parts and lines are dropped on `codeList`.
  DragSession(QWidget& dialog, QListWidget& codeList, QListWidget& partsList);
  ~DragSession();
  DragSession(const DragSession&) = delete;
  DragSession& operator=(const DragSession&) = delete;

  // A drag begins on `row` of `list`; when one began (true), its picture is under the pointer
  // and the dialog holds the mouse.
  bool begin(QListWidget& list, int row, QPoint globalPointer);
  // The pointer moved while `selectedEvent` (-1: none) is chosen.
  void move(QPoint globalPointer, int selectedEvent);
  // The left button was released: ends the drag and returns the edit to make.
  LineEdit release(QPoint globalPointer, int selectedEvent);
  // The capture was taken away: ends the drag without an edit. False when none was under way.
  bool abandon();

  const DragController& controller() const { return controller_; }
  bool dragging() const { return controller_.dragging(); }

 private:
  void show(DragPicture picture, QPoint globalPointer);
  void end();
  DropTarget targetAt(QPoint globalPointer) const;
  QWidget* widgetAt(QPoint globalPointer) const;
  int codeDropIndex(QPoint globalPointer) const;

  QWidget& dialog_;
  QListWidget& codeList_;
  QListWidget& partsList_;
  DragImageWindow* picture_;  // a window of the dialog's, which owns it
  QPixmap itemPicture_;
  QPixmap deleteMark_;
  QPixmap noDropMark_;
  DragController controller_;
};

}  // namespace velk7
