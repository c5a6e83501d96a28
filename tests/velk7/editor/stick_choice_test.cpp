// The editor and the stick as a medium: opening the robot stick plugged in, and putting a
// backup back from the editor.
#include <QApplication>
#include <QInputDialog>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "editor_stick.h"
#include "platform/backups.h"
#include "tests/support/fake_volumes.h"
#include "tests/support/recording_messenger.h"
#include "velk7/editor/src/editor_dialog.h"
#include "velk7/editor/src/stick_choice.h"

namespace velk7 {
namespace {

namespace fs = std::filesystem;
using testing_support::readTextFile;

// Answers the next list question with the item at `index` (or cancels it with -1), and keeps
// what it offered.
QStringList answerNextList(int index) {
  auto offered = std::make_shared<QStringList>();
  QTimer::singleShot(0, [offered, index] {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      auto* input = qobject_cast<QInputDialog*>(window);
      if (input == nullptr || !input->isVisible()) continue;
      *offered = input->comboBoxItems();
      if (index < 0) {
        input->reject();
      } else {
        input->setTextValue(offered->value(index));
        input->accept();
      }
    }
  });
  return {};
}

TEST(ProgramOnPluggedStick, TheOneStickIsOpenedAndOfSeveralTheUserPicks) {
  const struct {
    int sticks;
    int pick;    // the list's answer when there are several; -1 cancels
    int opened;  // the stick whose program is opened, -1 none
  } cases[] = {{0, 0, -1}, {1, 0, 0}, {2, 1, 1}, {2, -1, -1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.sticks << " " << c.pick);
    testing_support::TempDir dir;
    testing_support::FakeVolumes volumes;
    volumes.mount(dir / "PLAIN", "PLAIN");  // no program on it
    std::vector<fs::path> programs;
    for (int i = 0; i < c.sticks; ++i) {
      const std::string name = "STICK" + std::to_string(i);
      // The second in lower case, as copied to a file system that keeps case.
      const fs::path program = editor_testing::writeStick(dir / name, {{"T", {"WAIT"}}});
      volumes.mount(dir / name, name);
      programs.push_back(program);
    }
    if (c.sticks > 1) answerNextList(c.pick);
    const std::optional<fs::path> opened = programOnPluggedStick(volumes);
    EXPECT_EQ(opened.has_value(), c.opened >= 0);
    if (opened && c.opened >= 0) {
      EXPECT_EQ(*opened, programs[static_cast<std::size_t>(c.opened)]);
    }
  }
}

TEST(EditorRestore, ABackupChosenByDateIsPutBackAndTheEditorEndsToOpenItAnew) {
  testing_support::TempDir dir;
  const fs::path program = editor_testing::writeStick(dir / "AIBO", {{"T", {"WAIT"}}});
  const std::string original = readTextFile(program);
  const fs::path backups = dir / "backups";
  const fs::path stickBackups =
      platform::stickBackupsFolder(backups, platform::stickVolume(dir / "AIBO"));
  ASSERT_TRUE(
      platform::backUpFiles(dir / "AIBO", {"OPEN-R/APP/PC/AMS/R-CODE.R"}, stickBackups).folder);
  testing_support::writeTextFile(program, editor_testing::programText({{"T", {"WAIT 500"}}}));
  RcodeProgram loaded = editor_testing::loadParsed(program);
  platform::RecordingMessenger messenger;
  EditorDialog dialog(loaded, program, messenger);
  dialog.setBackupsFolder(backups);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  answerNextList(0);
  messenger.queueAnswer(true);
  dialog.restoreBackup();
  EXPECT_EQ(readTextFile(program), original) << ::testing::PrintToString(messenger.texts());
  EXPECT_EQ(dialog.result(), kRestoredResult);
  EXPECT_FALSE(dialog.isVisible());
  ASSERT_FALSE(messenger.entries().empty());
  EXPECT_TRUE(messenger.entries()[0].isQuestion);
}

}  // namespace
}  // namespace velk7
