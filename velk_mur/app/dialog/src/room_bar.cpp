#include "room_bar.h"

#include <QPainter>
#include <QPalette>
#include <algorithm>

#include "platform/qt/qt_text.h"
#include "platform/stick_finder.h"

namespace velk_mur {

namespace {

QString sizeText(std::uint64_t bytes) {
  return platform::toQString(platform::sizeText(bytes));
}

}  // namespace

RoomBar::RoomBar(QWidget* parent) : QWidget(parent) {
  setAccessibleName(QStringLiteral("Room on the memory stick"));
  setFigures(std::nullopt);
}

void RoomBar::setFigures(const std::optional<RoomFigures>& figures) {
  figures_ = figures;
  setToolTip(caption());
  setAccessibleDescription(caption());
  update();
}

QString RoomBar::caption() const {
  if (!figures_) return QStringLiteral("Room on the stick: unknown");
  const QString needed = sizeText(figures_->needed);
  const QString available = sizeText(figures_->available);
  if (!figures_->enough()) {
    return QStringLiteral("Too big: needs %1, %2 free").arg(needed, available);
  }
  return QStringLiteral("Save needs %1 of %2 free").arg(needed, available);
}

void RoomBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect frame = rect().adjusted(0, 0, -1, -1);
  const QPalette& colours = palette();
  painter.fillRect(frame, colours.color(QPalette::Base));
  if (figures_) {
    const RoomFigures& f = *figures_;
    // Without the stick's size the bar spans what the save could use: the free room and the
    // talking actions it replaces.
    const std::uint64_t total =
        std::max<std::uint64_t>({f.size, f.available + f.talking, f.needed, 1});
    const std::uint64_t others = total - std::min(total, f.available + f.talking);
    const auto width = [&](std::uint64_t bytes) {
      return static_cast<int>(static_cast<double>(bytes) / static_cast<double>(total) *
                              frame.width());
    };
    const int othersWidth = width(others);
    // Light shades, so that the figures written over the bar read on every part of it.
    painter.fillRect(QRect(frame.left(), frame.top(), othersWidth, frame.height()),
                     QColor(200, 200, 200));
    QColor need = f.enough() ? colours.color(QPalette::Highlight) : QColor(220, 40, 40);
    need.setAlpha(110);
    painter.fillRect(QRect(frame.left() + othersWidth, frame.top(),
                           std::min(width(f.needed), frame.width() - othersWidth), frame.height()),
                     need);
  }
  painter.setPen(colours.color(QPalette::Mid));
  painter.drawRect(frame);
  painter.setPen(colours.color(QPalette::Text));
  // A narrow bar (a large font, long figures) shortens the caption; the tooltip has it whole.
  painter.drawText(frame, Qt::AlignCenter,
                   fontMetrics().elidedText(caption(), Qt::ElideRight, frame.width() - 4));
}

}  // namespace velk_mur
