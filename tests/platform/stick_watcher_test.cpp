#include "platform/qt/stick_watcher.h"

#include <gtest/gtest.h>

#include <QTest>
// A Qt without D-Bus (the Windows one) leaves the UDisks2 test out.
#if __has_include(<QDBusConnection>)
#define VELK_TEST_DBUS 1
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QProcess>
#endif

#include "tests/support/fake_volumes.h"

using namespace std::chrono_literals;
using testing_support::FakeVolumes;
using testing_support::TempDir;

namespace {

// The watcher polls on its own, however seldom the system speaks.
TEST(StickWatcher, PollingNoticesAStickPluggedInAndPulledOut) {
  TempDir dir;
  FakeVolumes volumes;
  platform::StickWatcher watcher(volumes, platform::kMotionStickMarker);
  int changes = 0;
  QObject::connect(&watcher, &platform::StickWatcher::sticksChanged, [&] { ++changes; });
  watcher.start(50ms);
  EXPECT_TRUE(watcher.sticks().empty());
  volumes.mount(dir / "AIBO", "AIBO", platform::kMotionStickMarker);
  EXPECT_TRUE(QTest::qWaitFor([&] { return watcher.sticks().size() == 1; }, 2000));
  EXPECT_EQ(watcher.lastChange().arrived.size(), 1u);
  volumes.unmount("AIBO");
  EXPECT_TRUE(QTest::qWaitFor([&] { return watcher.sticks().empty(); }, 2000));
  EXPECT_EQ(watcher.lastChange().left.size(), 1u);
  EXPECT_EQ(changes, 2);
}

#ifdef VELK_TEST_DBUS
// A bus of the test's own, with a stand-in for UDisks2 that announces a mount.
class PrivateBus {
 public:
  PrivateBus() {
    daemon_.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
    if (!daemon_.waitForReadyRead(5000)) return;
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
  }
  ~PrivateBus() {
    QDBusConnection::disconnectFromBus("watcher");
    QDBusConnection::disconnectFromBus("udisks");
    daemon_.kill();
    daemon_.waitForFinished();
  }
  bool up() const { return !address_.isEmpty(); }
  QDBusConnection connect(const QString& name) {
    return QDBusConnection::connectToBus(address_, name);
  }

 private:
  QProcess daemon_;
  QString address_;
};

TEST(StickWatcher, AMountAnnouncedByUdisksIsSeenAtOnce) {
  PrivateBus bus;
  if (!bus.up()) GTEST_SKIP() << "dbus-daemon could not be started";
  TempDir dir;
  FakeVolumes volumes;
  platform::StickWatcher watcher(volumes, platform::kMotionStickMarker);
  watcher.start(1h);  // the poll never comes: only the bus can tell
  ASSERT_TRUE(watcher.listenToUdisks(bus.connect("watcher")));
  QDBusConnection udisks = bus.connect("udisks");
  ASSERT_TRUE(udisks.registerService("org.freedesktop.UDisks2"));

  const struct {
    const char* path;
    const char* interface;
    const char* member;
    QVariantList arguments;
    bool plugged;
  } announcements[] = {
      {"/org/freedesktop/UDisks2/block_devices/sdz1",
       "org.freedesktop.DBus.Properties",
       "PropertiesChanged",
       {QString("org.freedesktop.UDisks2.Filesystem"), QVariantMap{{"ReadOnly", false}},
        QStringList()},
       true},
      {"/org/freedesktop/UDisks2",
       "org.freedesktop.DBus.ObjectManager",
       "InterfacesRemoved",
       {QVariant::fromValue(QDBusObjectPath("/org/freedesktop/UDisks2/block_devices/sdz1")),
        QStringList{"org.freedesktop.UDisks2.Filesystem"}},
       false},
  };
  for (const auto& a : announcements) {
    SCOPED_TRACE(a.member);
    // Past the second look the watcher takes a moment after each announcement.
    QTest::qWait(400);
    if (a.plugged) {
      volumes.mount(dir / "AIBO", "AIBO", platform::kMotionStickMarker);
    } else {
      volumes.unmount("AIBO");
    }
    QDBusMessage signal = QDBusMessage::createSignal(a.path, a.interface, a.member);
    signal.setArguments(a.arguments);
    ASSERT_TRUE(udisks.send(signal));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return watcher.sticks().size() == (a.plugged ? 1u : 0u); }, 3000));
  }
}
#endif

}  // namespace
