#include "velk_mur/preview/preview_picture.h"

#include <QFileInfo>
#include <QPainterPath>
#include <QPolygonF>
#ifdef VELK_PREVIEW_WITH_SVG
#include <QSvgGenerator>
#endif
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "platform/ascii_text.h"
#include "platform/path_text.h"
#include "platform/qt/qt_text.h"

namespace velk_mur {

namespace {

constexpr int kWidth = 1200;
constexpr int kLeftMargin = 110;
constexpr int kRightMargin = 24;
constexpr int kTitleHeight = 40;
constexpr int kPanelGap = 26;  // room for each panel's caption above it
constexpr int kWaveHeight = 110;
constexpr int kMouthHeight = 100;
constexpr int kJointsHeight = 150;
constexpr int kLedRowHeight = 11;
constexpr int kAxisHeight = 44;
constexpr double kMinJointRange = 45;
constexpr double kMinMouthOpening = 55;

const QColor kGridColor{235, 235, 235};
const QColor kFrameColor{170, 170, 170};
const QColor kTextColor{20, 20, 20};
const std::array<QColor, 6> kJointColors = {QColor{20, 120, 60}, QColor{130, 60, 170},
                                            QColor{0, 130, 170}, QColor{170, 110, 0},
                                            QColor{90, 90, 90},  QColor{200, 60, 140}};

// A tick step that gives at most about a dozen labels.
double tickStep(double seconds) {
  static constexpr double kSteps[] = {0.1, 0.2, 0.5, 1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 1200};
  for (double step : kSteps) {
    if (seconds / step <= 12) return step;
  }
  return 3600;
}

QString secondsText(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%g", std::round(value * 10) / 10);
  return QString::fromLatin1(buffer);
}

QString lengthText(double seconds) {
  char buffer[48];
  if (seconds < 60) {
    std::snprintf(buffer, sizeof buffer, "%.2f s", seconds);
  } else {
    const int whole = static_cast<int>(seconds);
    std::snprintf(buffer, sizeof buffer, "%d:%02d min (%.1f s)", whole / 60, whole % 60, seconds);
  }
  return QString::fromLatin1(buffer);
}

// A curve drawn as at most two points per pixel column, so long motions draw as fast as
// short ones.
QPolygonF curvePolygon(const std::vector<double>& times, const std::vector<double>& values,
                       const PreviewLayout& layout, auto yOf) {
  QPolygonF polygon;
  int column = -1;
  double low = 0;
  double high = 0;
  const auto flush = [&] {
    if (column < 0) return;
    polygon << QPointF(column, yOf(low));
    if (high != low) polygon << QPointF(column + 0.5, yOf(high));
  };
  for (std::size_t index = 0; index < times.size(); ++index) {
    const int x = static_cast<int>(std::lround(layout.xAt(times[index])));
    if (x != column) {
      flush();
      column = x;
      low = high = values[index];
    } else {
      low = std::min(low, values[index]);
      high = std::max(high, values[index]);
    }
  }
  flush();
  return polygon;
}

// A curve two pixels thick. Wide pens are stroked, which is slow on the zigzag of a long motion
// (many key frames per column); thin lines side by side are drawn directly.
void drawCurve(QPainter& painter, const QColor& color, const QPolygonF& curve) {
  painter.setPen(QPen(color, 1));
  painter.drawPolyline(curve);
  painter.drawPolyline(curve.translated(0, 1));
  painter.drawPolyline(curve.translated(1, 0));
}

void paintCaption(QPainter& painter, const QRect& panel, const QString& caption) {
  painter.setPen(kTextColor);
  painter.drawText(QRect(panel.left(), panel.top() - kPanelGap, panel.width(), kPanelGap - 4),
                   Qt::AlignLeft | Qt::AlignBottom, caption);
}

// Clears the panel and limits drawing to it: motions outlast the sound by up to two key frames.
void paintGrid(QPainter& painter, const PreviewLayout& layout, const QRect& panel) {
  painter.setClipRect(panel);
  painter.fillRect(panel, Qt::white);
  painter.setPen(kGridColor);
  const double step = tickStep(layout.seconds);
  for (double t = 0; t <= layout.seconds + 1e-9; t += step) {
    const double x = layout.xAt(t);
    painter.drawLine(QPointF(x, panel.top()), QPointF(x, panel.bottom()));
  }
}

void paintFrame(QPainter& painter, const QRect& panel) {
  painter.setClipping(false);
  painter.setPen(kFrameColor);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(panel.adjusted(0, 0, -1, -1));
}

void paintValueLabel(QPainter& painter, const QRect& panel, double y, const QString& label) {
  painter.save();
  painter.setClipping(false);
  painter.setPen(kTextColor);
  painter.drawText(QRectF(0, y - 8, panel.left() - 6, 16), Qt::AlignRight | Qt::AlignVCenter,
                   label);
  painter.restore();
  painter.setPen(kGridColor);
  painter.drawLine(QPointF(panel.left(), y), QPointF(panel.right(), y));
}

void paintWave(QPainter& painter, const RecordingPreview& preview, const PreviewLayout& layout) {
  const QRect& panel = layout.wave;
  paintCaption(painter, panel, QStringLiteral("Sound"));
  paintGrid(painter, layout, panel);
  const double middle = panel.top() + panel.height() / 2.0;
  const double scale = (panel.height() / 2.0 - 2) / 128.0;
  // The smallest and largest sample of each pixel column, in one pass over the sound.
  const std::size_t count = preview.samples.size();
  const int columns = panel.width();
  painter.setPen(kWaveColor);
  for (int column = 0; column < columns; ++column) {
    const auto from =
        preview.samples.begin() +
        static_cast<std::ptrdiff_t>(count * static_cast<std::uint64_t>(column) / columns);
    const auto to =
        preview.samples.begin() +
        static_cast<std::ptrdiff_t>(count * static_cast<std::uint64_t>(column + 1) / columns);
    if (from == to) continue;
    // Two plain reductions rather than std::minmax_element: the compiler vectorises them.
    std::uint8_t low = 255;
    std::uint8_t high = 0;
    for (auto sample = from; sample != to; ++sample) {
      low = std::min(low, *sample);
      high = std::max(high, *sample);
    }
    const double top = middle - (high - 128) * scale;
    const double bottom = middle - (low - 128) * scale;
    painter.drawLine(QPointF(panel.left() + column + 0.5, top),
                     QPointF(panel.left() + column + 0.5, std::max(bottom, top + 1)));
  }
  paintFrame(painter, panel);
}

void paintMouth(QPainter& painter, const RecordingPreview& preview, const PreviewLayout& layout) {
  const QRect& panel = layout.mouth;
  paintCaption(painter, panel, QStringLiteral("Mouth opening (degrees)"));
  paintGrid(painter, layout, panel);
  for (double opening = 0; opening <= layout.mouthMaxOpening; opening += 25) {
    paintValueLabel(painter, panel, layout.mouthYAt(opening), secondsText(opening));
  }
  const JointCurve& mouth = *preview.mouth;
  std::vector<double> openings(mouth.degrees.size());
  std::transform(mouth.degrees.begin(), mouth.degrees.end(), openings.begin(),
                 [](double degrees) { return -degrees; });
  drawCurve(painter, kMouthColor, curvePolygon(mouth.seconds, openings, layout, [&](double v) {
              return layout.mouthYAt(v);
            }));
  paintFrame(painter, panel);
}

void paintJoints(QPainter& painter, const RecordingPreview& preview, const PreviewLayout& layout) {
  const QRect& panel = layout.joints;
  paintCaption(painter, panel,
               preview.fullBody ? QStringLiteral("Joints the full-body motion moves (degrees)")
                                : QStringLiteral("Head joints (degrees)"));
  paintGrid(painter, layout, panel);
  const double labelStep = layout.jointRange > 90 ? 45 : 15;
  for (double degrees = -std::floor(layout.jointRange / labelStep) * labelStep;
       degrees <= layout.jointRange; degrees += labelStep) {
    paintValueLabel(painter, panel, layout.jointYAt(degrees), secondsText(degrees));
  }
  int legendX = panel.left() + 8;
  for (std::size_t index = 0; index < preview.head.size(); ++index) {
    const JointCurve& curve = preview.head[index];
    const QColor color = kJointColors[index % kJointColors.size()];
    drawCurve(painter, color, curvePolygon(curve.seconds, curve.degrees, layout, [&](double v) {
                return layout.jointYAt(v);
              }));
    const QString label = platform::toQString(curve.label);
    const int width = painter.fontMetrics().horizontalAdvance(label);
    painter.fillRect(QRect(legendX, panel.top() + 6, 14, 4), color);
    painter.setPen(kTextColor);
    painter.drawText(QPoint(legendX + 18, panel.top() + 13), label);
    legendX += width + 34;
  }
  paintFrame(painter, panel);
}

void paintLeds(QPainter& painter, const RecordingPreview& preview, const PreviewLayout& layout) {
  const QRect& panel = layout.leds;
  paintCaption(painter, panel, QStringLiteral("Face LEDs (lit)"));
  painter.fillRect(panel, Qt::white);
  const QRect labels(0, panel.top(), panel.right() + 1, panel.height());
  painter.setClipRect(labels);
  for (int led = 0; led < kLedCount; ++led) {
    const QRectF row = layout.ledRow(led);
    painter.fillRect(row.adjusted(0, 1, 0, -1), kLedDarkColor);
    painter.setPen(kTextColor);
    painter.drawText(QRectF(0, row.top(), panel.left() - 6, row.height()),
                     Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("LED %1").arg(led));
    // Spans closer than a pixel are drawn as one.
    double from = -1;
    double to = -1;
    const auto flush = [&] {
      if (from < 0) return;
      painter.fillRect(QRectF(from, row.top() + 1, std::max(to - from, 1.0), row.height() - 2),
                       kLedLitColor);
    };
    for (const LedSpan& span : preview.leds[static_cast<std::size_t>(led)]) {
      const double x0 = layout.xAt(span.from);
      const double x1 = layout.xAt(span.to);
      if (from >= 0 && x0 <= to + 0.5) {
        to = std::max(to, x1);
        continue;
      }
      flush();
      from = x0;
      to = x1;
    }
    flush();
  }
  paintFrame(painter, panel);
}

void paintAxis(QPainter& painter, const PreviewLayout& layout) {
  const QRect& axis = layout.axis;
  painter.setPen(QPen(kAxisColor, 1));
  painter.drawLine(QPointF(layout.xAt(0), axis.top()),
                   QPointF(layout.xAt(layout.seconds), axis.top()));
  const double step = tickStep(layout.seconds);
  for (double t = 0; t <= layout.seconds + 1e-9; t += step) {
    const double x = layout.xAt(t);
    painter.drawLine(QPointF(x, axis.top()), QPointF(x, axis.top() + 5));
    painter.drawText(QRectF(x - 40, axis.top() + 6, 80, 16), Qt::AlignHCenter | Qt::AlignTop,
                     secondsText(t));
  }
  painter.drawText(QRectF(axis.left(), axis.top() + 22, axis.width(), 18),
                   Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("time (seconds)"));
}

}  // namespace

double PreviewLayout::xAt(double time) const {
  const double span = seconds > 0 ? seconds : 1;
  return wave.left() + time / span * wave.width();
}

double PreviewLayout::timeAt(double x) const {
  return (x - wave.left()) / wave.width() * (seconds > 0 ? seconds : 1);
}

double PreviewLayout::mouthYAt(double opening) const {
  return mouth.bottom() - 2 - opening / mouthMaxOpening * (mouth.height() - 6);
}

double PreviewLayout::mouthOpeningAt(double y) const {
  return (mouth.bottom() - 2 - y) / (mouth.height() - 6) * mouthMaxOpening;
}

double PreviewLayout::jointYAt(double degrees) const {
  const double middle = joints.top() + joints.height() / 2.0;
  return middle - degrees / jointRange * (joints.height() / 2.0 - 4);
}

QRectF PreviewLayout::ledRow(int led) const {
  return {static_cast<double>(leds.left()), static_cast<double>(leds.top() + led * kLedRowHeight),
          static_cast<double>(leds.width()), static_cast<double>(kLedRowHeight)};
}

PreviewLayout previewLayout(const RecordingPreview& preview) {
  PreviewLayout layout;
  layout.seconds = preview.seconds;
  const int plotWidth = kWidth - kLeftMargin - kRightMargin;
  int y = 0;
  layout.title = QRect(0, 0, kWidth, kTitleHeight);
  y += kTitleHeight + kPanelGap;
  const auto nextPanel = [&](int height) {
    const QRect panel(kLeftMargin, y, plotWidth, height);
    y += height + kPanelGap;
    return panel;
  };
  layout.wave = nextPanel(kWaveHeight);
  if (preview.mouth) {
    layout.mouth = nextPanel(kMouthHeight);
    double widest = kMinMouthOpening;
    for (double degrees : preview.mouth->degrees) widest = std::max(widest, -degrees + 5);
    layout.mouthMaxOpening = widest;
  }
  if (!preview.head.empty()) {
    layout.joints = nextPanel(kJointsHeight);
    double range = kMinJointRange;
    for (const JointCurve& curve : preview.head) {
      for (double degrees : curve.degrees) range = std::max(range, std::abs(degrees) + 5);
    }
    layout.jointRange = range;
  }
  if (!preview.audioOnly) layout.leds = nextPanel(kLedRowHeight * kLedCount);
  y -= kPanelGap - 6;
  layout.axis = QRect(kLeftMargin, y, plotWidth, kAxisHeight);
  layout.size = QSize(kWidth, y + kAxisHeight);
  return layout;
}

void paintPreview(QPainter& painter, const RecordingPreview& preview, const PreviewLayout& layout) {
  painter.fillRect(QRect(QPoint(0, 0), layout.size), QColor(250, 250, 248));
  QFont font = painter.font();
  font.setPixelSize(12);
  painter.setFont(font);
  QFont titleFont = font;
  titleFont.setPixelSize(18);
  titleFont.setBold(true);
  painter.setFont(titleFont);
  painter.setPen(kTextColor);
  QString title = platform::toQString(preview.name) + QStringLiteral("  \u2014  ") +
                  lengthText(preview.seconds);
  if (preview.audioOnly) title += QStringLiteral("  (sound only)");
  if (preview.fullBody) title += QStringLiteral("  (full-body motion)");
  painter.drawText(layout.title.adjusted(kLeftMargin, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   title);
  painter.setFont(font);

  paintWave(painter, preview, layout);
  if (!layout.mouth.isEmpty()) paintMouth(painter, preview, layout);
  if (!layout.joints.isEmpty()) paintJoints(painter, preview, layout);
  if (!layout.leds.isEmpty()) paintLeds(painter, preview, layout);
  paintAxis(painter, layout);
}

QImage renderPreviewImage(const RecordingPreview& preview) {
  const PreviewLayout layout = previewLayout(preview);
  QImage image(layout.size, QImage::Format_RGB32);
  QPainter painter(&image);
  paintPreview(painter, preview, layout);
  painter.end();
  return image;
}

PictureSaveResult savePreviewPicture(const RecordingPreview& preview,
                                     const std::filesystem::path& file) {
  const std::string extension = platform::toLowerAscii(platform::pathToText(file.extension()));
  const QString fileName = platform::toQString(platform::pathToText(file));
  const PictureSaveResult unwritten{false, platform::pathToText(file) + " could not be written"};
  if (extension == ".png") {
    return renderPreviewImage(preview).save(fileName, "PNG") ? PictureSaveResult{true, {}}
                                                             : unwritten;
  }
  if (extension == ".svg") {
#ifndef VELK_PREVIEW_WITH_SVG
    return {false, platform::pathToText(file) + ": this build writes PNG pictures only"};
#else
    const PreviewLayout layout = previewLayout(preview);
    QSvgGenerator generator;
    generator.setFileName(fileName);
    generator.setSize(layout.size);
    generator.setViewBox(QRect(QPoint(0, 0), layout.size));
    generator.setTitle(platform::toQString(preview.name));
    QPainter painter;
    if (!painter.begin(&generator)) return unwritten;
    paintPreview(painter, preview, layout);
    // The generator writes as it paints and reports no error of its own: check the result.
    if (!painter.end() || QFileInfo(fileName).size() == 0) return unwritten;
    return {true, {}};
#endif
  }
  return {false, platform::pathToText(file) + ": the picture's name must end in .png or .svg"};
}

}  // namespace velk_mur
