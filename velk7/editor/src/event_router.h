#pragma once
// Routes the editor's pointer and list keys to its handlers: a left-button press on a list
// item that moves past the drag distance begins a drag; while a drag is under way, the
// dialog holds the mouse capture and its moves and the release go on; another window taking
// the activation takes the capture away.
#include <QObject>
#include <QPoint>
#include <functional>

class QKeyEvent;
class QListWidget;
class QWidget;

namespace velk7 {

class EventRouter : public QObject {
 public:
  struct Handlers {
    // A drag begins on `row` of `list`; true when one began.
    std::function<bool(QListWidget* list, int row, QPoint globalPointer)> beginDrag;
    // The pointer moved or the left button was released over the dialog, or anywhere while
    // it holds the capture.
    std::function<void(QPoint globalPointer)> pointerMoved;
    std::function<void(QPoint globalPointer)> leftButtonReleased;
    // Another window took the activation.
    std::function<void()> captureLost;
    // A key pressed in one of the lists; true when it was handled there.
    std::function<bool(QListWidget* list, const QKeyEvent& key)> listKey;
  };

  // Watches `dialog` (which takes the capture) and the two lists.
  EventRouter(QWidget* dialog, QListWidget* codeList, QListWidget* partsList, Handlers handlers);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool listPointer(QListWidget* list, QEvent* event);

  QWidget* dialog_;
  QListWidget* codeList_;
  QListWidget* partsList_;
  Handlers handlers_;
  // A left-button press in one of the lists, which becomes a drag once the pointer moves.
  QListWidget* pressedList_ = nullptr;
  int pressedRow_ = -1;
  QPoint pressedAt_;
};

}  // namespace velk7
