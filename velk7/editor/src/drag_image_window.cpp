#include "drag_image_window.h"

#include <QBitmap>
#include <QPainter>

#include "editor_images.h"

namespace velk7 {

DragImageWindow::DragImageWindow(QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                         Qt::WindowDoesNotAcceptFocus) {
  setObjectName(QStringLiteral("dragImage"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_TranslucentBackground);
  setFocusPolicy(Qt::NoFocus);
}

void DragImageWindow::setPicture(const QPixmap& picture) {
  picture_ = picture;
  resize(picture.deviceIndependentSize().toSize());
  // Without a compositor a translucent window is black where the picture is clear; shaping
  // the window to the picture's own pixels shows the same on every desktop.
  const QBitmap shape = picture.mask();
  if (!shape.isNull()) setMask(QBitmap::fromPixmap(shape.scaled(size())));
  update();
}

void DragImageWindow::showAt(QPoint globalPointer) {
  move(globalPointer - QPoint(kDragHotSpot, kDragHotSpot));
  if (!isVisible()) show();
}

void DragImageWindow::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.drawPixmap(0, 0, picture_);
}

}  // namespace velk7
