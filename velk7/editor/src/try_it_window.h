#pragma once
// "Try it": the program run on the desktop as the robot would run it, a 32 ms tick each
// 32 ms. Buttons press the touch sensors, a choice of voice commands is heard and the pink
// ball shows at a distance; the window shows the running line, the action queue, the console
// and, while an action that talks plays, its head.
#include <QDialog>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "velk7/program/interpreter.h"
#include "velk_mur/preview/recording_preview.h"

class QComboBox;
class QLabel;
class QListWidget;
class QTimer;

namespace velk7 {

namespace try_it_id {
inline constexpr std::string_view kHead = "headButton";
inline constexpr std::string_view kBack = "backButton";
inline constexpr std::string_view kChin = "chinButton";
inline constexpr std::string_view kFrontLeft = "frontLeftButton";
inline constexpr std::string_view kFrontRight = "frontRightButton";
inline constexpr std::string_view kRearLeft = "rearLeftButton";
inline constexpr std::string_view kRearRight = "rearRightButton";
inline constexpr std::string_view kVoiceBox = "voiceBox";
inline constexpr std::string_view kHear = "hearButton";
inline constexpr std::string_view kDistanceBox = "distanceBox";
inline constexpr std::string_view kBall = "ballButton";
inline constexpr std::string_view kRunningLine = "runningLine";
inline constexpr std::string_view kStatus = "status";
inline constexpr std::string_view kQueue = "queue";
inline constexpr std::string_view kConsole = "console";
inline constexpr std::string_view kHeadView = "headView";
inline constexpr std::string_view kRestart = "restartButton";
inline constexpr std::string_view kClose = "closeButton";
}  // namespace try_it_id

class TryItWindow : public QDialog {
  Q_OBJECT

 public:
  // `text` is the program as a save would write it; the catalogues are read beside
  // `programPath`.
  TryItWindow(std::string text, const std::filesystem::path& programPath,
              QWidget* parent = nullptr);
  ~TryItWindow() override;

  // One tick of the run, as the timer does it; for tests.
  void tick();
  const program::Interpreter& interpreter() const { return *interpreter_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void restart();
  void setSensor(std::string_view name, std::int32_t value);
  void showState();
  const velk_mur::RecordingPreview* previewOf(std::int32_t number);

  std::string text_;
  std::filesystem::path programPath_;
  program::CompiledProgram program_;
  program::ActionCatalogue catalogue_;
  std::unique_ptr<program::Interpreter> interpreter_;
  std::map<std::int32_t, std::optional<velk_mur::RecordingPreview>> previews_;
  QTimer* timer_ = nullptr;
  QLabel* runningLine_ = nullptr;
  QLabel* status_ = nullptr;
  QListWidget* queue_ = nullptr;
  QListWidget* console_ = nullptr;
  QWidget* headView_ = nullptr;
  QComboBox* voiceBox_ = nullptr;
  QComboBox* distanceBox_ = nullptr;
  QSize templateSize_;
};

}  // namespace velk7
