#pragma once
// Notices a robot stick being plugged in or pulled out while a dialog is open. The list of
// sticks is the Qt-free StickTracker's; this face only decides when to look again: when the
// system says a file system was mounted or unmounted (UDisks2 on Linux, WM_DEVICECHANGE on
// Windows), and every two seconds anyway, since some card readers tell nobody.
#include <QObject>
#include <QTimer>
#include <chrono>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/stick_finder.h"

class QDBusConnection;

namespace platform {

class StickWatcher : public QObject {
  Q_OBJECT

 public:
  StickWatcher(VolumeSource& source, std::string_view marker, QObject* parent = nullptr);
  ~StickWatcher() override;

  // Looks once now, then every `interval`, and on every mount or unmount the system reports.
  void start(std::chrono::milliseconds interval = std::chrono::seconds(2));

  // Where UDisks2 is listened to: the system bus unless a test gives another.
  bool listenToUdisks(const QDBusConnection& bus);

  const std::vector<Volume>& sticks() const { return tracker_.sticks(); }
  // What the last look that changed anything found.
  const StickChange& lastChange() const { return lastChange_; }

 public slots:
  void refresh();

 signals:
  // After a look that found a stick arrived or left; lastChange() says which.
  void sticksChanged();

 private slots:
  void mountsMayHaveChanged();

 private:
  StickTracker tracker_;
  StickChange lastChange_;
  QTimer poll_;
  struct SystemEvents;
  std::unique_ptr<SystemEvents> systemEvents_;
};

}  // namespace platform
