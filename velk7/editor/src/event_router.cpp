#include "event_router.h"

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>

namespace velk7 {

EventRouter::EventRouter(QWidget* dialog, QListWidget* codeList, QListWidget* partsList,
                         Handlers handlers)
    : QObject(dialog),
      dialog_(dialog),
      codeList_(codeList),
      partsList_(partsList),
      handlers_(std::move(handlers)) {
  dialog_->installEventFilter(this);
  for (QListWidget* list : {codeList_, partsList_}) {
    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);
  }
}

bool EventRouter::eventFilter(QObject* watched, QEvent* event) {
  if (watched == dialog_) {
    switch (event->type()) {
      case QEvent::MouseMove:
        handlers_.pointerMoved(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        break;
      case QEvent::MouseButtonRelease: {
        // Also a release over the dialog's background without a drag ends here.
        const auto* release = static_cast<QMouseEvent*>(event);
        if (release->button() == Qt::LeftButton) {
          handlers_.leftButtonReleased(release->globalPosition().toPoint());
        }
        break;
      }
      case QEvent::ActivationChange:
        if (!dialog_->isActiveWindow()) handlers_.captureLost();
        break;
      default:
        break;
    }
    return false;
  }
  for (QListWidget* list : {codeList_, partsList_}) {
    if (watched == list && event->type() == QEvent::KeyPress) {
      return handlers_.listKey(list, *static_cast<QKeyEvent*>(event));
    }
    if (watched == list->viewport()) return listPointer(list, event);
  }
  return false;
}

bool EventRouter::listPointer(QListWidget* list, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      const auto* press = static_cast<QMouseEvent*>(event);
      if (press->button() != Qt::LeftButton) break;
      const QModelIndex index = list->indexAt(press->position().toPoint());
      pressedList_ = list;
      pressedRow_ = index.isValid() ? index.row() : -1;
      pressedAt_ = press->globalPosition().toPoint();
      break;
    }
    case QEvent::MouseMove: {
      const auto* move = static_cast<QMouseEvent*>(event);
      if (pressedList_ != list || (move->buttons() & Qt::LeftButton) == 0) break;
      const QPoint pointer = move->globalPosition().toPoint();
      if ((pointer - pressedAt_).manhattanLength() < QApplication::startDragDistance()) break;
      pressedList_ = nullptr;
      // A press beside every item starts no drag; the list keeps its own handling then.
      if (pressedRow_ < 0) break;
      return handlers_.beginDrag(list, pressedRow_, pointer);
    }
    case QEvent::MouseButtonRelease:
      pressedList_ = nullptr;
      break;
    default:
      break;
  }
  return false;
}

}  // namespace velk7
