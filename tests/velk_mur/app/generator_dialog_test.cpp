#include "velk_mur/app/dialog/src/generator_dialog.h"

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

namespace velk_mur {
namespace {

class GeneratorDialogTest : public ::testing::Test {
 protected:
  GeneratorDialogTest() : environment(testing_support::environmentIn(dir)) {}

  QWidget* control(const char* id) { return dialog->findChild<QWidget*>(id); }
  QString text(const char* id) { return dialog->findChild<QLineEdit*>(id)->text(); }
  // Opens the dialog on the paths stored, then forgets them, to see which commands store them.
  void open(const PathTexts& paths) {
    storePathTexts(environment, paths);
    dialog = std::make_unique<GeneratorDialog>(messenger, environment);
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    fs::remove(settingsFilePath(environment));
  }

  testing_support::TempDir dir;
  AppEnvironment environment;
  platform::RecordingMessenger messenger;
  std::unique_ptr<GeneratorDialog> dialog;
};

// Every control that takes focus, in tab order, with its text and the name assistive
// technology reads: the boxes take theirs from their labels, the buttons from their texts.
TEST_F(GeneratorDialogTest, ControlsCarryTheStoredPathsTextsNamesTipsAndTabOrder) {
  open({"E:\\", "d:\\voices"});
  EXPECT_EQ(dialog->windowTitle(), QString("VELK Murmelon"));
  EXPECT_EQ(text("1005"), QString("E:\\"));
  EXPECT_EQ(text("1006"), QString("d:\\voices"));
  EXPECT_EQ(dialog->findChild<QLineEdit*>("1005")->maxLength(), 259);
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
  QWidget* widget = control("1014");
  for (const auto& [id, label, name] : controls) {
    do widget = widget->nextInFocusChain();
    while (!(widget->focusPolicy() & Qt::TabFocus));
    EXPECT_EQ(widget->objectName().toStdString(), id);
    EXPECT_TRUE(label == nullptr || widget->property("text").toString() == label) << id;
    EXPECT_EQ(QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name), name);
    EXPECT_TRUE(label == nullptr || !widget->toolTip().isEmpty()) << id;
  }
  QTest::keyClick(dialog.get(), Qt::Key_A, Qt::AltModifier);
  EXPECT_TRUE(control("1006")->hasFocus());
  // The template in dialog units.
  EXPECT_EQ(control("1005")->geometry(),
            platform::sizePixels({77, 6, 79, 14}, platform::baseUnitsOf(dialog->font())));
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
              !firstMessage.empty() && id != std::string("1010"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  }
}

}  // namespace
}  // namespace velk_mur
