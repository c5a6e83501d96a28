#include "platform/qt/stick_watcher.h"

#include <QAbstractEventDispatcher>
#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#ifdef VELK_WITH_DBUS
#include <QDBusConnection>
#endif

#ifdef _WIN32
// dbt.h uses the types that windows.h declares.
#include <windows.h>

#include <dbt.h>
#endif

namespace platform {

namespace {

#ifdef VELK_WITH_DBUS
constexpr const char* kUdisksService = "org.freedesktop.UDisks2";
constexpr const char* kUdisksRoot = "/org/freedesktop/UDisks2";
#endif
// The system's note may come a moment before the mount table shows the change.
constexpr int kSettleMs = 300;

#ifdef _WIN32
// A volume's arrival or removal is broadcast to every top-level window as WM_DEVICECHANGE.
class DeviceChangeFilter : public QAbstractNativeEventFilter {
 public:
  explicit DeviceChangeFilter(QObject* watcher) : watcher_(watcher) {}

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
    if (eventType != "windows_generic_MSG") return false;
    const MSG* msg = static_cast<const MSG*>(message);
    if (msg->message == WM_DEVICECHANGE &&
        (msg->wParam == DBT_DEVICEARRIVAL || msg->wParam == DBT_DEVICEREMOVECOMPLETE)) {
      QMetaObject::invokeMethod(watcher_, "mountsMayHaveChanged", Qt::QueuedConnection);
    }
    return false;
  }

 private:
  QObject* watcher_;
};
#endif

}  // namespace

struct StickWatcher::SystemEvents {
#ifdef _WIN32
  std::unique_ptr<DeviceChangeFilter> filter;
#endif
};

StickWatcher::StickWatcher(VolumeSource& source, std::string_view marker, QObject* parent)
    : QObject(parent), tracker_(source, marker), systemEvents_(std::make_unique<SystemEvents>()) {
  connect(&poll_, &QTimer::timeout, this, &StickWatcher::refresh);
}

StickWatcher::~StickWatcher() {
#ifdef _WIN32
  if (systemEvents_->filter)
    QCoreApplication::instance()->removeNativeEventFilter(systemEvents_->filter.get());
#endif
}

void StickWatcher::start(std::chrono::milliseconds interval) {
  refresh();
  poll_.start(interval);
#ifdef VELK_WITH_DBUS
  listenToUdisks(QDBusConnection::systemBus());
#endif
#ifdef _WIN32
  if (!systemEvents_->filter) {
    systemEvents_->filter = std::make_unique<DeviceChangeFilter>(this);
    QCoreApplication::instance()->installNativeEventFilter(systemEvents_->filter.get());
  }
#endif
}

bool StickWatcher::listenToUdisks([[maybe_unused]] const QDBusConnection& bus) {
#ifdef VELK_WITH_DBUS
  if (!bus.isConnected()) return false;
  QDBusConnection connection(bus);
  // A file system's mount points change when it is mounted or unmounted; a device that comes
  // or goes is added to or removed from the object manager.
  const bool properties =
      connection.connect(kUdisksService, QString(), "org.freedesktop.DBus.Properties",
                         "PropertiesChanged", this, SLOT(mountsMayHaveChanged()));
  const bool added =
      connection.connect(kUdisksService, kUdisksRoot, "org.freedesktop.DBus.ObjectManager",
                         "InterfacesAdded", this, SLOT(mountsMayHaveChanged()));
  const bool removed =
      connection.connect(kUdisksService, kUdisksRoot, "org.freedesktop.DBus.ObjectManager",
                         "InterfacesRemoved", this, SLOT(mountsMayHaveChanged()));
  return properties && added && removed;
#else
  return false;
#endif
}

void StickWatcher::mountsMayHaveChanged() {
  refresh();
  QTimer::singleShot(kSettleMs, this, &StickWatcher::refresh);
}

void StickWatcher::refresh() {
  StickChange change = tracker_.refresh();
  if (!change.any()) return;
  lastChange_ = std::move(change);
  emit sticksChanged();
}

}  // namespace platform
