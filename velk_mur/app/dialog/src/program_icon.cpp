#include "program_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace velk_mur {

namespace {

constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// A robot dog's head seen from the front, with a speech bubble: the program makes
// the robot talk. Drawn on a 64-unit grid and scaled.
QPixmap paintIcon(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 64.0, size / 64.0);

  const QColor shell(0xd8, 0xdc, 0xe2);
  const QColor outline(0x3a, 0x40, 0x4a);
  painter.setPen(QPen(outline, 2.5));

  // Ears, drooping to both sides.
  painter.setBrush(QColor(0x9a, 0xa2, 0xae));
  QPainterPath leftEar;
  leftEar.moveTo(12, 22);
  leftEar.quadTo(2, 26, 4, 42);
  leftEar.quadTo(12, 40, 17, 32);
  leftEar.closeSubpath();
  painter.drawPath(leftEar);
  QPainterPath rightEar;
  rightEar.moveTo(44, 22);
  rightEar.quadTo(54, 26, 52, 42);
  rightEar.quadTo(44, 40, 39, 32);
  rightEar.closeSubpath();
  painter.drawPath(rightEar);

  // Head and muzzle.
  painter.setBrush(shell);
  painter.drawRoundedRect(QRectF(11, 16, 34, 32), 14, 14);
  painter.drawRoundedRect(QRectF(19, 40, 18, 16), 7, 7);

  // Dark visor with two lit eyes.
  painter.setBrush(QColor(0x1e, 0x22, 0x2a));
  painter.drawRoundedRect(QRectF(15, 25, 26, 11), 5, 5);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x4c, 0xe0, 0x7a));
  painter.drawEllipse(QPointF(22, 30.5), 3, 3);
  painter.drawEllipse(QPointF(34, 30.5), 3, 3);

  // Open mouth.
  painter.setBrush(QColor(0xc0, 0x3a, 0x4a));
  painter.drawEllipse(QRectF(24, 47, 8, 5));

  // Speech bubble with sound waves.
  painter.setPen(QPen(outline, 2));
  painter.setBrush(QColor(0xff, 0xf4, 0xb8));
  QPainterPath bubble;
  bubble.addRoundedRect(QRectF(40, 2, 22, 16), 6, 6);
  QPainterPath tail;
  tail.moveTo(45, 16);
  tail.lineTo(42, 23);
  tail.lineTo(51, 17);
  tail.closeSubpath();
  painter.drawPath(bubble.united(tail));
  painter.setBrush(Qt::NoBrush);
  painter.drawArc(QRectF(45, 6, 8, 8), -60 * 16, 120 * 16);
  painter.drawArc(QRectF(43, 3, 14, 14), -50 * 16, 100 * 16);
  return pixmap;
}

}  // namespace

QIcon programIcon() {
  QIcon icon;
  for (const int size : kIconSizes) icon.addPixmap(paintIcon(size));
  return icon;
}

}  // namespace velk_mur
