#include "drag_session.h"

#include <QApplication>
#include <QListWidget>

#include "drag_image_window.h"
#include "editor_images.h"

namespace velk7 {

DragSession::DragSession(QWidget& dialog, QListWidget& codeList, QListWidget& partsList)
    : dialog_(dialog),
      codeList_(codeList),
      partsList_(partsList),
      picture_(new DragImageWindow(&dialog)),
      deleteMark_(dragMark(DragPicture::DeleteMark, dialog.devicePixelRatioF())),
      noDropMark_(dragMark(DragPicture::NoDropMark, dialog.devicePixelRatioF())) {}

// A drag still under way must not leave the mouse captured.
DragSession::~DragSession() {
  if (dragging()) dialog_.releaseMouse();
}

bool DragSession::begin(QListWidget& list, int row, QPoint globalPointer) {
  const QListWidgetItem* item = list.item(row);
  if (item == nullptr) return false;
  if (&list == &partsList_) {
    const std::string part = item->data(kItemDataRole).toByteArray().toStdString();
    if (!controller_.beginPartDrag(&part)) return false;
  } else if (!controller_.beginLineDrag(row, item->data(kItemDataRole).toInt())) {
    return false;
  }
  itemPicture_ =
      itemDragImage(item->icon(), item->text(), list.font(), dialog_.devicePixelRatioF());
  show(DragPicture::ItemImage, globalPointer);
  dialog_.grabMouse();
  return true;
}

void DragSession::move(QPoint globalPointer, int selectedEvent) {
  if (!dragging()) return;
  show(controller_.pointerMoved(targetAt(globalPointer), selectedEvent), globalPointer);
}

LineEdit DragSession::release(QPoint globalPointer, int selectedEvent) {
  if (!dragging()) return {};
  end();
  const DropTarget target = targetAt(globalPointer);
  const int dropIndex = target == DropTarget::CodeList ? codeDropIndex(globalPointer) : -1;
  return controller_.release(target, selectedEvent, dropIndex);
}

bool DragSession::abandon() {
  if (!dragging()) return false;
  controller_.abandon();
  end();
  return true;
}

void DragSession::show(DragPicture picture, QPoint globalPointer) {
  const QPixmap& wanted = picture == DragPicture::ItemImage    ? itemPicture_
                          : picture == DragPicture::DeleteMark ? deleteMark_
                                                               : noDropMark_;
  if (picture_->picture().cacheKey() != wanted.cacheKey()) picture_->setPicture(wanted);
  picture_->showAt(globalPointer);
}

void DragSession::end() {
  dialog_.releaseMouse();
  picture_->hide();
  picture_->setPicture(QPixmap());
  itemPicture_ = QPixmap();
}

QWidget* DragSession::widgetAt(QPoint globalPointer) const {
  QWidget* found = QApplication::widgetAt(globalPointer);
  if (found != nullptr && found->window() != picture_) return found;
  // The picture itself lies under the pointer, and a platform that cannot see through it
  // reports it or nothing: look beneath it among the program's own windows, the dialog
  // first.
  QList<QWidget*> windows = QApplication::topLevelWidgets();
  windows.removeAll(&dialog_);
  windows.prepend(&dialog_);
  for (QWidget* window : windows) {
    if (window == picture_ || !window->isVisible()) continue;
    if (!window->geometry().contains(globalPointer)) continue;
    QWidget* child = window->childAt(window->mapFromGlobal(globalPointer));
    return child != nullptr ? child : window;
  }
  return nullptr;
}

DropTarget DragSession::targetAt(QPoint globalPointer) const {
  QWidget* under = widgetAt(globalPointer);
  if (under == nullptr) return DropTarget::Elsewhere;
  if (under == &codeList_ || codeList_.isAncestorOf(under)) return DropTarget::CodeList;
  if (under == &partsList_ || partsList_.isAncestorOf(under)) return DropTarget::PartsList;
  return DropTarget::Elsewhere;
}

int DragSession::codeDropIndex(QPoint globalPointer) const {
  const QModelIndex index = codeList_.indexAt(codeList_.viewport()->mapFromGlobal(globalPointer));
  return index.isValid() ? index.row() : codeList_.count();
}

}  // namespace velk7
