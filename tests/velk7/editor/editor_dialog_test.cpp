// The editor dialog opened on a small stick, its controls found by their ids and driven by
// the real mouse and keyboard.
#include <QAccessible>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <memory>
#include <tuple>

#include "editor_stick.h"
#include "platform/qt/control_table.h"
#include "platform/qt/dialog_units.h"
#include "platform/qt/message_box_messenger.h"
#include "tests/support/file_faults.h"
#include "tests/support/recording_messenger.h"
#include "velk7/editor/src/drag_image_window.h"
#include "velk7/editor/src/editor_dialog.h"
#include "velk7/editor/src/editor_template.h"
#include "velk7/editor/src/program_chooser.h"
#include "velk7/editor/src/save_program.h"

namespace velk7 {
namespace {

using namespace editor_testing;
namespace ids = control_id;
using Texts = std::vector<std::string>;

constexpr auto text = [](const QString& value) { return value.toStdString(); };

const std::vector<RecordText> kDanceRecords = {
    {"Dances/Salsa", {"PLAY ACTION SIT", "WAIT", "WAIT 250"}},
    {"Tricks", {"A", "B", "C", "D"}},
    {"Dances/Tango", {}},
};
const std::string kNoEvent = "select AIBO event  (cannot drag parts here)";
const std::string kEmptyEvent = "empty   (drag parts from below to here)";

// Drop points besides a code row.
constexpr int kBelowLast = -1;
constexpr int kTree = -2;
constexpr int kParts = -3;

// One keyboard step: a key in the code list (Delete, Ctrl+Up, Ctrl+Down), the parts list
// (Insert, Enter) or the event tree (Ctrl+Z, Ctrl+Y), after choosing a code line (in the tree:
// the event of the first group) or a part (-1 / "" to keep the choice).
struct Step {
  Qt::Key key;
  int line = -1;
  std::string part = {};
  bool shift = false;
};

class EditorTest : public ::testing::Test {
 protected:
  void open(const std::vector<RecordText>& records = kDanceRecords,
            std::string_view userActions = {}) {
    dialog_.reset();  // a test may open several dialogs in turn
    path_ = writeStick(root_.path(), records, userActions);
    program_ = loadParsed(path_);
    dialog_ = std::make_unique<EditorDialog>(program_, path_, messenger_);
    tree_ = platform::control<QTreeWidget>(*dialog_, ids::kEventTree);
    code_ = platform::control<QListWidget>(*dialog_, ids::kCodeList);
    parts_ = platform::control<QListWidget>(*dialog_, ids::kPartsList);
    category_ = platform::control<QComboBox>(*dialog_, ids::kCategoryBox);
    save_ = platform::control<QPushButton>(*dialog_, ids::kSave);
    ASSERT_TRUE(tree_ && code_ && parts_ && category_ && save_);
    dialog_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog_.get()));
  }

  static Texts texts(const QListWidget* list, bool shownOnly = false) {
    Texts result;
    for (int row = 0; row < list->count(); ++row) {
      if (!shownOnly || !list->item(row)->isHidden())
        result.push_back(text(list->item(row)->text()));
    }
    return result;
  }
  Texts codeTexts() const { return texts(code_); }
  std::string description() const {
    return text(platform::control<QLabel>(*dialog_, ids::kDescription)->text());
  }
  const Texts& lines(std::size_t record) const { return program_.records[record].lines; }
  void select(int top, int child = -1) {
    QTreeWidgetItem* item = tree_->topLevelItem(top);
    tree_->setCurrentItem(child < 0 ? item : item->child(child));
  }
  int partRow(const std::string& label) const {
    return parts_->row(parts_->findItems(QString::fromStdString(label), Qt::MatchExactly).value(0));
  }
  static QPoint itemPoint(const QListWidget* list, int row) {
    return list->viewport()->mapToGlobal(list->visualItemRect(list->item(row)).center());
  }
  // A code row, or kBelowLast, kTree or kParts (the part "Stand Up").
  QPoint point(int onto) const {
    if (onto == kTree) return tree_->mapToGlobal(tree_->rect().center());
    if (onto == kParts) return itemPoint(parts_, partRow("Stand Up"));
    if (onto >= 0) return itemPoint(code_, onto);
    const QRect last = code_->visualItemRect(code_->item(code_->count() - 1));
    return code_->viewport()->mapToGlobal(last.bottomLeft() + QPoint(2, 20));
  }

  void mouse(QTest::MouseAction action, QPoint global) {
    const QPoint at = dialog_->mapFromGlobal(global);
    if (action == QTest::MouseMove) return QTest::mouseMove(dialog_->windowHandle(), at);
    QTest::mouseEvent(action, dialog_->windowHandle(), Qt::LeftButton, {}, at);
  }
  // Presses at `from`, moves past the drag distance, then to `to`, where `over` sees the
  // drag before the button is released there.
  void drag(QPoint from, QPoint to, const std::function<void()>& over = {}) {
    mouse(QTest::MousePress, from);
    mouse(QTest::MouseMove, from + QPoint(QApplication::startDragDistance() + 2, 0));
    mouse(QTest::MouseMove, to);
    if (over) over();
    mouse(QTest::MouseRelease, to);
  }
  void key(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    widget->setFocus();
    QTest::keyClick(widget, key, modifiers);
  }
  void run(const Step& step) {
    const bool inTree = step.key == Qt::Key_Z || step.key == Qt::Key_Y;
    const bool inParts = step.key == Qt::Key_Insert || step.key == Qt::Key_Return;
    if (step.line >= 0) inTree ? select(0, step.line) : code_->setCurrentRow(step.line);
    if (!step.part.empty()) parts_->setCurrentRow(partRow(step.part));
    const Qt::KeyboardModifiers shift = step.shift ? Qt::ShiftModifier : Qt::NoModifier;
    key(inTree    ? static_cast<QWidget*>(tree_)
        : inParts ? parts_
                  : code_,
        step.key, inParts || step.key == Qt::Key_Delete ? shift : shift | Qt::ControlModifier);
  }

  testing_support::TempDir root_;
  std::filesystem::path path_;
  RcodeProgram program_;
  platform::RecordingMessenger messenger_;
  std::unique_ptr<EditorDialog> dialog_;
  QTreeWidget* tree_ = nullptr;
  QListWidget* code_ = nullptr;
  QListWidget* parts_ = nullptr;
  QComboBox* category_ = nullptr;
  QPushButton* save_ = nullptr;
};

// Tab order, with the name assistive technology reads for each control (a drop-down box reads
// its choice); the place each control takes; and the least size.
TEST_F(EditorTest, ControlsFollowTheTemplateInPlaceTabOrderAndNamesAndFitTheLeastSize) {
  open();
  EXPECT_EQ(QApplication::focusWidget(), tree_);
  for (const auto& [id, name] :
       {std::pair<std::string_view, const char*>{ids::kCodeList, "AIBO does this"},
        {ids::kPartsList, "Parts"},
        {ids::kCheck, "Check"},
        {ids::kTryIt, "Try it..."},
        {ids::kSave, "Save RCODE program to memory stick"},
        {ids::kCategoryBox, nullptr},
        {ids::kFilter, "Filter"},
        {ids::kEventTree, "When this happens"}}) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QWidget* focus = QApplication::focusWidget();
    EXPECT_EQ(text(focus->objectName()), id);
    const QString read = QAccessible::queryAccessibleInterface(focus)->text(QAccessible::Name);
    EXPECT_TRUE(name == nullptr || text(read) == name) << id << ": " << text(read);
  }
  EXPECT_EQ(text(dialog_->windowTitle()), "VELK7 - Simple RCODE Customization");
  const platform::DialogBaseUnits base = platform::baseUnitsOf(dialog_->font());
  EXPECT_EQ(dialog_->size(), platform::cornerPixels({0, 0, 392, 355}, base).size());
  for (const platform::ControlRow& row : kEditorControls) {
    const QWidget* widget = platform::control(*dialog_, row.id);
    ASSERT_NE(widget, nullptr) << row.id;
    QRect expected = platform::cornerPixels(row.rect, base);
    if (widget == category_) expected.setHeight(widget->sizeHint().height());
    EXPECT_EQ(widget->geometry(), expected) << row.id;
  }
  EXPECT_FALSE(save_->toolTip().isEmpty());
  EXPECT_FALSE(save_->isDefault() || save_->autoDefault());
  // At its least size every control is inside the window, and at a scale of 1.5 the window
  // with a frame fits a 1366 x 768 screen.
  dialog_->resize(dialog_->minimumSize());
  for (const QWidget* control : dialog_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (control->isWindow()) continue;
    EXPECT_TRUE(dialog_->rect().contains(control->geometry())) << text(control->objectName());
    EXPECT_GT(control->height(), 0) << text(control->objectName());
  }
  EXPECT_LE(dialog_->minimumHeight() * 3 / 2 + 60, 768);
}

// The description line reads as the text it shows, its caption tied to it as label and
// description.
TEST_F(EditorTest, DescriptionLineReadsItsOwnTextAndIsLabelledByItsCaption) {
  open();
  QAccessibleInterface* line =
      QAccessible::queryAccessibleInterface(platform::control(*dialog_, ids::kDescription));
  EXPECT_EQ(text(line->text(QAccessible::Name)), "(please select an action)");
  parts_->setCurrentRow(partRow("Turn Left"));
  EXPECT_EQ(text(line->text(QAccessible::Name)), " Turn Left");
  EXPECT_EQ(text(line->text(QAccessible::Description)), "Description/Posture");
  const auto labels = line->relations(QAccessible::Label);
  ASSERT_EQ(labels.size(), 1);
  EXPECT_EQ(labels.front().first->object(), platform::control(*dialog_, ids::kDescriptionCaption));
}

// The children of `item` as "name:record", their own children in brackets.
std::string outline(const QTreeWidgetItem* item) {
  std::string result;
  for (int i = 0; i < item->childCount(); ++i) {
    const QTreeWidgetItem* child = item->child(i);
    result += (i ? " " : "") + text(child->text(0)) + ":" +
              std::to_string(child->data(0, kItemDataRole).toInt());
    if (child->childCount() > 0) result += "[" + outline(child) + "]";
  }
  return result;
}

TEST_F(EditorTest, GroupsFormAtTheFirstSlashInFileOrderAndTheFirstEventIsShown) {
  // The records, the tree they give, the event selected first and the code list shown.
  using Case = std::tuple<std::vector<RecordText>, std::string, int, Texts>;
  const std::vector<Case> cases = {
      {kDanceRecords, "Dances:-1[Salsa:0 Tango:2] Tricks:1", 0, kDanceRecords[0].lines},
      {{{"A/B/C", {}}}, "A:-1[B/C:0]", 0, {kEmptyEvent}},
      {{{"T", {"WAIT"}}, {"T/R", {"SET x 1"}}}, "T:0[R:1]", 1, {"SET x 1"}},
      {{{"d/x", {}}, {"D/y", {}}}, "d:-1[x:0] D:-1[y:1]", 0, {kEmptyEvent}},
      // Two names that are not UTF-8 and look alike on the screen stay apart.
      {{{"\xE9/x", {}}, {"\xE8/y", {}}}, "\uFFFD:-1[x:0] \uFFFD:-1[y:1]", 0, {kEmptyEvent}},
      // An ungrouped first event starts unselected.
      {{{"", {"WAIT"}}, {"Tricks", {}}}, ":0 Tricks:1", -1, {kNoEvent}}};
  for (const auto& [records, shape, selected, code] : cases) {
    SCOPED_TRACE(shape);
    open(records);
    EXPECT_EQ(outline(tree_->invisibleRootItem()), shape);
    EXPECT_EQ(dialog_->selectedEvent(), selected);
    EXPECT_EQ(codeTexts(), code);
  }
}

TEST_F(EditorTest, PlaceholdersCarryNoImageAndAGroupKeepsTheDescription) {
  open({{"Tricks", {"WAIT", "SET x 1"}}, {"Dances/Tango", {}}});
  parts_->setCurrentRow(partRow("Turn Left"));
  for (const auto& [child, placeholder] : {std::pair{-1, kNoEvent}, {0, kEmptyEvent}}) {
    select(1, child);  // the group, then its empty event
    EXPECT_EQ(codeTexts(), Texts{placeholder});
    EXPECT_TRUE(code_->item(0)->icon().isNull());
    EXPECT_EQ(description(), child < 0 ? " Turn Left" : "(please select an action)");
    // A placeholder dragged away changes nothing; the empty event's cannot be dragged at all.
    drag(point(0), point(kTree),
         [&] { EXPECT_TRUE(child < 0 || !dialog_->dragController().dragging()); });
    EXPECT_FALSE(dialog_->changed());
  }
  select(0);
  EXPECT_FALSE(code_->item(1)->icon().isNull());
}

TEST_F(EditorTest, EachCategoryListsItsActions) {
  open(kDanceRecords, "HELLO 24001 0 ; hello.WAV + motion + leds\r\n");
  const std::vector<std::tuple<int, std::string, std::string>> cases = {
      {1, "HELLO", "PLAY ACTION+ HELLO // hello.WAV + motion + leds\377WAIT"},
      {4, "DANCE1", "PLAY ACTION L_PALONE.DANCE1 // dance one\377WAIT"},
      {18, "Wag the tail", "CALL Wag // Wag the tail"}};
  for (const auto& [index, label, part] : cases) {
    category_->setCurrentIndex(index);
    EXPECT_EQ(texts(parts_), Texts{label});
    EXPECT_EQ(parts_->item(0)->data(kItemDataRole).toByteArray().toStdString(), part);
  }
  EXPECT_TRUE(messenger_.entries().empty());
}

TEST_F(EditorTest, DragsAddAPartOnlyToAnEventAndMoveALineBeforeTheItemUnderThePointer) {
  using enum DragPicture;
  const Texts abcd = {"A", "B", "C", "D"};
  // From a code line or kParts (the part "Stand Up") onto a code row, kBelowLast, kTree or
  // kParts, with the tree item `top` selected (1: "Tricks", 0: the group "Dances"): the picture
  // shown over the drop point, and the lines of "Tricks" after the drop.
  const std::vector<std::tuple<int, int, int, DragPicture, Texts>> cases = {
      {kParts, 0, 1, ItemImage, {"A", "B", "C", "D", "PLAY ACTION STAND", "WAIT"}},
      {kParts, kTree, 1, NoDropMark, abcd},
      {kParts, kParts, 1, ItemImage, abcd},
      {kParts, 0, 0, NoDropMark, abcd},
      {0, 2, 1, ItemImage, {"B", "A", "C", "D"}},
      {3, 0, 1, ItemImage, {"D", "A", "B", "C"}},
      {1, kBelowLast, 1, ItemImage, {"A", "C", "D", "B"}},
      {1, 1, 1, ItemImage, abcd},
      {1, 2, 1, ItemImage, abcd},
      {1, kTree, 1, DeleteMark, {"A", "C", "D"}},
      {2, kParts, 1, DeleteMark, {"A", "B", "D"}}};
  for (const auto& [from, onto, top, shown, after] : cases) {
    SCOPED_TRACE(::testing::Message() << from << " onto " << onto << " with " << top);
    open();
    select(top);
    drag(point(from), point(onto), [&] {
      EXPECT_EQ(dialog_->dragController().shownPicture(), shown);
      EXPECT_EQ(description(), from >= 0 ? "(move line, or drag outside window to delete)"
                                         : "(drag into code window above to add)");
    });
    EXPECT_EQ(lines(1), after);
    EXPECT_EQ(lines(0), kDanceRecords[0].lines);
    EXPECT_EQ(codeTexts(), top == 1 ? after : Texts{kNoEvent});
    EXPECT_EQ(dialog_->changed(), from >= 0 || after != abcd);
    EXPECT_EQ(description(), "(please select an action)");
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
  }
}

TEST_F(EditorTest, LostMouseCaptureEndsTheDragWithoutEdit) {
  open();
  QApplication::setActiveWindow(dialog_.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
  drag(point(kParts), point(0), [&] {
    ASSERT_EQ(dialog_->dragController().mode(), DragMode::Part);
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog_->dragController().dragging(); }));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_FALSE(dialog_->findChild<DragImageWindow*>("dragImage")->isVisible());
  });
  EXPECT_EQ(lines(0), kDanceRecords[0].lines);  // nor does the release that follows add the part
  EXPECT_FALSE(dialog_->changed());
}

TEST_F(EditorTest, SaveAndCancelEndTheDialogOnlyWhenNothingIsLost) {
  // A failed save keeps the dialog open, and the next save writes and ends it. The events
  // hold only lines the robot runs, so saving asks nothing.
  open({kDanceRecords[0], kDanceRecords[2]});
  run({Qt::Key_Delete});  // nothing marked yet
  run({Qt::Key_Delete, 0});
  {
    platform::ScopedFault fault(1, {platform::FileOp::Create});
    QTest::mouseClick(save_, Qt::LeftButton);
  }
  EXPECT_TRUE(dialog_->isVisible());
  EXPECT_EQ(messenger_.texts(), Texts{"ERROR: Can't create new R-CODE.R file\n" +
                                      std::filesystem::path(path_).make_preferred().string()});
  messenger_.clear();
  key(save_, Qt::Key_Return);
  EXPECT_EQ(dialog_->result(), kSavedResult);
  EXPECT_EQ(messenger_.texts(), Texts{"Changes saved!"});
  EXPECT_EQ(loadParsed(path_).records[0].lines, (Texts{"WAIT", "WAIT 250"}));
  // Cancelling closes at once unless the program differs from the file; Enter on the real
  // question keeps the edits.
  messenger_.clear();
  for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
    open();
    QTest::keyClick(tree_, key);
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(dialog_->result(), kCancelledResult);
    EXPECT_TRUE(messenger_.entries().empty());
  }
  open();
  drag(point(0), point(kTree));
  messenger_.queueAnswer(false);
  EXPECT_FALSE(dialog_->close());
  EXPECT_EQ(lines(0).size(), 2u);
  messenger_.queueAnswer(true);
  EXPECT_TRUE(dialog_->close());
  EXPECT_EQ(dialog_->result(), kCancelledResult);
  EXPECT_TRUE(messenger_.entries().back().isQuestion);
  EXPECT_EQ(messenger_.texts().back(),
            "WARNING: you have made changes that will not be saved if you cancel\n"
            "Do you want to abandon changes (Yes to abandon, No to go back to editing)");
  const std::unique_ptr<platform::MessageBoxMessenger> boxes = makeEditorMessenger();
  QTimer::singleShot(0, [] {
    if (QWidget* box = QApplication::activeModalWidget()) QTest::keyClick(box, Qt::Key_Return);
  });
  EXPECT_FALSE(boxes->ask(kAbandonQuestion));
}

TEST_F(EditorTest, F1AndTheContextMenuOfferTheAboutBox) {
  open();
#ifdef Q_OS_WIN
  // On Windows the About box is in the window's system menu instead, which the offscreen
  // platform has not got.
  const QStringList expected{"&Undo", "&Redo", "", "Restore a &backup..."};
#else
  const QStringList expected{"&Undo", "&Redo", "", "Restore a &backup...", "", "&About VELK7..."};
  QString version;
  QTimer::singleShot(0, [&] {
    QWidget* box = QApplication::activeModalWidget();
    if (auto* label = box ? box->findChild<QLabel*>("version") : nullptr) version = label->text();
    if (auto* ok = box ? box->findChild<QPushButton*>("1") : nullptr) ok->click();
  });
  QTest::keyClick(dialog_.get(), Qt::Key_F1);
  EXPECT_EQ(text(version), "VELK Version 7.01");
#endif
  QStringList items;
  QTimer::singleShot(0, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr) return;
    for (const QAction* action : menu->actions()) items << action->text();
    menu->close();
  });
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2),
                          dialog_->mapToGlobal(QPoint(2, 2)));
  QApplication::sendEvent(dialog_.get(), &event);
  EXPECT_EQ(items, expected);
}

TEST_F(EditorTest, KeysAddMoveDeleteUndoAndRedoLines) {
  const Qt::Key ins = Qt::Key_Insert, del = Qt::Key_Delete, down = Qt::Key_Down, up = Qt::Key_Up,
                z = Qt::Key_Z, y = Qt::Key_Y;
  // The steps, the lines of "Tricks" after them, and whether the program then differs from the
  // file.
  const std::vector<std::tuple<std::vector<Step>, Texts, bool>> cases = {
      // Insert without a chosen line adds at the end.
      {{{ins, -1, "WAIT to finish"}}, {"A", "B", "C", "D", "WAIT"}, true},
      // Enter adds after the chosen line.
      {{{Qt::Key_Return, 1, "Sit Down"}}, {"A", "B", "PLAY ACTION SIT", "WAIT", "C", "D"}, true},
      // The next part follows the last added.
      {{{ins, 0, "WAIT to finish"}, {ins}, {ins, -1, "Sit Down"}},
       {"A", "WAIT", "WAIT", "PLAY ACTION SIT", "WAIT", "B", "C", "D"},
       true},
      // Moves down and up, and not past the ends.
      {{{down, 0}, {down}, {down}, {down}, {up, 0}, {up}}, {"B", "C", "D", "A"}, true},
      // Undo, in another record's view too, shows and puts back each edit.
      {{{del, 0}, {up, 2}, {z, 0}, {z}, {z}}, {"A", "B", "C", "D"}, false},
      // Both redo keys make them again.
      {{{del, 0}, {del, 0}, {z}, {z}, {y}, {z, -1, "", true}}, {"C", "D"}, true},
      // An edit after undo drops the redo.
      {{{del, 3}, {z}, {del, 0}, {y}}, {"B", "C", "D"}, true},
      // A line moved and moved back is as in the file.
      {{{down, 1}, {up}}, {"A", "B", "C", "D"}, false}};
  for (std::size_t row = 0; row < cases.size(); ++row) {
    SCOPED_TRACE(row);
    const auto& [steps, after, differs] = cases[row];
    open();
    select(1);
    for (const Step& step : steps) run(step);
    EXPECT_EQ(dialog_->selectedEvent(), 1);
    EXPECT_EQ(lines(1), after);
    EXPECT_EQ(codeTexts(), after);
    EXPECT_EQ(lines(0), kDanceRecords[0].lines);
    EXPECT_TRUE(dialog_->changed());
    EXPECT_EQ(dialog_->differsFromFile(), differs);
    if (!differs) {  // an undone program closes without asking
      EXPECT_TRUE(dialog_->close());
      EXPECT_TRUE(messenger_.entries().empty());
    }
  }
}

TEST_F(EditorTest, OpenDialogTakesTheStickFolderOrTheProgramFile) {
  open();
  for (const std::filesystem::path& typed : {root_.path(), path_}) {
    // The file dialog may run events before it is shown (under Wine it does): ask again until
    // it is there.
    std::function<void()> answer = [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return QTimer::singleShot(10, answer);
      dialog->selectFile(QString::fromStdString(typed.string()));
      QMetaObject::invokeMethod(dialog, "accept");
      // A dialog that went into the folder instead is still open: close it.
      QTimer::singleShot(0, dialog, &QDialog::reject);
    };
    QTimer::singleShot(0, answer);
    EXPECT_EQ(chooseProgramFile(), std::optional(programBelow(root_.path())));
  }
}

TEST_F(EditorTest, FilterNarrowsThePartsShownAsTheUserTypes) {
  open();
  auto* filter = platform::control<QLineEdit>(*dialog_, ids::kFilter);
  filter->setFocus();
  QTest::keyClicks(filter, "st");
  EXPECT_EQ(texts(parts_, true), (Texts{"Stand Up", "Stop playing"}));
  QTest::keyClicks(filter, "and u");
  EXPECT_EQ(texts(parts_, true), Texts{"Stand Up"});
  // Enter takes the keyboard to the part shown, and Enter again adds it.
  QTest::keyClick(filter, Qt::Key_Return);
  EXPECT_TRUE(dialog_->isVisible());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  const Texts added = {"PLAY ACTION SIT", "WAIT", "WAIT 250", "PLAY ACTION STAND", "WAIT"};
  EXPECT_EQ(lines(0), added);
  // A new category keeps the filter, and a part it hides is not added.
  category_->setCurrentIndex(18);
  EXPECT_TRUE(texts(parts_, true).empty());
  parts_->setCurrentRow(0);
  key(parts_, Qt::Key_Insert);
  EXPECT_EQ(lines(0), added);
  filter->clear();
  EXPECT_EQ(texts(parts_, true), Texts{"Wag the tail"});
}

}  // namespace
}  // namespace velk7
