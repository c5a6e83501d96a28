#include "velk_mur/app/dialog/src/generator_dialog.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/qt/control_table.h"
#include "platform/qt/dialog_units.h"
#include "tests/support/fake_volumes.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/stick_tree.h"
#include "velk_mur/app/dialog/src/generator_template.h"

namespace fs = std::filesystem;
namespace ids = velk_mur::control_id;

namespace velk_mur {
namespace {

class GeneratorDialogTest : public ::testing::Test {
 protected:
  GeneratorDialogTest() : environment(testing_support::environmentIn(dir)) {}

  QWidget* control(std::string_view id) { return platform::control(*dialog, id); }
  QString text(std::string_view id) { return platform::control<QLineEdit>(*dialog, id)->text(); }
  // Opens the dialog on the paths stored, then forgets them, to see which commands store them.
  void open(const PathTexts& paths) {
    storePathTexts(environment, paths);
    dialog = std::make_unique<GeneratorDialog>(messenger, environment, nullptr, &volumes);
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    fs::remove(settingsFilePath(environment));
  }

  testing_support::TempDir dir;
  AppEnvironment environment;
  platform::RecordingMessenger messenger;
  // No stick is plugged in unless a test plugs one.
  testing_support::FakeVolumes volumes;
  std::unique_ptr<GeneratorDialog> dialog;
};

// Every control that takes focus, in tab order, with its text and the name assistive
// technology reads: the boxes take theirs from their labels, the buttons from their texts.
TEST_F(GeneratorDialogTest, ControlsCarryTheStoredPathsTextsNamesTipsAndTabOrder) {
  open({"E:\\", "d:\\voices"});
  EXPECT_EQ(dialog->windowTitle(), QString("VELK Murmelon"));
  EXPECT_EQ(text(ids::kStickPath), QString("E:\\"));
  EXPECT_EQ(text(ids::kAudioPath), QString("d:\\voices"));
  EXPECT_EQ(platform::control<QLineEdit>(*dialog, ids::kStickPath)->maxLength(), 259);
  const std::tuple<std::string_view, const char*, const char*> controls[] = {
      {ids::kStickPath, nullptr, "Memory Stick Path"},
      {ids::kStickPathBrowse, "...", "Choose the memory stick folder"},
      {ids::kAudioPath, nullptr, "Audio Data Path"},
      {ids::kAudioPathBrowse, "...", "Choose the audio data folder"},
      {ids::kTest, "Test", "Test"},
      {ids::kSaveToStick, "Save to Stick", "Save to Stick"},
      {ids::kAbout, "About...", "About..."},
      {ids::kDone, "Done", "Done"},
      {ids::kGenerate, "Generate", "Generate"},
      {ids::kImport, "Import...", "Import..."},
      {ids::kSay, "Say...", "Say..."},
      {ids::kPreview, "Preview...", "Preview..."},
      {ids::kRestoreBackup, "Restore a backup...", "Restore a backup..."}};
  // The chain wraps from the last control to the first.
  QWidget* widget = control(ids::kRestoreBackup);
  for (const auto& [id, label, name] : controls) {
    do widget = widget->nextInFocusChain();
    while (!(widget->focusPolicy() & Qt::TabFocus));
    EXPECT_EQ(widget->objectName().toStdString(), id);
    EXPECT_TRUE(label == nullptr || widget->property("text").toString() == label) << id;
    EXPECT_EQ(QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name), name);
    EXPECT_TRUE(label == nullptr || !widget->toolTip().isEmpty()) << id;
  }
  QTest::keyClick(dialog.get(), Qt::Key_A, Qt::AltModifier);
  EXPECT_TRUE(control(ids::kAudioPath)->hasFocus());
  // The template in dialog units.
  const platform::DialogBaseUnits base = platform::baseUnitsOf(dialog->font());
  EXPECT_EQ(dialog->size(), platform::sizePixels({0, 0, 208, 122}, base).size());
  EXPECT_EQ(control(ids::kStickPath)->geometry(), platform::sizePixels({77, 6, 79, 14}, base));
}

// What each key or button does first: the buttons run their commands, Enter does nothing, and
// Escape and Done close without saving the paths.
TEST_F(GeneratorDialogTest, EachKeyOrButtonShowsItsFirstMessageOrCloses) {
  const std::tuple<std::string_view, Qt::Key, std::string, bool> rows[] = {
      {ids::kAudioPath, Qt::Key_Return, "", false},
      {ids::kStickPath, Qt::Key_Escape, "", true},
      {ids::kDone, Qt::Key_Space, "", true},
      {ids::kGenerate, Qt::Key_Space,
       "Regenerated 2 motion files and 0 LED files\nReady to 'Save to Stick'", false},
      {ids::kTest, Qt::Key_Space, "1 actions ok and ready to 'Save to Stick'\n(0.00MB Audio)",
       false},
      {ids::kSaveToStick, Qt::Key_Space, "Memory Stick Update Complete", true},
      {ids::kAbout, Qt::Key_Space, "Murmelon\nanother Dravlen tool\nVersion .11", false},
  };
  for (const auto& [id, key, firstMessage, closes] : rows) {
    SCOPED_TRACE(id);
    // A stick that passes the path check and a folder with one recording ready to save.
    testing_support::makeValidStick(dir / id / "stick");
    testing_support::writeRecording(dir / id / "voices", "hello", 800);
    testing_support::writeReadyCompanions(dir / id / "voices", "hello");
    open({(dir / id / "stick").string(), (dir / id / "voices").string()});
    messenger.clear();
    control(id)->setFocus();
    QTest::keyClick(control(id), key);
    const std::string first = messenger.texts().empty() ? "" : messenger.texts().front();
    // Test ends its report with the room on the stick, which a test of its own checks.
    EXPECT_EQ(first.substr(0, first.find("\nThe save needs")), firstMessage);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog->isVisible() == !closes; }));
    // The paths are stored by the commands that check the stick.
    EXPECT_EQ(fs::exists(settingsFilePath(environment)),
              !firstMessage.empty() && id != ids::kAbout);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  }
}

}  // namespace
}  // namespace velk_mur
