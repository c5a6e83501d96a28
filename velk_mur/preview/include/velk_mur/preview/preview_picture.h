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

#include "velk_mur/stick/recording_preview.h"

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

// Writes the picture as PNG or SVG, chosen by the file's extension. False with the reason.
bool savePreviewPicture(const RecordingPreview& preview, const std::filesystem::path& file,
                        std::string& problem);

// A drawing of the robot's head seen from the front in a pose.
void paintRobotHead(QPainter& painter, const QRectF& area, const RobotPose& pose);

}  // namespace velk_mur

#ifdef _WIN32
#define VELK_PREVIEW_EXPORT __declspec(dllexport)
#else
#define VELK_PREVIEW_EXPORT __attribute__((visibility("default")))
#endif

// The entry point that a program without Qt looks up at run time to have a picture saved,
// exported also from a module built with hidden symbols. Returns 1 on success; otherwise 0
// with the reason in `problem` (cut to problemSize - 1).
extern "C" VELK_PREVIEW_EXPORT int velk_mur_render_preview(
    const velk_mur::RecordingPreview* preview, const char* outputPath, char* problem,
    std::size_t problemSize);
