// Building, reordering and undoing a record with the keyboard alone, the palette filter, the
// abandon question's default and the Open dialog.
#include <QFileDialog>
#include <QTimer>

#include "editor_fixture.h"
#include "platform/qt/message_box_messenger.h"
#include "velk7/editor/src/program_chooser.h"
#include "velk7/editor/src/save_program.h"

namespace velk7 {
namespace {

using namespace editor_testing;

// One keyboard step: a key in the code list, the parts list or elsewhere in the window, after
// choosing a code line or a part (-1 / "" to keep the choice).
struct Step {
  enum Where { Code, Parts, Window };
  Where where;
  Qt::Key key;
  Qt::KeyboardModifiers modifiers = {};
  int line = -1;
  std::string part = {};
};

class EditorKeyboardTest : public EditorTest {
 protected:
  void run(const Step& step) {
    if (step.line >= 0) code_->setCurrentRow(step.line);
    if (!step.part.empty()) parts_->setCurrentRow(partRow(step.part));
    QWidget* target = step.where == Step::Code    ? static_cast<QWidget*>(code_)
                      : step.where == Step::Parts ? static_cast<QWidget*>(parts_)
                                                  : static_cast<QWidget*>(tree_);
    key(target, step.key, step.modifiers);
  }
};

TEST_F(EditorKeyboardTest, KeysAddMoveDeleteUndoAndRedoLines) {
  const auto ctrl = Qt::ControlModifier;
  const auto ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
  struct Case {
    const char* what;
    std::vector<Step> steps;
    Texts after;   // of the record "Tricks": A, B, C, D at first
    bool differs;  // from the file
  };
  const std::vector<Case> cases = {
      {"insert without a chosen line adds at the end",
       {{Step::Parts, Qt::Key_Insert, {}, -1, "WAIT to finish"}},
       {"A", "B", "C", "D", "WAIT"},
       true},
      {"enter adds after the chosen line",
       {{Step::Parts, Qt::Key_Return, {}, 1, "Sit Down"}},
       {"A", "B", "PLAY ACTION SIT", "WAIT", "C", "D"},
       true},
      {"the next part follows the last added",
       {{Step::Parts, Qt::Key_Insert, {}, 0, "WAIT to finish"},
        {Step::Parts, Qt::Key_Insert},
        {Step::Parts, Qt::Key_Insert, {}, -1, "Sit Down"}},
       {"A", "WAIT", "WAIT", "PLAY ACTION SIT", "WAIT", "B", "C", "D"},
       true},
      {"moves down and up, and not past the ends",
       {{Step::Code, Qt::Key_Down, ctrl, 0},
        {Step::Code, Qt::Key_Down, ctrl},
        {Step::Code, Qt::Key_Down, ctrl},
        {Step::Code, Qt::Key_Down, ctrl},
        {Step::Code, Qt::Key_Up, ctrl, 0},
        {Step::Code, Qt::Key_Up, ctrl}},
       {"B", "C", "D", "A"},
       true},
      {"undo puts each edit back",
       {{Step::Code, Qt::Key_Delete, {}, 0},
        {Step::Code, Qt::Key_Up, ctrl, 2},
        {Step::Window, Qt::Key_Z, ctrl},
        {Step::Window, Qt::Key_Z, ctrl},
        {Step::Window, Qt::Key_Z, ctrl}},
       {"A", "B", "C", "D"},
       false},
      {"both redo keys make them again",
       {{Step::Code, Qt::Key_Delete, {}, 0},
        {Step::Code, Qt::Key_Delete, {}, 0},
        {Step::Window, Qt::Key_Z, ctrl},
        {Step::Window, Qt::Key_Z, ctrl},
        {Step::Window, Qt::Key_Y, ctrl},
        {Step::Window, Qt::Key_Z, ctrlShift}},
       {"C", "D"},
       true},
      {"an edit after undo drops the redo",
       {{Step::Code, Qt::Key_Delete, {}, 3},
        {Step::Window, Qt::Key_Z, ctrl},
        {Step::Code, Qt::Key_Delete, {}, 0},
        {Step::Window, Qt::Key_Y, ctrl}},
       {"B", "C", "D"},
       true},
      {"a line moved and moved back is as in the file",
       {{Step::Code, Qt::Key_Down, ctrl, 1}, {Step::Code, Qt::Key_Up, ctrl}},
       {"A", "B", "C", "D"},
       false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    open({{"Dances/Salsa", {"WAIT"}}, {"Tricks", {"A", "B", "C", "D"}}});
    select(1);
    for (const Step& step : c.steps) run(step);
    EXPECT_EQ(lines(1), c.after);
    EXPECT_EQ(codeTexts(), c.after);
    EXPECT_EQ(dialog_->differsFromFile(), c.differs);
    EXPECT_EQ(lines(0), Texts{"WAIT"});
  }
}

TEST_F(EditorKeyboardTest, UndoShowsTheRecordItChangesAndAnUndoneProgramClosesWithoutAsking) {
  open();
  select(1);
  code_->setCurrentRow(0);
  key(code_, Qt::Key_Delete);
  select(0, 0);
  key(tree_, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(dialog_->selectedEvent(), 1);
  EXPECT_EQ(codeTexts(), (Texts{"A", "B", "C", "D"}));
  EXPECT_TRUE(dialog_->changed());
  EXPECT_TRUE(dialog_->close());
  EXPECT_TRUE(messenger_.entries().empty());
}

TEST_F(EditorKeyboardTest, EnterOnTheAbandonQuestionKeepsEditing) {
  const std::unique_ptr<platform::MessageBoxMessenger> boxes = makeEditorMessenger();
  QTimer::singleShot(0, [] {
    if (QWidget* box = QApplication::activeModalWidget()) QTest::keyClick(box, Qt::Key_Return);
  });
  EXPECT_FALSE(boxes->ask(kAbandonQuestion));
}

TEST_F(EditorKeyboardTest, OpenDialogTakesTheStickFolderOrTheProgramFile) {
  open();
  const std::filesystem::path stick = root_.path();
  for (const std::filesystem::path& typed : {stick, path_}) {
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      dialog->selectFile(QString::fromStdString(typed.string()));
      QMetaObject::invokeMethod(dialog, "accept");
      // A dialog that went into the folder instead is still open: close it.
      QTimer::singleShot(0, dialog, &QDialog::reject);
    });
    EXPECT_EQ(chooseProgramFile(), std::optional(programBelow(stick)));
  }
}

TEST_F(EditorKeyboardTest, FilterNarrowsThePartsShownAsTheUserTypes) {
  open();
  filter_->setFocus();
  QTest::keyClicks(filter_, "st");
  EXPECT_EQ(texts(parts_, true), (Texts{"Stand Up", "Stop playing"}));
  QTest::keyClicks(filter_, "and u");
  EXPECT_EQ(texts(parts_, true), Texts{"Stand Up"});
  // Enter takes the keyboard to the part shown, and Enter again adds it.
  QTest::keyClick(filter_, Qt::Key_Return);
  EXPECT_TRUE(dialog_->isVisible());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(lines(0).back(), "WAIT");
  EXPECT_EQ(lines(0).size(), 5u);
  EXPECT_EQ(lines(0)[3], "PLAY ACTION STAND");
  category_->setCurrentIndex(18);  // a new category keeps the filter
  EXPECT_TRUE(texts(parts_, true).empty());
  category_->setCurrentIndex(0);
  filter_->clear();
  EXPECT_EQ(texts(parts_, true), texts(parts_));
  // A part hidden by the filter is not added.
  filter_->setText("zzz");
  parts_->setCurrentRow(0);
  key(parts_, Qt::Key_Insert);
  EXPECT_EQ(lines(0).size(), 5u);
}

}  // namespace
}  // namespace velk7
