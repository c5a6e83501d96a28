#pragma once
// The preview of one recording in a window: its picture, a Play button that plays the sound
// while a cursor runs over the picture, and the robot's head moving its mouth, turning and
// lighting its face LEDs in step. Without an audio device the animation runs on the clock.
#include <QDialog>
#include <QImage>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <functional>

#include "platform/messenger.h"
#include "velk_mur/preview/preview_picture.h"
#include "velk_mur/preview/recording_preview.h"

class QAudioOutput;
class QLabel;
class QMediaPlayer;
class QPushButton;

namespace velk_mur {

class PreviewWindow : public QDialog {
  Q_OBJECT

 public:
  // The time the animation runs on when no sound plays; a steady clock unless given.
  using Clock = std::function<std::chrono::milliseconds()>;

  PreviewWindow(RecordingPreview preview, const std::filesystem::path& recordingPath,
                QWidget* parent = nullptr, Clock clock = {});

  double position() const { return position_; }  // seconds into the recording
  bool isPlaying() const { return ticker_.isActive(); }

 private:
  void togglePlaying();
  void stop();
  void advance();
  void showPosition(double seconds);

  RecordingPreview preview_;
  PreviewLayout layout_;
  QImage picture_;
  QWidget* pictureView_ = nullptr;
  QWidget* headView_ = nullptr;
  QPushButton* playButton_ = nullptr;
  QLabel* timeLabel_ = nullptr;
  QMediaPlayer* player_ = nullptr;
  QAudioOutput* audioOutput_ = nullptr;
  QTimer ticker_;
  Clock clock_;
  std::chrono::milliseconds startedAt_{0};
  double position_ = 0;
};

// Asks which recording of the audio folder to preview and shows its window; reports a
// recording that cannot be previewed (no generated files, say) through the messenger.
void previewRecording(QWidget* parent, const std::filesystem::path& audioFolder,
                      platform::Messenger& messenger);

}  // namespace velk_mur
