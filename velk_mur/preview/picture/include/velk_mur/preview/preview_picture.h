#pragma once
// The picture of one recording's action: the sound's waveform, the mouth opening, the head
// joints and the 14 face LEDs, one above the other on one time axis. Drawn with QPainter, so
// the same drawing goes to an image, an SVG file or a window; no display is needed.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <filesystem>
#include <string>

#include "velk_mur/preview/recording_preview.h"

namespace velk_mur {

inline const QColor kWaveColor{31, 78, 140};
inline const QColor kMouthColor{200, 40, 40};
inline const QColor kLedLitColor{240, 160, 0};
inline const QColor kLedDarkColor{225, 225, 225};
inline const QColor kAxisColor{0, 0, 0};

// Where each part of the picture lies, and how times and values map to pixels. Parts the
// action does not have (motions and LEDs of an audio-only action) are empty rectangles.
struct PreviewLayout {
  QSize size;
  QRect title;
  QRect wave;
  QRect mouth;
  QRect joints;
  QRect leds;
  QRect axis;  // the axis line lies on its top edge, the labels below it
  double seconds = 0;
  double mouthMaxOpening = 0;  // degrees at the mouth panel's top edge
  double jointRange = 0;       // the joints panel spans -jointRange to +jointRange degrees

  double xAt(double time) const;
  double timeAt(double x) const;
  double mouthOpeningAt(double y) const;  // degrees open (the joint's angle negated)
  double mouthYAt(double opening) const;
  double jointYAt(double degrees) const;
  QRectF ledRow(int led) const;
};

PreviewLayout previewLayout(const RecordingPreview& preview);

// Paints the whole picture at the layout's size.
void paintPreview(QPainter& painter, const RecordingPreview& preview, const PreviewLayout& layout);

QImage renderPreviewImage(const RecordingPreview& preview);

struct PictureSaveResult {
  bool saved = false;
  std::string problem;  // empty when the picture was written; otherwise why not
};

// Writes the picture as PNG or SVG, chosen by the file's extension.
PictureSaveResult savePreviewPicture(const RecordingPreview& preview,
                                     const std::filesystem::path& file);

}  // namespace velk_mur
