// The editor's Check command and the check before saving, driven through the dialog's
// buttons; and the Try it window's run, with its sensor buttons, running line, queue and
// console.
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "editor_stick.h"
#include "platform/qt/control_table.h"
#include "tests/support/recording_messenger.h"
#include "velk7/editor/src/editor_dialog.h"
#include "velk7/editor/src/editor_template.h"
#include "velk7/editor/src/try_it_window.h"

namespace velk7 {
namespace {

using namespace editor_testing;
using Texts = std::vector<std::string>;

class CheckInEditorTest : public ::testing::Test {
 protected:
  void open(const std::vector<RecordText>& records) {
    dialog_.reset();
    path_ = writeStick(root_.path(), records);
    program_ = loadParsed(path_);
    dialog_ = std::make_unique<EditorDialog>(program_, path_, messenger_);
    dialog_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog_.get()));
  }
  void click(std::string_view id) {
    QPushButton* button = platform::control<QPushButton>(*dialog_, id);
    ASSERT_NE(button, nullptr) << id;
    QTest::mouseClick(button, Qt::LeftButton);
  }

  testing_support::TempDir root_;
  std::filesystem::path path_;
  RcodeProgram program_;
  platform::RecordingMessenger messenger_;
  std::unique_ptr<EditorDialog> dialog_;
};

TEST_F(CheckInEditorTest, CheckListsTheFindingsWithTheirLines) {
  open({{"Fine", {"PLAY ACTION SIT", "WAIT"}}});
  click(control_id::kCheck);
  EXPECT_EQ(messenger_.texts(),
            Texts{"No errors and no warnings: the robot can run this program."});
  open({{"Broken", {"PLAY ACTION SITT", "WAIT 0"}}});
  messenger_.clear();
  click(control_id::kCheck);
  ASSERT_EQ(messenger_.entries().size(), 1U);
  EXPECT_TRUE(messenger_.entries()[0].isError);
  EXPECT_EQ(messenger_.texts()[0],
            "2 errors, 0 warnings\n"
            "Line 5: error: action not on the stick: SITT is in none of ACTION.CFG, ACTION.EXT "
            "and ERS-7.MWC\n"
            "Line 6: error: WAIT out of range: 0 ms; WAIT takes 1 to 30000 milliseconds\n");
}

TEST_F(CheckInEditorTest, SavingAProgramWithErrorsAsksFirstAndNoKeepsEverything) {
  open({{"Broken", {"GO Nowhere"}}});
  const std::string before = testing_support::readTextFile(path_);
  click(control_id::kSave);  // no answer queued: the default, No
  EXPECT_TRUE(dialog_->isVisible());
  ASSERT_EQ(messenger_.entries().size(), 1U);
  EXPECT_TRUE(messenger_.entries()[0].isQuestion);
  EXPECT_TRUE(
      messenger_.texts()[0].ends_with("Line 5: label not found: no line :Nowhere\n\n"
                                      "Save anyway?"));
  EXPECT_EQ(testing_support::readTextFile(path_), before);
  messenger_.clear();
  messenger_.queueAnswer(true);
  click(control_id::kSave);
  EXPECT_EQ(dialog_->result(), kSavedResult);
  EXPECT_EQ(messenger_.texts().back(), "File saved (no changes made)");
}

TEST(TryItWindow, RunsTheProgramAndTakesSensorsFromItsButtons) {
  const std::string text =
      ":Main\r\nIF Head_ON = 1 CALL Pat\r\nIF AU_Voice = 1 CALL Heard\r\nWAIT 64\r\nGO Main\r\n"
      ":Pat\r\nSET Head_ON 0\r\nPLAY ACTION SIT\r\nPRINT \"pat\"\r\nRETURN\r\n"
      ":Heard\r\nSET AU_Voice 0\r\nPRINT \"heard %d\" AU_Voice_ID\r\nRETURN\r\n";
  TryItWindow window(text, "R-CODE.R");
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  auto* head = platform::control<QPushButton>(window, try_it_id::kHead);
  auto* hear = platform::control<QPushButton>(window, try_it_id::kHear);
  auto* voice = platform::control<QComboBox>(window, try_it_id::kVoiceBox);
  auto* running = platform::control<QLabel>(window, try_it_id::kRunningLine);
  auto* queue = platform::control<QListWidget>(window, try_it_id::kQueue);
  auto* console = platform::control<QListWidget>(window, try_it_id::kConsole);
  ASSERT_TRUE(head && hear && voice && running && queue && console);
  window.tick();
  EXPECT_EQ(running->text().toStdString(), "line 4: WAIT 64");
  QTest::mouseClick(head, Qt::LeftButton);
  EXPECT_EQ(window.interpreter().value("Head_ON"), 1);
  for (int tick = 0; tick < 3; ++tick) window.tick();
  EXPECT_EQ(window.interpreter().value("Head_ON"), 0);
  ASSERT_EQ(queue->count(), 1);
  EXPECT_EQ(queue->item(0)->text().toStdString(), "PLAY ACTION SIT  (2.000 s, assumed)");
  voice->setCurrentIndex(6);
  QTest::mouseClick(hear, Qt::LeftButton);
  for (int tick = 0; tick < 3; ++tick) window.tick();
  ASSERT_EQ(console->count(), 2);
  EXPECT_TRUE(console->item(0)->text().endsWith(QStringLiteral("PRINT: pat")));
  EXPECT_TRUE(console->item(1)->text().endsWith(QStringLiteral("PRINT: heard 7")));
}

}  // namespace
}  // namespace velk7
