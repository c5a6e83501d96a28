#pragma once
// The dialog's help with the stick itself: it offers a stick that was plugged in when the stick
// path is empty or names one that is gone, says so in one line, keeps the room bar current,
// stops a save whose stick was pulled out, and puts a backup back.
#include <QObject>
#include <QTimer>

#include "platform/messenger.h"
#include "platform/qt/stick_watcher.h"
#include "velk_mur/commands/app_settings.h"

class QLabel;
class QLineEdit;
class QWidget;

namespace velk_mur {

class RoomBar;

class StickAssistant : public QObject {
  Q_OBJECT

 public:
  struct Controls {
    QWidget& dialog;
    QLineEdit& stickPath;
    QLineEdit& audioPath;
    QLabel& status;
    RoomBar& room;
  };
  StickAssistant(Controls controls, platform::VolumeSource& volumes,
                 const AppEnvironment& environment, platform::Messenger& messenger);

  // Starts watching; a stick already plugged in is offered at once.
  void start();
  // Looks again first: false (reported) when the stick the path names was pulled out.
  bool stickStillThere();
  // Lists the stick's backups by date and puts back the one chosen, after asking.
  void restoreBackup();
  // Works out the room again, a moment after the last change of a path.
  void roomMayHaveChanged();

 private:
  void sticksChanged();
  void offerStick();
  void updateRoom();
  bool stickPathGone() const;
  void setStatus(const QString& line);

  Controls controls_;
  platform::VolumeSource& volumes_;
  const AppEnvironment& environment_;
  platform::Messenger& messenger_;
  platform::StickWatcher watcher_;
  QTimer roomDelay_;
};

}  // namespace velk_mur
