#include "velk_mur/app/generator_dialog.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/recording_messenger.h"
#include "tests/support/stick_tree.h"
#include "velk_mur/app/dialog_layout.h"

namespace fs = std::filesystem;
using testing_support::environmentIn;
using testing_support::makeValidStick;
using testing_support::TempDir;

namespace {

class GeneratorDialogTest : public ::testing::Test {
 protected:
  GeneratorDialogTest() : environment(environmentIn(dir)) {}

  QLineEdit* edit(const char* id) { return dialog->findChild<QLineEdit*>(id); }
  QPushButton* button(const char* id) { return dialog->findChild<QPushButton*>(id); }
  void open() {
    dialog = std::make_unique<velk_mur::GeneratorDialog>(messenger, environment);
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
  }
  void typeInto(const char* id, const std::string& text) {
    edit(id)->clear();
    edit(id)->setText(QString::fromStdString(text));
  }
  bool settingsWritten() const { return fs::exists(velk_mur::settingsFilePath(environment)); }

  TempDir dir;
  velk_mur::AppEnvironment environment;
  platform::RecordingMessenger messenger;
  std::unique_ptr<velk_mur::GeneratorDialog> dialog;
};

TEST_F(GeneratorDialogTest, ControlsCarryTheirIdsTextsAndTabOrder) {
  open();
  EXPECT_EQ(dialog->windowTitle(), QString("VELK Murmelon"));
  EXPECT_FALSE(dialog->windowIcon().isNull());
  const std::vector<std::pair<const char*, const char*>> buttons = {
      {"1009", "Test"},     {"1008", "Save to Stick"}, {"1010", "About..."}, {"2", "Done"},
      {"1011", "Generate"}, {"1012", "Import..."},     {"1013", "Say..."}};
  for (const auto& [id, text] : buttons) {
    QPushButton* found = button(id);
    ASSERT_NE(found, nullptr) << id;
    EXPECT_EQ(found->text(), QString(text));
    EXPECT_FALSE(found->isDefault()) << id;
    EXPECT_FALSE(found->autoDefault()) << id;
  }
  ASSERT_NE(edit("1005"), nullptr);
  ASSERT_NE(edit("1006"), nullptr);
  std::vector<QString> labels;
  for (QLabel* label : dialog->findChildren<QLabel*>()) labels.push_back(label->text());
  EXPECT_EQ(labels, (std::vector<QString>{"Memory Stick Path:", "Audio Data Path:"}));

  const std::vector<QString> tabOrder = {"1005", "1006", "1009", "1008", "1010",
                                         "2",    "1011", "1012", "1013"};
  for (std::size_t index = 0; index + 1 < tabOrder.size(); ++index) {
    QWidget* next = dialog->findChild<QWidget*>(tabOrder[index])->nextInFocusChain();
    while (!(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
    EXPECT_EQ(next->objectName().toStdString(), tabOrder[index + 1].toStdString());
  }
}

TEST_F(GeneratorDialogTest, GeometryFollowsTheTemplateInDialogUnits) {
  open();
  const QFontMetrics metrics(dialog->font());
  const velk_mur::DialogBaseUnits base{
      velk_mur::scaleRounded(
          metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"), 1, 52),
      metrics.height()};
  const velk_mur::DialogUnitsRect size = velk_mur::toPixels({0, 0, 208, 93}, base);
  EXPECT_EQ(dialog->size(), QSize(size.width, size.height));
  EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
  const velk_mur::DialogUnitsRect stick = velk_mur::toPixels({77, 6, 79, 14}, base);
  EXPECT_EQ(edit("1005")->geometry(), QRect(stick.x, stick.y, stick.width, stick.height));
  const velk_mur::DialogUnitsRect generate = velk_mur::toPixels({15, 52, 49, 14}, base);
  EXPECT_EQ(button("1011")->geometry(),
            QRect(generate.x, generate.y, generate.width, generate.height));
  EXPECT_FALSE(dialog->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(dialog->windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST_F(GeneratorDialogTest, StartsWithTheStoredPathsOrTheDefaults) {
  open();
  EXPECT_EQ(edit("1005")->text().toStdString(), velk_mur::defaultStickPath(environment));
  EXPECT_EQ(edit("1006")->text().toStdString(), velk_mur::defaultAudioPath(environment));
  velk_mur::storePathTexts(environment, {"E:\\", "d:\\voices"});
  open();
  EXPECT_EQ(edit("1005")->text(), QString("E:\\"));
  EXPECT_EQ(edit("1006")->text(), QString("d:\\voices"));
  EXPECT_EQ(edit("1005")->maxLength(), 259);
}

TEST_F(GeneratorDialogTest, EnterInAnEditOrOnAFocusedButtonDoesNothing) {
  makeValidStick(dir / "stick");
  open();
  typeInto("1005", (dir / "stick").string());
  for (QWidget* widget :
       std::initializer_list<QWidget*>{edit("1005"), edit("1006"), button("1011")}) {
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key_Return);
    QTest::keyClick(widget, Qt::Key_Enter, Qt::KeypadModifier);
  }
  QApplication::processEvents();
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(dialog->result(), 0);
  EXPECT_TRUE(messenger.entries().empty());
  EXPECT_FALSE(settingsWritten());
}

TEST_F(GeneratorDialogTest, EscapeDoneAndCloseBoxCloseWithoutSavingTheEditedPaths) {
  makeValidStick(dir / "stick");
  const std::pair<const char*, std::function<void()>> ways[] = {
      {"escape", [this] { QTest::keyClick(edit("1005"), Qt::Key_Escape); }},
      {"done", [this] { QTest::mouseClick(button("2"), Qt::LeftButton); }},
      {"close box", [this] { dialog->close(); }},
  };
  for (const auto& [what, close] : ways) {
    SCOPED_TRACE(what);
    open();
    typeInto("1005", (dir / "stick").string());
    close();
    QTRY_VERIFY(!dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_FALSE(settingsWritten());
    EXPECT_TRUE(messenger.entries().empty());
  }
}

TEST_F(GeneratorDialogTest, GenerateWithAnInvalidStickShowsThreeMessages) {
  open();
  typeInto("1005", (dir / "nostick").string());
  QTest::mouseClick(button("1011"), Qt::LeftButton);
  ASSERT_EQ(messenger.texts().size(), 3u);
  EXPECT_EQ(messenger.texts()[0], "Invalid path for RCODE memory stick");
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_FALSE(settingsWritten());
}

TEST_F(GeneratorDialogTest, TestWithAValidStickSavesBothPathsEvenIfTheCheckFails) {
  makeValidStick(dir / "stick");
  fs::create_directories(dir / "voices");
  open();
  typeInto("1005", (dir / "stick").string());
  typeInto("1006", (dir / "voices").string());
  QTest::mouseClick(button("1009"), Qt::LeftButton);
  EXPECT_EQ(messenger.texts(),
            std::vector<std::string>{"No .WAV files found, please add some and try again"});
  const velk_mur::PathTexts stored = velk_mur::loadPathTexts(environment);
  EXPECT_EQ(stored.stickPath, (dir / "stick").string());
  EXPECT_EQ(stored.audioPath, (dir / "voices").string());
  EXPECT_TRUE(dialog->isVisible());
}

TEST_F(GeneratorDialogTest, GenerateThenSaveClosesTheDialog) {
  makeValidStick(dir / "stick");
  testing_support::writeWav(dir / "voices/hello.wav", testing_support::halfSilentHalfLoud());
  open();
  typeInto("1005", (dir / "stick").string());
  typeInto("1006", (dir / "voices").string());
  QTest::mouseClick(button("1011"), Qt::LeftButton);
  EXPECT_EQ(messenger.texts(),
            std::vector<std::string>{"Regenerated 2 motion files and 1 LED files\nReady to 'Save "
                                     "to Stick'"});
  EXPECT_TRUE(dialog->isVisible());
  messenger.clear();
  QTest::mouseClick(button("1008"), Qt::LeftButton);
  EXPECT_EQ(messenger.texts(), std::vector<std::string>{"Memory Stick Update Complete"});
  QTRY_VERIFY(!dialog->isVisible());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(GeneratorDialogTest, AboutShowsTheVersion) {
  open();
  QTest::mouseClick(button("1010"), Qt::LeftButton);
  EXPECT_EQ(messenger.texts(),
            std::vector<std::string>{"Murmelon\nanother Dravlen tool\nVersion .11"});
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_FALSE(settingsWritten());
}

}  // namespace

TEST_F(GeneratorDialogTest, DroppedAudioFilesAreImportedIntoTheAudioFolder) {
  fs::create_directories(dir / "voices");
  platform::Bytes loud(22050 * 2);
  for (std::size_t i = 0; i < loud.size(); i += 2) loud[i + 1] = (i / 40) % 2 == 0 ? 0x40 : 0xC0;
  testing_support::WavOptions sixteenBit;
  sixteenBit.sampleRate = 22050;
  sixteenBit.bitsPerSample = 16;
  testing_support::writeWav(dir / "Voice Memo.wav", loud, sixteenBit);
  open();
  typeInto("1006", (dir / "voices").string());
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString((dir / "Voice Memo.wav").string()))});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(dialog.get(), &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(dialog.get(), &drop);
  ASSERT_EQ(messenger.texts().size(), 1u);
  EXPECT_NE(messenger.texts()[0].find("Voice_Memo ("), std::string::npos) << messenger.texts()[0];
  EXPECT_TRUE(fs::exists(dir / "voices/Voice_Memo.wav"));
}
