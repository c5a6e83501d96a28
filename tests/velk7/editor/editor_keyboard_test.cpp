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

// One keyboard step: a key in the code list, the parts list or the event tree, after choosing
// a code line (in the tree: the event of the first group) or a part (-1 / "" to keep the choice).
struct Step {
  enum Where { Code, Parts, Tree } where;
  Qt::Key key;
  Qt::KeyboardModifiers modifiers = {};
  int line = -1;
  std::string part = {};
};
Step insert(std::string part = {}, int line = -1) {
  return {Step::Parts, Qt::Key_Insert, {}, line, std::move(part)};
}
Step del(int line) {
  return {Step::Code, Qt::Key_Delete, {}, line};
}
Step move(Qt::Key key, int line = -1) {
  return {Step::Code, key, Qt::ControlModifier, line};
}
Step ctrl(Qt::Key key, Qt::KeyboardModifiers more = {}, int event = -1) {
  return {Step::Tree, key, Qt::ControlModifier | more, event};
}

class EditorKeyboardTest : public EditorTest {
 protected:
  void run(const Step& step) {
    if (step.line >= 0 && step.where == Step::Tree) select(0, step.line);
    if (step.line >= 0 && step.where != Step::Tree) code_->setCurrentRow(step.line);
    if (!step.part.empty()) parts_->setCurrentRow(partRow(step.part));
    key(step.where == Step::Code    ? static_cast<QWidget*>(code_)
        : step.where == Step::Parts ? static_cast<QWidget*>(parts_)
                                    : static_cast<QWidget*>(tree_),
        step.key, step.modifiers);
  }
};

TEST_F(EditorKeyboardTest, KeysAddMoveDeleteUndoAndRedoLines) {
  const Qt::Key down = Qt::Key_Down, up = Qt::Key_Up, z = Qt::Key_Z, y = Qt::Key_Y;
  struct Case {
    std::vector<Step> steps;
    Texts after;   // of the record "Tricks": A, B, C, D at first
    bool differs;  // from the file
  };
  const std::vector<Case> cases = {
      // Insert without a chosen line adds at the end.
      {{insert("WAIT to finish")}, {"A", "B", "C", "D", "WAIT"}, true},
      // Enter adds after the chosen line.
      {{{Step::Parts, Qt::Key_Return, {}, 1, "Sit Down"}},
       {"A", "B", "PLAY ACTION SIT", "WAIT", "C", "D"},
       true},
      // The next part follows the last added.
      {{insert("WAIT to finish", 0), insert(), insert("Sit Down")},
       {"A", "WAIT", "WAIT", "PLAY ACTION SIT", "WAIT", "B", "C", "D"},
       true},
      // Moves down and up, and not past the ends.
      {{move(down, 0), move(down), move(down), move(down), move(up, 0), move(up)},
       {"B", "C", "D", "A"},
       true},
      // Undo, in another record's view too, shows and puts back each edit.
      {{del(0), move(up, 2), ctrl(z, {}, 0), ctrl(z), ctrl(z)}, {"A", "B", "C", "D"}, false},
      // Both redo keys make them again.
      {{del(0), del(0), ctrl(z), ctrl(z), ctrl(y), ctrl(z, Qt::ShiftModifier)}, {"C", "D"}, true},
      // An edit after undo drops the redo.
      {{del(3), ctrl(z), del(0), ctrl(y)}, {"B", "C", "D"}, true},
      // A line moved and moved back is as in the file.
      {{move(down, 1), move(up)}, {"A", "B", "C", "D"}, false}};
  for (std::size_t row = 0; row < cases.size(); ++row) {
    SCOPED_TRACE(row);
    const Case& c = cases[row];
    open({{"Dances/Salsa", {"WAIT"}}, {"Tricks", {"A", "B", "C", "D"}}});
    select(1);
    for (const Step& step : c.steps) run(step);
    EXPECT_EQ(dialog_->selectedEvent(), 1);
    EXPECT_EQ(lines(1), c.after);
    EXPECT_EQ(codeTexts(), c.after);
    EXPECT_EQ(lines(0), Texts{"WAIT"});
    EXPECT_TRUE(dialog_->changed());
    EXPECT_EQ(dialog_->differsFromFile(), c.differs);
    if (!c.differs) {  // an undone program closes without asking
      EXPECT_TRUE(dialog_->close());
      EXPECT_TRUE(messenger_.entries().empty());
    }
  }
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
  const Texts added = {"PLAY ACTION SIT", "WAIT", "WAIT 250", "PLAY ACTION STAND", "WAIT"};
  EXPECT_EQ(lines(0), added);
  category_->setCurrentIndex(18);  // a new category keeps the filter
  EXPECT_TRUE(texts(parts_, true).empty());
  category_->setCurrentIndex(0);
  filter_->clear();
  EXPECT_EQ(texts(parts_, true), texts(parts_));
  // A part hidden by the filter is not added.
  filter_->setText("zzz");
  parts_->setCurrentRow(0);
  key(parts_, Qt::Key_Insert);
  EXPECT_EQ(lines(0), added);
}

}  // namespace
}  // namespace velk7
