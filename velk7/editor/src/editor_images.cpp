#include "editor_images.h"

#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace velk7 {

namespace {

const QColor kMagenta(255, 0, 255);
const QColor kLightGrey(192, 192, 192);
const QColor kDeleteRed(255, 0, 0);
const QColor kNoDropYellow(255, 255, 0);

constexpr int kLargestWordPixels = 10;
constexpr int kSmallestWordPixels = 6;

QPixmap blankImage(QSize size, qreal devicePixelRatio) {
  QPixmap pixmap(size * devicePixelRatio);
  pixmap.setDevicePixelRatio(devicePixelRatio);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

// The largest small font in which `word` fits inside the frame with a pixel to spare.
QFont wordFont(const QString& word) {
  QFont font(QStringLiteral("Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  for (int pixels = kLargestWordPixels; pixels > kSmallestWordPixels; --pixels) {
    font.setPixelSize(pixels);
    if (QFontMetrics(font).horizontalAdvance(word) <= kImageSize.width() - 4) return font;
  }
  font.setPixelSize(kSmallestWordPixels);
  return font;
}

// A word centred in a 25 x 15 box with a one-pixel frame.
QPixmap wordImage(const QString& word, const QColor& ground, const QColor& frame, const QColor& ink,
                  qreal devicePixelRatio) {
  QPixmap pixmap = blankImage(kImageSize, devicePixelRatio);
  QPainter painter(&pixmap);
  const QRectF box(0, 0, kImageSize.width(), kImageSize.height());
  if (ground.alpha() != 0) painter.fillRect(box, ground);
  const qreal right = box.width() - 1;
  const qreal bottom = box.height() - 1;
  painter.fillRect(QRectF(0, 0, box.width(), 1), frame);
  painter.fillRect(QRectF(0, bottom, box.width(), 1), frame);
  painter.fillRect(QRectF(0, 0, 1, box.height()), frame);
  painter.fillRect(QRectF(right, 0, 1, box.height()), frame);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.setFont(wordFont(word));
  painter.setPen(ink);
  painter.drawText(box.adjusted(1, 1, -1, -1), Qt::AlignCenter, word);
  return pixmap;
}

void paintProgramIcon(QPainter& painter, qreal size) {
  // A robot dog's head seen from the front: a rounded white shell, a dark visor with two
  // glowing eyes, two drooping ears and a small "7" on the forehead.
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal unit = size / 32.0;
  painter.scale(unit, unit);

  QLinearGradient earShade(0, 6, 0, 24);
  earShade.setColorAt(0, QColor(90, 90, 100));
  earShade.setColorAt(1, QColor(40, 40, 48));
  painter.setPen(Qt::NoPen);
  painter.setBrush(earShade);
  painter.drawEllipse(QRectF(1.0, 7.0, 7.5, 15.0));
  painter.drawEllipse(QRectF(23.5, 7.0, 7.5, 15.0));

  QRadialGradient shell(QPointF(13, 9), 20);
  shell.setColorAt(0, QColor(255, 255, 255));
  shell.setColorAt(1, QColor(175, 180, 192));
  painter.setBrush(shell);
  painter.setPen(QPen(QColor(70, 70, 80), 0.8));
  QPainterPath head;
  head.addRoundedRect(QRectF(5.0, 3.0, 22.0, 25.0), 10.0, 10.0);
  painter.drawPath(head);

  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(25, 28, 40));
  painter.drawRoundedRect(QRectF(7.5, 11.0, 17.0, 8.5), 4.0, 4.0);

  QRadialGradient glow(QPointF(0, 0), 2.4);
  glow.setColorAt(0, QColor(200, 255, 230));
  glow.setColorAt(1, QColor(0, 200, 120, 0));
  for (const qreal x : {12.0, 20.0}) {
    painter.save();
    painter.translate(x, 15.2);
    painter.setBrush(glow);
    painter.drawEllipse(QPointF(0, 0), 2.4, 2.4);
    painter.restore();
  }

  painter.setBrush(QColor(60, 60, 72));
  painter.drawRoundedRect(QRectF(13.5, 22.0, 5.0, 3.0), 1.5, 1.5);

  QFont font(QStringLiteral("Sans Serif"));
  font.setBold(true);
  font.setPixelSize(6);
  painter.setFont(font);
  painter.setPen(QColor(200, 40, 60));
  painter.drawText(QRectF(5.0, 3.5, 22.0, 7.0), Qt::AlignCenter, QStringLiteral("7"));
}

}  // namespace

QPixmap kindImage(LineKind kind, qreal devicePixelRatio) {
  const QString word = QString::fromLatin1(kindCaption(kind));
  return wordImage(word, Qt::transparent, kLightGrey, kMagenta, devicePixelRatio);
}

std::array<QIcon, kLineKindCount> makeKindImages(qreal devicePixelRatio) {
  std::array<QIcon, kLineKindCount> images;
  for (int kind = 0; kind < kLineKindCount; ++kind) {
    images[static_cast<std::size_t>(kind)] =
        QIcon(kindImage(static_cast<LineKind>(kind), devicePixelRatio));
  }
  return images;
}

QPixmap dragMark(DragPicture mark, qreal devicePixelRatio) {
  switch (mark) {
    case DragPicture::DeleteMark:
      return wordImage(QStringLiteral("del"), kDeleteRed, Qt::black, Qt::black, devicePixelRatio);
    case DragPicture::NoDropMark:
      return wordImage(QStringLiteral("???"), kNoDropYellow, Qt::black, Qt::black,
                       devicePixelRatio);
    case DragPicture::ItemImage:
      break;
  }
  return {};
}

QPixmap itemDragImage(const QIcon& icon, const QString& label, const QFont& font,
                      qreal devicePixelRatio) {
  constexpr int kGap = 2;
  const QFontMetrics metrics(font);
  const int textLeft = icon.isNull() ? 0 : kImageSize.width() + kGap;
  const QSize size(textLeft + metrics.horizontalAdvance(label) + kGap,
                   std::max(kImageSize.height(), metrics.height()));
  QPixmap pixmap = blankImage(size, devicePixelRatio);
  QPainter painter(&pixmap);
  if (!icon.isNull()) {
    const int top = (size.height() - kImageSize.height()) / 2;
    icon.paint(&painter, QRect(QPoint(0, top), kImageSize));
  }
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(QRect(textLeft, 0, size.width() - textLeft, size.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, label);
  return pixmap;
}

QPixmap programIconPixmap(int size, qreal devicePixelRatio) {
  QPixmap pixmap = blankImage(QSize(size, size), devicePixelRatio);
  QPainter painter(&pixmap);
  paintProgramIcon(painter, size);
  return pixmap;
}

QIcon programIcon() {
  QIcon icon;
  for (const int size : {16, 32, 48, 64, 128}) icon.addPixmap(programIconPixmap(size, 1.0));
  return icon;
}

}  // namespace velk7
