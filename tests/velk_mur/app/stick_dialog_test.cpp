// The dialog's help with the stick: offering one plugged in, stopping a save whose stick was
// pulled out, the room bar, and putting a backup back.
#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

#include "platform/backups.h"
#include "platform/qt/control_table.h"
#include "tests/support/fake_volumes.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/stick_tree.h"
#include "velk_mur/app/dialog/src/generator_dialog.h"
#include "velk_mur/app/dialog/src/generator_template.h"
#include "velk_mur/app/dialog/src/room_bar.h"
#include "velk_mur/stick/stick_room.h"

namespace fs = std::filesystem;
namespace ids = velk_mur::control_id;
using testing_support::snapshotTree;

namespace velk_mur {
namespace {

class StickDialogTest : public ::testing::Test {
 protected:
  StickDialogTest() : environment(testing_support::environmentIn(dir)) {
    fs::create_directories(dir / "voices" / "GEN");
    testing_support::writeRecording(dir / "voices", "hello", 4000);
    testing_support::writeReadyCompanions(dir / "voices", "hello");
  }

  void open(const std::string& stickPath) {
    storePathTexts(environment, {stickPath, (dir / "voices").string()});
    dialog = std::make_unique<GeneratorDialog>(messenger, environment, nullptr, &volumes);
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
  }
  QString stickField() { return platform::control<QLineEdit>(*dialog, ids::kStickPath)->text(); }
  QString status() { return platform::control<QLabel>(*dialog, ids::kStickStatus)->text(); }
  void click(std::string_view id) {
    QTest::mouseClick(platform::control<QPushButton>(*dialog, id), Qt::LeftButton);
  }
  // A stick with the example's files, plugged in.
  fs::path plug(const char* label) {
    const fs::path root = dir / label;
    fs::copy(fs::path(VELK_SOURCE_DIR) / "examples/stick", root, fs::copy_options::recursive);
    volumes.mount(root, label);
    return root;
  }

  testing_support::TempDir dir;
  AppEnvironment environment;
  platform::RecordingMessenger messenger;
  testing_support::FakeVolumes volumes;
  std::unique_ptr<GeneratorDialog> dialog;
};

// Plugged in while the dialog is open, a stick fills the field within three seconds when the
// field is empty or names a stick that is gone; a field naming a folder that is there stays.
TEST_F(StickDialogTest, APluggedStickIsOfferedWhenTheFieldIsEmptyOrItsStickIsGone) {
  const struct {
    const char* field;  // "" empty, "gone" a folder that is not there, "here" one that is
    bool offered;
  } cases[] = {{"", true}, {"gone", true}, {"here", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.field);
    fs::create_directories(dir / "here");
    const std::string field = c.field[0] == '\0' ? "" : (dir / c.field).string();
    open(field);
    const QString before = stickField();
    // Named unlike the field's folders in more than letter case, which Windows does not tell.
    const fs::path stick = plug(c.field[0] == '\0'  ? "STICK_A"
                                : c.field[0] == 'g' ? "STICK_B"
                                                    : "STICK_C");
    const QString offered = QString::fromStdString(stick.string());
    if (c.offered) {
      EXPECT_TRUE(QTest::qWaitFor([&] { return stickField() == offered; }, 3000));
      EXPECT_EQ(status(), QString::fromStdString("Memory stick found (FAT16, 16.0 MB, " +
                                                 stick.filename().string() + ")"));
    } else {
      QTest::qWait(2300);  // past the next look
      EXPECT_EQ(stickField(), before);
      EXPECT_EQ(status(), QString());
    }
    volumes.unmount(stick.filename().string());
  }
}

TEST_F(StickDialogTest, AStickPulledOutBeforeASaveStopsItAndSaysSo) {
  const fs::path stick = plug("AIBO");
  open(stick.string());
  const auto before = snapshotTree(stick);
  // Pulled out: the system unmounts it and its folder goes.
  volumes.unmount("AIBO");
  fs::rename(stick, dir / "pulled");
  messenger.clear();
  click(ids::kSaveToStick);
  ASSERT_EQ(messenger.texts().size(), 1u);
  EXPECT_TRUE(messenger.texts()[0].starts_with("The memory stick is no longer there: "));
  EXPECT_TRUE(messenger.entries()[0].isError);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(snapshotTree(dir / "pulled"), before);
  // One line in the dialog, shortened in its middle when the path is long; whole in its tip.
  auto* line = platform::control<QLabel>(*dialog, ids::kStickStatus);
  EXPECT_TRUE(line->toolTip().startsWith("The memory stick is no longer there: "));
  EXPECT_TRUE(status().startsWith("The memory stick")) << status().toStdString();
  EXPECT_LE(line->fontMetrics().horizontalAdvance(status()), line->width());
}

TEST_F(StickDialogTest, TheRoomBarShowsWhatTheSaveNeedsBesideTheRoomFree) {
  const fs::path stick = plug("AIBO");
  open(stick.string());
  auto* bar = platform::control<RoomBar>(*dialog, ids::kRoomBar);
  ASSERT_NE(bar, nullptr);
  const std::optional<StickRoom> room = roomForSave(dir / "voices", stick);
  ASSERT_TRUE(room);
  ASSERT_TRUE(QTest::qWaitFor([&] { return bar->figures().has_value(); }, 2000));
  EXPECT_EQ(bar->figures()->needed, room->needed);
  EXPECT_EQ(bar->figures()->size, 16u << 20);  // the volume's, as the system lists it
  EXPECT_EQ(bar->figures()->talking, talkingActionsBytes(stick, room->clusterSize));
  EXPECT_TRUE(bar->caption().startsWith("Save needs ")) << bar->caption().toStdString();
  // More recordings, and a moment after the path is typed again the bar shows their room.
  testing_support::writeRecording(dir / "more", "big", 400000);
  testing_support::writeReadyCompanions(dir / "more", "big");
  platform::control<QLineEdit>(*dialog, ids::kAudioPath)
      ->setText(QString::fromStdString((dir / "more").string()));
  const std::uint64_t bigger = roomForSave(dir / "more", stick)->needed;
  ASSERT_GT(bigger, room->needed);
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return bar->figures() && bar->figures()->needed == bigger; }, 2000));
  // A stick path that leads nowhere leaves the room unknown.
  platform::control<QLineEdit>(*dialog, ids::kStickPath)->setText("");
  EXPECT_TRUE(QTest::qWaitFor([&] { return !bar->figures().has_value(); }, 2000));
}

TEST_F(StickDialogTest, RestoreABackupOffersTheDatesAndPutsTheChosenOneBack) {
  const fs::path stick = plug("AIBO");
  open(stick.string());
  messenger.clear();
  click(ids::kRestoreBackup);
  ASSERT_EQ(messenger.texts().size(), 1u);
  EXPECT_TRUE(messenger.texts()[0].starts_with(
      "No backups of this memory stick yet: every save makes one first"));

  const auto before = snapshotTree(stick);
  const fs::path backups =
      platform::stickBackupsFolder(environment.backupsFolder, platform::stickVolume(stick));
  ASSERT_TRUE(platform::backUpFiles(stick, {"OPEN-R/MW/CONF/ERS-7.MWC"}, backups).folder);
  testing_support::writeTextFile(stick / "OPEN-R/MW/CONF/ERS-7.MWC", "changed");
  // The list of dates comes up; the newest is taken, and the question is answered Yes.
  QStringList offered;
  QTimer::singleShot(0, [&] {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (auto* input = qobject_cast<QInputDialog*>(window)) {
        offered = input->comboBoxItems();
        input->accept();
      }
    }
  });
  messenger.clear();
  messenger.queueAnswer(true);
  click(ids::kRestoreBackup);
  EXPECT_EQ(offered.size(), 1);
  ASSERT_FALSE(messenger.entries().empty());
  EXPECT_TRUE(messenger.entries()[0].isQuestion);
  EXPECT_TRUE(
      messenger.texts()[0].starts_with("Put the backup of " + offered.value(0).toStdString()));
  EXPECT_EQ(snapshotTree(stick), before);
  EXPECT_EQ(messenger.texts().back(), "Stick is consistent");
}

}  // namespace
}  // namespace velk_mur
