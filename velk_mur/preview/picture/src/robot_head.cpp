#include "velk_mur/preview/robot_head.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace velk_mur {

void paintRobotHead(QPainter& painter, const QRectF& area, const RobotPose& pose) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  const double size = std::min(area.width(), area.height());
  painter.translate(area.center());
  painter.scale(size / 240.0, size / 240.0);
  // Tilt and nod move the head up and down, pan turns it sideways: seen from the front, a
  // turn shifts the face and narrows it.
  const double pan = std::clamp(pose.panDegrees, -90.0, 90.0) * std::numbers::pi / 180.0;
  const double lift = -(pose.tiltDegrees + pose.nodDegrees) * 0.6;
  painter.translate(std::sin(pan) * 40, lift);
  painter.scale(std::max(std::cos(pan), 0.35), 1.0);

  painter.setPen(QPen(QColor(60, 60, 60), 2));
  painter.setBrush(QColor(235, 235, 238));
  painter.drawEllipse(QPointF(-62, -45), 26, 38);  // ears
  painter.drawEllipse(QPointF(62, -45), 26, 38);
  painter.drawRoundedRect(QRectF(-70, -70, 140, 120), 55, 55);

  // The face panel with its LEDs: 0 to 5 and 6 to 11 as two eyes, 12 and 13 above them.
  painter.setBrush(QColor(40, 40, 48));
  painter.drawRoundedRect(QRectF(-52, -50, 104, 56), 24, 24);
  painter.setPen(Qt::NoPen);
  for (int led = 0; led < kLedCount; ++led) {
    QPointF centre;
    if (led < 12) {
      const int side = led < 6 ? -1 : 1;
      const double angle = (led % 6) * std::numbers::pi / 5.0;
      centre = QPointF(side * 25 + 15 * std::cos(angle) * side, -20 + 13 * std::sin(angle) - 6);
    } else {
      centre = QPointF(led == 12 ? -8 : 8, -42);
    }
    const bool lit = (pose.ledMask >> led) & 1u;
    painter.setBrush(lit ? QColor(255, 190, 40) : QColor(80, 80, 90));
    painter.drawEllipse(centre, 4.5, 4.5);
  }

  // The jaw swings open by the mouth joint's angle (more negative is wider).
  const double open = std::clamp(-pose.mouthDegrees, 0.0, 60.0);
  painter.setPen(QPen(QColor(60, 60, 60), 2));
  painter.setBrush(QColor(120, 30, 40));
  painter.drawRoundedRect(QRectF(-34, 30, 68, 6 + open * 0.9), 10, 10);
  painter.setBrush(QColor(235, 235, 238));
  painter.drawRoundedRect(QRectF(-38, 34 + open * 0.9, 76, 22), 10, 10);
  painter.drawRoundedRect(QRectF(-44, 14, 88, 24), 12, 12);  // muzzle over the mouth
  painter.restore();
}

}  // namespace velk_mur
