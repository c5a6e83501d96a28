#include "preview_window.h"

#ifdef VELK_MUR_WITH_SOUND
#include <QAudioDevice>
#include <QAudioOutput>
#include <QMediaDevices>
#include <QMediaPlayer>
#endif
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

#include "platform/folder_listing.h"
#include "platform/path_text.h"
#include "velk_mur/commands/commands.h"
#include "velk_mur/generate/naming.h"
#include "velk_mur/preview/robot_head.h"

namespace velk_mur {

namespace {

constexpr int kTickMs = 30;
constexpr int kLargestPictureWidth = 960;
constexpr int kSmallestPictureWidth = 400;
constexpr int kHeadSize = 220;

// Paints whatever the function paints, at the widget's size.
class PaintedView : public QWidget {
 public:
  PaintedView(std::function<void(QPainter&, const QRect&)> paint, QSize size, QWidget* parent)
      : QWidget(parent), paint_(std::move(paint)) {
    setFixedSize(size);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    paint_(painter, rect());
  }

 private:
  std::function<void(QPainter&, const QRect&)> paint_;
};

QString timeText(double position, double length) {
  return QStringLiteral("%1 / %2 s").arg(position, 0, 'f', 2).arg(length, 0, 'f', 2);
}

}  // namespace

PreviewWindow::PreviewWindow(RecordingPreview preview, const std::filesystem::path& recordingPath,
                             QWidget* parent, Clock clock)
    : QDialog(parent),
      preview_(std::move(preview)),
      layout_(previewLayout(preview_)),
      picture_(renderPreviewImage(preview_)),
      clock_(clock ? std::move(clock) : [] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
      }) {
  setWindowTitle(QStringLiteral("Preview - %1").arg(QString::fromStdString(preview_.name)));

  // As wide as the screen leaves room for beside the head, within reason.
  const QRect screenArea = screen()->availableGeometry();
  const int pictureWidth =
      std::clamp(screenArea.width() - kHeadSize - 80, kSmallestPictureWidth, kLargestPictureWidth);
  const double scale = static_cast<double>(pictureWidth) / picture_.width();
  pictureView_ = new PaintedView(
      [this, scale](QPainter& painter, const QRect& area) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(area, picture_);
        // The cursor runs over every panel, from the waveform's top to the time axis.
        const double x = layout_.xAt(position_) * scale;
        painter.setPen(QPen(QColor(220, 0, 0), 2));
        painter.drawLine(QPointF(x, layout_.wave.top() * scale),
                         QPointF(x, layout_.axis.top() * scale));
      },
      QSize(pictureWidth, static_cast<int>(picture_.height() * scale)), this);
  pictureView_->setObjectName(QStringLiteral("previewPicture"));

  headView_ = new PaintedView(
      [this](QPainter& painter, const QRect& area) {
        painter.fillRect(area, QColor(250, 250, 248));
        paintRobotHead(painter, area, poseAt(preview_, position_));
      },
      QSize(kHeadSize, kHeadSize), this);
  headView_->setObjectName(QStringLiteral("previewHead"));

  playButton_ = new QPushButton(tr("Play"), this);
  playButton_->setObjectName(QStringLiteral("play"));
  auto* closeButton = new QPushButton(tr("Close"), this);
  closeButton->setObjectName(QStringLiteral("close"));
  timeLabel_ = new QLabel(timeText(0, preview_.seconds), this);
  timeLabel_->setObjectName(QStringLiteral("time"));

  auto* side = new QVBoxLayout;
  side->addWidget(headView_);
  side->addWidget(timeLabel_, 0, Qt::AlignHCenter);
  side->addWidget(playButton_);
  side->addStretch();
  side->addWidget(closeButton);
  auto* columns = new QHBoxLayout(this);
  columns->addWidget(pictureView_);
  columns->addLayout(side);
  columns->setSizeConstraint(QLayout::SetFixedSize);

  // With no audio device, or built without Qt Multimedia, the animation runs on the clock alone.
#ifdef VELK_MUR_WITH_SOUND
  if (!QMediaDevices::audioOutputs().isEmpty()) {
    player_ = new QMediaPlayer(this);
    audioOutput_ = new QAudioOutput(this);
    player_->setAudioOutput(audioOutput_);
    player_->setSource(
        QUrl::fromLocalFile(QString::fromStdString(platform::pathToText(recordingPath))));
  }
#else
  (void)recordingPath;
#endif

  ticker_.setInterval(kTickMs);
  connect(&ticker_, &QTimer::timeout, this, &PreviewWindow::advance);
  connect(playButton_, &QPushButton::clicked, this, &PreviewWindow::togglePlaying);
  connect(closeButton, &QPushButton::clicked, this, &PreviewWindow::reject);
  connect(this, &QDialog::finished, this, &PreviewWindow::stop);
}

void PreviewWindow::togglePlaying() {
  if (isPlaying()) {
    stop();
    return;
  }
  showPosition(0);
#ifdef VELK_MUR_WITH_SOUND
  if (player_ != nullptr) {
    player_->setPosition(0);
    player_->play();
  }
#endif
  startedAt_ = clock_();
  ticker_.start();
  playButton_->setText(tr("Stop"));
}

void PreviewWindow::stop() {
  ticker_.stop();
#ifdef VELK_MUR_WITH_SOUND
  if (player_ != nullptr) player_->stop();
#endif
  playButton_->setText(tr("Play"));
}

void PreviewWindow::advance() {
  // The sound leads when it plays; otherwise the clock does.
  double seconds = static_cast<double>((clock_() - startedAt_).count()) / 1000.0;
#ifdef VELK_MUR_WITH_SOUND
  if (player_ != nullptr && player_->playbackState() == QMediaPlayer::PlayingState &&
      player_->position() > 0) {
    seconds = static_cast<double>(player_->position()) / 1000.0;
  }
#endif
  if (seconds >= preview_.seconds) {
    showPosition(preview_.seconds);
    stop();
    return;
  }
  showPosition(seconds);
}

void PreviewWindow::showPosition(double seconds) {
  position_ = seconds;
  timeLabel_->setText(timeText(seconds, preview_.seconds));
  pictureView_->update();
  headView_->update();
}

void previewRecording(QWidget* parent, const std::filesystem::path& audioFolder,
                      platform::Messenger& messenger) {
  const platform::FolderListing listing = platform::listFolder(audioFolder, kRecordingPattern);
  if (!listing.read()) {
    messenger.show("Could not read the audio folder\n" + platform::pathToText(audioFolder), true);
    return;
  }
  QStringList names;
  for (const std::string& file : listing.names) {
    names << QString::fromStdString(recordingName(file));
  }
  if (names.isEmpty()) {
    messenger.show("No recordings in " + platform::pathToText(audioFolder), true);
    return;
  }
  bool chosen = false;
  const QString name =
      QInputDialog::getItem(parent, QString::fromLatin1(kProgramTitle),
                            QObject::tr("Preview the recording:"), names, 0, false, &chosen);
  if (!chosen) return;
  const PreviewLoad load = loadRecordingPreview(audioFolder, name.toStdString());
  if (!load.preview) {
    messenger.show(load.problem, true);
    return;
  }
  PreviewWindow window(*load.preview, recordingPath(audioFolder, name.toStdString()), parent);
  window.exec();
}

}  // namespace velk_mur
