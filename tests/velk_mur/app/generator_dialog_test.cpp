#include "velk_mur/app/src/generator_dialog.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/qt/dialog_units.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/stick_tree.h"

namespace fs = std::filesystem;
using testing_support::environmentIn;
using testing_support::makeValidStick;
using testing_support::TempDir;

namespace {

class GeneratorDialogTest : public ::testing::Test {
 protected:
  GeneratorDialogTest() : environment(environmentIn(dir)) {}

  QWidget* control(const char* id) { return dialog->findChild<QWidget*>(id); }
  QLineEdit* edit(const char* id) { return dialog->findChild<QLineEdit*>(id); }
  void open() {
    dialog = std::make_unique<velk_mur::GeneratorDialog>(messenger, environment);
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
  }
  // A stick that passes the path check and a folder with one recording ready to save.
  void openWithValidPaths(const fs::path& root) {
    makeValidStick(root / "stick");
    testing_support::writeRecording(root / "voices", "hello", 800);
    testing_support::writeReadyCompanions(root / "voices", "hello");
    open();
    edit("1005")->setText(QString::fromStdString((root / "stick").string()));
    edit("1006")->setText(QString::fromStdString((root / "voices").string()));
  }
  bool settingsWritten() const { return fs::exists(velk_mur::settingsFilePath(environment)); }

  TempDir dir;
  velk_mur::AppEnvironment environment;
  platform::RecordingMessenger messenger;
  std::unique_ptr<velk_mur::GeneratorDialog> dialog;
};

// Every control that takes focus, in tab order, with its text and the name assistive
// technology reads: the boxes take theirs from their labels, the buttons from their texts.
TEST_F(GeneratorDialogTest, ControlsCarryTheStoredPathsTextsNamesTipsAndTabOrder) {
  velk_mur::storePathTexts(environment, {"E:\\", "d:\\voices"});
  open();
  EXPECT_EQ(dialog->windowTitle(), QString("VELK Murmelon"));
  EXPECT_EQ(edit("1005")->text(), QString("E:\\"));
  EXPECT_EQ(edit("1006")->text(), QString("d:\\voices"));
  EXPECT_EQ(edit("1005")->maxLength(), 259);
  const std::tuple<const char*, const char*, const char*> controls[] = {
      {"1005", nullptr, "Memory Stick Path:"},
      {"stickPathBrowse", "...", "Choose the memory stick folder"},
      {"1006", nullptr, "Audio Data Path:"},
      {"audioPathBrowse", "...", "Choose the audio data folder"},
      {"1009", "Test", "Test"},
      {"1008", "Save to Stick", "Save to Stick"},
      {"1010", "About...", "About..."},
      {"2", "Done", "Done"},
      {"1011", "Generate", "Generate"},
      {"1012", "Import...", "Import..."},
      {"1013", "Say...", "Say..."},
      {"1014", "Preview...", "Preview..."}};
  // The chain wraps from the last control to the first.
  QWidget* widget = control(std::get<0>(std::end(controls)[-1]));
  ASSERT_NE(widget, nullptr);
  for (const auto& [id, text, name] : controls) {
    do widget = widget->nextInFocusChain();
    while (!(widget->focusPolicy() & Qt::TabFocus));
    EXPECT_EQ(widget->objectName().toStdString(), id);
    EXPECT_TRUE(text == nullptr || widget->property("text").toString() == text) << id;
    EXPECT_EQ(QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name), name);
    EXPECT_TRUE(text == nullptr || !widget->toolTip().isEmpty()) << id;
  }
  QTest::keyClick(dialog.get(), Qt::Key_A, Qt::AltModifier);
  EXPECT_TRUE(edit("1006")->hasFocus());

  // The template in dialog units.
  const platform::DialogBaseUnits base = platform::baseUnitsOf(dialog->font());
  EXPECT_EQ(control("1005")->geometry(), platform::sizePixels({77, 6, 79, 14}, base));
  EXPECT_EQ(dialog->size(),
            QSize(platform::horizontalPixels(208, base), platform::verticalPixels(93, base)));
}

// What each key or button does first: the buttons run their commands, Enter does nothing, and
// Escape and Done close without saving the paths.
TEST_F(GeneratorDialogTest, EachKeyOrButtonShowsItsFirstMessageOrCloses) {
  const std::tuple<const char*, Qt::Key, std::string, bool> rows[] = {
      {"1006", Qt::Key_Return, "", false},
      {"1005", Qt::Key_Escape, "", true},
      {"2", Qt::Key_Space, "", true},
      {"1011", Qt::Key_Space,
       "Regenerated 2 motion files and 0 LED files\nReady to 'Save to Stick'", false},
      {"1009", Qt::Key_Space, "1 actions ok and ready to 'Save to Stick'\n(0.00MB Audio)", false},
      {"1008", Qt::Key_Space, "Memory Stick Update Complete", true},
      {"1010", Qt::Key_Space, "Murmelon\nanother Dravlen tool\nVersion .11", false},
  };
  for (const auto& [id, key, firstMessage, closes] : rows) {
    SCOPED_TRACE(id);
    fs::remove(velk_mur::settingsFilePath(environment));
    openWithValidPaths(dir / id);
    messenger.clear();
    control(id)->setFocus();
    QTest::keyClick(control(id), key);
    EXPECT_EQ(messenger.texts().empty() ? "" : messenger.texts().front(), firstMessage);
    QTRY_COMPARE(dialog->isVisible(), !closes);
    // The paths are stored by the commands that check the stick.
    EXPECT_EQ(settingsWritten(), !firstMessage.empty() && id != std::string("1010"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  }
}

}  // namespace
