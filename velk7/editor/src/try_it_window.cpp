#include "try_it_window.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <array>
#include <cstdio>

#include "platform/qt/control_table.h"
#include "platform/qt/dialog_units.h"
#include "platform/qt/qt_text.h"
#include "velk_mur/preview/robot_head.h"
#include "velk_mur/stick/stick_actions.h"

namespace velk7 {

namespace {

namespace id = try_it_id;
using platform::toQString;

constexpr platform::UnitRect kTryItSize{0, 0, 400, 288};
constexpr int kVoiceIds = 53;  // the recognised voice commands' IDs run from 1
constexpr std::array<int, 8> kBallDistances{100, 150, 200, 300, 500, 800, 1000, 1500};

// clang-format off
constexpr std::array<platform::ControlRow, 25> kTryItControls = [] {
  using enum platform::ControlKind;
  return std::array<platform::ControlRow, 25>{{
    {"touchCaption", Label, "Touch:", {7, 9, 40, 8}},
    {id::kHead, PushButton, "&Head", {50, 7, 56, 13}, "", "Head_ON = 1"},
    {id::kBack, PushButton, "&Back", {109, 7, 56, 13}, "", "Back_ON = 1"},
    {id::kChin, PushButton, "&Chin", {168, 7, 56, 13}, "", "Jaw_ON = 1"},
    {"pawsCaption", Label, "Paws:", {7, 27, 40, 8}},
    {id::kFrontLeft, PushButton, "Front &left", {50, 25, 56, 13}, "", "LFLeg_ON = 1"},
    {id::kFrontRight, PushButton, "Front &right", {109, 25, 56, 13}, "", "RFLeg_ON = 1"},
    {id::kRearLeft, PushButton, "Rear le&ft", {168, 25, 56, 13}, "", "LRLeg_ON = 1"},
    {id::kRearRight, PushButton, "Rear ri&ght", {227, 25, 56, 13}, "", "RRLeg_ON = 1"},
    {"voiceCaption", Label, "&Voice:", {7, 45, 40, 8}, id::kVoiceBox},
    {id::kVoiceBox, ComboBox, "", {50, 43, 76, 120}},
    {id::kHear, PushButton, "H&ear it", {129, 43, 50, 13}, "", "AU_Voice = 1, AU_Voice_ID = the ID"},
    {"ballCaption", Label, "&Pink ball at:", {190, 45, 46, 8}, id::kDistanceBox},
    {id::kDistanceBox, ComboBox, "", {238, 43, 56, 120}},
    {id::kBall, PushButton, "&Show ball", {297, 43, 50, 13}, "",
     "Pink_Ball = 1, Pink_Ball_D = the distance"},
    {"lineCaption", Label, "Running:", {7, 64, 40, 8}},
    {id::kRunningLine, Display, "", {50, 64, 344, 8}, "", "", "", {0, 0, 2, 0}},
    {id::kStatus, Display, "", {50, 75, 344, 16}, "", "", "", {0, 0, 2, 0}},
    {"queueCaption", Label, "&Queue (the first one plays):", {7, 96, 120, 8}, id::kQueue},
    {id::kQueue, List, "", {7, 106, 170, 70}, "", "", "", {0, 0, 1, 0}},
    {"consoleCaption", Label, "C&onsole:", {7, 181, 60, 8}, id::kConsole},
    {id::kConsole, List, "", {7, 191, 386, 72}, "", "", "", {0, 0, 2, 2}},
    {id::kHeadView, Display, "", {184, 96, 209, 80}, "", "", "Robot head", {1, 0, 1, 0}},
    {id::kRestart, PushButton, "Start &again", {7, 269, 60, 13}, "", "", "", {0, 2, 0, 0}},
    {id::kClose, PushButton, "Close", {333, 269, 60, 13}, "", "", "", {2, 2, 0, 0}},
  }};
}();
// clang-format on

// The head of the robot in the pose of the talking action that plays, or at rest.
class HeadView : public QWidget {
 public:
  explicit HeadView(QWidget* parent) : QWidget(parent) {}
  void setPose(const velk_mur::RobotPose& pose) {
    pose_ = pose;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    velk_mur::paintRobotHead(painter, QRectF(rect()), pose_);
  }

 private:
  velk_mur::RobotPose pose_;
};

}  // namespace

TryItWindow::TryItWindow(std::string text, const std::filesystem::path& programPath,
                         QWidget* parent)
    : QDialog(parent),
      text_(std::move(text)),
      programPath_(programPath),
      program_(program::compileProgram(program::readProgramText(std::string_view(text_)))),
      catalogue_(program::readActionCatalogue(programPath)) {
  setObjectName(QStringLiteral("tryIt"));
  setWindowTitle(QStringLiteral("Try it - VELK7"));
  setFont(platform::dialogFont());
  platform::buildControls(*this, kTryItControls,
                          [](const platform::ControlRow& row, QWidget* parent) -> QWidget* {
                            if (row.id == id::kHeadView) return new HeadView(parent);
                            return nullptr;
                          });
  runningLine_ = platform::control<QLabel>(*this, id::kRunningLine);
  status_ = platform::control<QLabel>(*this, id::kStatus);
  status_->setWordWrap(true);
  queue_ = platform::control<QListWidget>(*this, id::kQueue);
  console_ = platform::control<QListWidget>(*this, id::kConsole);
  headView_ = platform::control<QWidget>(*this, id::kHeadView);
  voiceBox_ = platform::control<QComboBox>(*this, id::kVoiceBox);
  distanceBox_ = platform::control<QComboBox>(*this, id::kDistanceBox);
  for (int voice = 1; voice <= kVoiceIds; ++voice) {
    voiceBox_->addItem(QStringLiteral("Voice ID %1").arg(voice), voice);
  }
  for (const int distance : kBallDistances) {
    distanceBox_->addItem(QStringLiteral("%1 mm").arg(distance), distance);
  }
  const platform::DialogBaseUnits base = platform::baseUnitsOf(font());
  templateSize_ = platform::cornerPixels(kTryItSize, base).size();
  resize(templateSize_);
  setMinimumSize(templateSize_);
  platform::placeControls(*this, kTryItControls, platform::Rounding::Corners);

  const std::array<std::pair<std::string_view, std::string_view>, 7> touches{{
      {id::kHead, "Head_ON"},
      {id::kBack, "Back_ON"},
      {id::kChin, "Jaw_ON"},
      {id::kFrontLeft, "LFLeg_ON"},
      {id::kFrontRight, "RFLeg_ON"},
      {id::kRearLeft, "LRLeg_ON"},
      {id::kRearRight, "RRLeg_ON"},
  }};
  for (const auto& [button, sensor] : touches) {
    connect(platform::control<QPushButton>(*this, button), &QPushButton::clicked, this,
            [this, sensor] { setSensor(sensor, 1); });
  }
  connect(platform::control<QPushButton>(*this, id::kHear), &QPushButton::clicked, this, [this] {
    setSensor("AU_Voice_ID", voiceBox_->currentData().toInt());
    setSensor("AU_Voice", 1);
  });
  connect(platform::control<QPushButton>(*this, id::kBall), &QPushButton::clicked, this, [this] {
    setSensor("Pink_Ball_D", distanceBox_->currentData().toInt());
    setSensor("Pink_Ball", 1);
  });
  connect(platform::control<QPushButton>(*this, id::kRestart), &QPushButton::clicked, this,
          &TryItWindow::restart);
  connect(platform::control<QPushButton>(*this, id::kClose), &QPushButton::clicked, this,
          &QDialog::accept);

  timer_ = new QTimer(this);
  timer_->setInterval(static_cast<int>(program::kTickSeconds * 1000));
  connect(timer_, &QTimer::timeout, this, &TryItWindow::tick);
  restart();
}

TryItWindow::~TryItWindow() = default;

void TryItWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  platform::placeControls(*this, kTryItControls, platform::Rounding::Corners,
                          size() - templateSize_);
}

void TryItWindow::restart() {
  interpreter_ = std::make_unique<program::Interpreter>(program_, &catalogue_);
  console_->clear();
  timer_->start();
  showState();
}

void TryItWindow::setSensor(std::string_view name, std::int32_t value) {
  if (interpreter_->state() != program::RunState::Running) return;
  interpreter_->setFromOutside(name, value);
  showState();
}

void TryItWindow::tick() {
  interpreter_->step();
  if (interpreter_->state() != program::RunState::Running) timer_->stop();
  showState();
}

const velk_mur::RecordingPreview* TryItWindow::previewOf(std::int32_t number) {
  auto found = previews_.find(number);
  if (found == previews_.end()) {
    velk_mur::PreviewLoad load =
        velk_mur::loadStickActionPreview(program::stickRootOf(programPath_), number);
    found = previews_.emplace(number, std::move(load.preview)).first;
  }
  return found->second ? &*found->second : nullptr;
}

void TryItWindow::showState() {
  // The console shows what the program printed; the other events go to the status line.
  std::vector<program::TraceLine>& trace = interpreter_->trace();
  for (const program::TraceLine& line : trace) {
    const QString text = toQString(program::formatTraceLine(line));
    if (line.text.starts_with("PRINT: ") || line.text.starts_with("VDUMP: ")) {
      console_->addItem(text);
    } else {
      status_->setText(text);
    }
  }
  if (!trace.empty()) console_->scrollToBottom();
  trace.clear();

  const std::int32_t line = interpreter_->currentLine();
  const auto& lines = program_.source.lines;
  QString shown = QStringLiteral("line %1").arg(line);
  if (line >= 1 && static_cast<std::size_t>(line) <= lines.size()) {
    const program::ProgramLine& source = lines[static_cast<std::size_t>(line - 1)];
    shown += QStringLiteral(": ") +
             toQString(std::string_view(text_).substr(source.start, source.length)).trimmed();
  }
  runningLine_->setText(shown);

  queue_->clear();
  velk_mur::RobotPose pose;
  for (const program::QueuedAction& action : interpreter_->queue()) {
    char length[48];
    std::snprintf(length, sizeof length, "  (%.3f s%s)", action.length.seconds,
                  action.length.assumed ? ", assumed" : "");
    queue_->addItem(toQString(action.text + length));
  }
  if (!interpreter_->queue().empty()) {
    const program::QueuedAction& playing = interpreter_->queue().front();
    if (playing.length.talks && playing.startedAt >= 0) {
      if (const velk_mur::RecordingPreview* preview = previewOf(playing.length.number)) {
        pose = velk_mur::poseAt(
            *preview,
            static_cast<double>(interpreter_->tick() - playing.startedAt) * program::kTickSeconds);
      }
    }
  }
  static_cast<HeadView*>(headView_)->setPose(pose);
}

}  // namespace velk7
