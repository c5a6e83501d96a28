#pragma once
// The robot's head seen from the front, for the preview window's animation.
#include <QPainter>
#include <QRectF>

#include "velk_mur/preview/recording_preview.h"

namespace velk_mur {

// Draws the head in `pose` within `area`, keeping its proportions.
void paintRobotHead(QPainter& painter, const QRectF& area, const RobotPose& pose);

}  // namespace velk_mur
