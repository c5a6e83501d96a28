#include "velk7/editor/editor_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor_stick.h"
#include "platform/file_faults.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/temp_tree.h"
#include "velk7/editor/dialog_font.h"
#include "velk7/editor/drag_image_window.h"
#include "velk7/editor/editor_images.h"
#include "velk7/editor/save_program.h"
#include "velk7/rcode/palette.h"

namespace velk7 {
namespace {

namespace fs = std::filesystem;
using editor_testing::RecordText;
using testing_support::readTextFile;
using testing_support::snapshotTree;
using Texts = std::vector<std::string>;

std::string text(const QString& value) {
  return value.toLatin1().toStdString();
}

const std::vector<RecordText> kDanceRecords = {
    {"Dances/Salsa", {"PLAY ACTION SIT", "WAIT", "WAIT 250"}},
    {"Tricks", {"A", "B", "C", "D"}},
    {"Dances/Tango", {}},
};
const std::string kNoEvent = "select AIBO event  (cannot drag parts here)";
const std::string kEmptyEvent = "empty   (drag parts from below to here)";
const std::string kSelectAction = "(please select an action)";

class EditorDialogTest : public ::testing::Test {
 protected:
  void open(const std::vector<RecordText>& records = kDanceRecords,
            std::string_view userActions = {}) {
    ASSERT_NE(QApplication::instance(), nullptr);
    dialog_.reset();  // a test may open several dialogs in turn
    path_ = editor_testing::writeStick(root_.path(), records, userActions);
    program_ = editor_testing::loadParsed(path_);
    dialog_ = std::make_unique<EditorDialog>(program_, path_, messenger_);
    tree_ = dialog_->findChild<QTreeWidget*>("1000");
    code_ = dialog_->findChild<QListWidget*>("1001");
    parts_ = dialog_->findChild<QListWidget*>("1003");
    category_ = dialog_->findChild<QComboBox*>("1006");
    description_ = dialog_->findChild<QLabel*>("1007");
    save_ = dialog_->findChild<QPushButton*>("1004");
    ASSERT_TRUE(tree_ && code_ && parts_ && category_ && description_ && save_);
    dialog_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog_.get()));
  }

  static Texts texts(const QListWidget* list) {
    Texts result;
    for (int row = 0; row < list->count(); ++row) result.push_back(text(list->item(row)->text()));
    return result;
  }
  Texts codeTexts() const { return texts(code_); }
  std::string description() const { return text(description_->text()); }
  const Texts& lines(int record) const {
    return program_.records[static_cast<std::size_t>(record)].lines;
  }
  DragPicture picture() const { return dialog_->dragController().shownPicture(); }
  QTreeWidgetItem* treeItem(int top, int child = -1) const {
    QTreeWidgetItem* item = tree_->topLevelItem(top);
    return child < 0 ? item : item->child(child);
  }
  void select(int top, int child = -1) { tree_->setCurrentItem(treeItem(top, child)); }

  static QPoint itemPoint(const QListWidget* list, int row) {
    return list->viewport()->mapToGlobal(list->visualItemRect(list->item(row)).center());
  }
  QPoint codeItemPoint(int row) const { return itemPoint(code_, row); }
  QPoint partItemPoint(int row) const { return itemPoint(parts_, row); }
  QPoint belowLastCodeItem() const {
    const QRect last = code_->visualItemRect(code_->item(code_->count() - 1));
    return code_->viewport()->mapToGlobal(last.bottomLeft() + QPoint(2, 20));
  }
  QPoint treePoint() const { return tree_->mapToGlobal(tree_->rect().center()); }
  int partRow(const std::string& label) const {
    const Texts labels = texts(parts_);
    return static_cast<int>(std::find(labels.begin(), labels.end(), label) - labels.begin());
  }
  // Drags code line `row` or the part `label` to `target` through the pointer entry points.
  void dragLine(int row, QPoint target) {
    ASSERT_TRUE(dialog_->beginCodeDrag(row, codeItemPoint(row)));
    dialog_->dragPointerMoved(target);
    dialog_->leftButtonReleased(target);
  }
  void dragPart(const std::string& label, QPoint target) {
    ASSERT_TRUE(dialog_->beginPartsDrag(partRow(label), partItemPoint(partRow(label))));
    dialog_->dragPointerMoved(target);
    dialog_->leftButtonReleased(target);
  }

  testing_support::TempDir root_;
  fs::path path_;
  RcodeProgram program_;
  platform::RecordingMessenger messenger_;
  std::unique_ptr<EditorDialog> dialog_;
  QTreeWidget* tree_ = nullptr;
  QListWidget* code_ = nullptr;
  QListWidget* parts_ = nullptr;
  QComboBox* category_ = nullptr;
  QLabel* description_ = nullptr;
  QPushButton* save_ = nullptr;
};

TEST_F(EditorDialogTest, ControlsSitWhereTheTemplatePutsThemWithTheirTexts) {
  open();
  EXPECT_EQ(text(dialog_->windowTitle()), "VELK7 - Simple RCODE Customization");
  EXPECT_FALSE(dialog_->windowIcon().isNull());
  const DialogBaseUnits base = baseUnitsOf(dialog_->font());
  EXPECT_EQ(base.charHeight, QFontMetrics(dialog_->font()).height());
  EXPECT_EQ(dialog_->size(), pixelRect(UnitRect{0, 0, 392, 355}, base).size());
  struct Place {
    const char* name;
    UnitRect units;
    const char* caption;  // of a label or button
  };
  for (const Place& place :
       {Place{"1000", {7, 18, 107, 172}, nullptr}, Place{"1001", {119, 18, 262, 172}, nullptr},
        Place{"1003", {4, 212, 377, 101}, nullptr}, Place{"1007", {83, 321, 300, 8}, nullptr},
        Place{"1004", {127, 339, 137, 13}, "Save RCODE program to memory stick"},
        Place{"eventsCaption", {7, 6, 64, 8}, "When this happens:"},
        Place{"codeCaption", {126, 6, 48, 8}, "AIBO does this"},
        Place{"categoryCaption", {7, 198, 57, 8}, "Available Actions:"},
        Place{"rule", {232, 200, 143, 2}, nullptr},
        Place{"descriptionCaption", {9, 321, 66, 8}, "Description/Posture:"}}) {
    const QWidget* widget = dialog_->findChild<QWidget*>(place.name);
    ASSERT_NE(widget, nullptr) << place.name;
    EXPECT_EQ(widget->geometry(), pixelRect(place.units, base)) << place.name;
    if (place.caption == nullptr) continue;
    const auto* label = qobject_cast<const QLabel*>(widget);
    EXPECT_EQ(text(label ? label->text() : save_->text()), place.caption);
  }
  const QRect box = pixelRect(UnitRect{67, 195, 136, 143}, base);
  EXPECT_EQ(category_->geometry().topLeft(), box.topLeft());
  EXPECT_EQ(category_->width(), box.width());
  EXPECT_FALSE(save_->isDefault());
  EXPECT_FALSE(save_->autoDefault());
  for (QListWidget* list : {code_, parts_}) {
    EXPECT_EQ(list->viewMode(), QListView::ListMode);
    EXPECT_EQ(list->iconSize(), QSize(25, 15));
    EXPECT_FALSE(list->isSortingEnabled());
  }
  EXPECT_EQ(code_->selectionMode(), QAbstractItemView::SingleSelection);
  EXPECT_EQ(parts_->selectionMode(), QAbstractItemView::ExtendedSelection);
}

TEST_F(EditorDialogTest, TabOrderFollowsTheTemplate) {
  open();
  EXPECT_EQ(QApplication::focusWidget(), tree_);
  for (QWidget* expected : std::vector<QWidget*>{code_, parts_, save_, category_, tree_}) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), expected) << text(expected->objectName());
  }
}

// The tree as "name:record" items, children in brackets.
std::string outline(const QTreeWidgetItem* item) {
  std::string result =
      text(item->text(0)) + ":" + std::to_string(item->data(0, kItemDataRole).toInt());
  if (item->childCount() == 0) return result;
  result += "[";
  for (int i = 0; i < item->childCount(); ++i) result += (i ? " " : "") + outline(item->child(i));
  return result + "]";
}

TEST_F(EditorDialogTest, GroupsFormAtTheFirstSlashInFileOrderAndTheFirstEventIsShown) {
  struct Case {
    std::vector<RecordText> records;
    std::string outline;
    int selected;
    Texts code;
  };
  const std::vector<Case> cases = {
      {kDanceRecords,
       "Dances:-1[Salsa:0 Tango:2] Tricks:1",
       0,
       {"PLAY ACTION SIT", "WAIT", "WAIT 250"}},
      {{{"A/B/C", {}}}, "A:-1[B/C:0]", 0, {kEmptyEvent}},
      {{{"Tricks", {"WAIT"}}, {"Tricks/Roll", {"PLAY ACTION SIT"}}},
       "Tricks:0[Roll:1]",
       1,
       {"PLAY ACTION SIT"}},
      {{{"dances/x", {}}, {"Dances/y", {}}}, "dances:-1[x:0] Dances:-1[y:1]", 0, {kEmptyEvent}},
      // An ungrouped first event starts unselected.
      {{{"", {"WAIT"}}, {"Tricks", {}}}, ":0 Tricks:1", -1, {kNoEvent}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.outline);
    open(c.records);
    std::string shown;
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
      shown += (i ? " " : "") + outline(tree_->topLevelItem(i));
    }
    EXPECT_EQ(shown, c.outline);
    EXPECT_TRUE(treeItem(0)->isExpanded() || treeItem(0)->childCount() == 0);
    EXPECT_EQ(dialog_->selectedEvent(), c.selected);
    EXPECT_EQ(codeTexts(), c.code);
    select(0);
    EXPECT_EQ(codeTexts(), treeItem(0)->data(0, kItemDataRole).toInt() < 0 ? Texts{kNoEvent}
                                                                           : c.records[0].lines);
  }
}

TEST_F(EditorDialogTest, PlaceholdersAndCodeLinesCarryTheirImagesAndItemData) {
  open({{"Tricks", {"WAIT", "SET x 1"}}, {"Dances/Tango", {}}});
  parts_->setCurrentRow(partRow("Turn Left"));
  EXPECT_EQ(description(), " Turn Left");
  select(1);  // a group keeps the description
  EXPECT_EQ(description(), " Turn Left");
  for (const auto& [child, placeholder, data] :
       std::vector<std::tuple<int, std::string, int>>{{-1, kNoEvent, 0}, {0, kEmptyEvent, -1}}) {
    select(1, child);
    EXPECT_EQ(codeTexts(), Texts{placeholder});
    EXPECT_EQ(code_->item(0)->data(kItemDataRole).toInt(), data);
    EXPECT_TRUE(code_->item(0)->icon().isNull());
  }
  select(0);
  ASSERT_EQ(code_->count(), 2);
  for (int row = 0; row < 2; ++row) {
    EXPECT_FALSE(code_->item(row)->icon().isNull());
    EXPECT_EQ(code_->item(row)->data(kItemDataRole).toInt(), 0);
  }
}

TEST_F(EditorDialogTest, CategoryBoxOffersThePaletteCategoriesStartingWithStandardParts) {
  open();
  Texts categories;
  for (int index = 0; index < category_->count(); ++index) {
    categories.push_back(text(category_->itemText(index)));
  }
  EXPECT_EQ(categories, categoryNames());
  EXPECT_EQ(category_->count(), 19);
  EXPECT_FALSE(category_->isEditable());
  EXPECT_EQ(category_->currentIndex(), 0);
  EXPECT_EQ(description(), kSelectAction);
  Texts standard;
  for (const StandardPart& part : standardParts) standard.emplace_back(part.label);
  EXPECT_EQ(texts(parts_), standard);
  EXPECT_EQ(parts_->item(0)->data(kItemDataRole).toByteArray(),
            QByteArray("PLAY ACTION SIT\377WAIT"));
  for (int row = 0; row < parts_->count(); ++row) EXPECT_FALSE(parts_->item(row)->icon().isNull());
  parts_->setCurrentRow(partRow("Sit Down"));
  EXPECT_EQ(description(), "PLAY ACTION SIT");
  parts_->clearSelection();
  EXPECT_EQ(description(), "PLAY ACTION SIT");
}

TEST_F(EditorDialogTest, EachCategoryListsItsActions) {
  open(kDanceRecords, "HELLO 24001 0 ; hello.WAV + motion + leds\r\n");
  const std::vector<std::tuple<int, std::string, std::string>> cases = {
      {1, "HELLO", "PLAY ACTION+ HELLO // hello.WAV + motion + leds\377WAIT"},
      {4, "DANCE1", "PLAY ACTION L_PALONE.DANCE1 // dance one\377WAIT"},  // Dances etc
      {9, "KICK", "PLAY ACTION L_POBJ.KICK\377WAIT"},                     // Bone
      {17, "MY_ACT", "PLAY ACTION MY_ACT\377WAIT"},
      {18, "Wag the tail", "CALL Wag // Wag the tail"}};
  for (const auto& [index, label, part] : cases) {
    category_->setCurrentIndex(index);
    EXPECT_EQ(texts(parts_), Texts{label});
    EXPECT_EQ(parts_->item(0)->data(kItemDataRole).toByteArray().toStdString(), part);
    EXPECT_EQ(description(), kSelectAction);
  }
  EXPECT_TRUE(messenger_.entries().empty());
}

TEST_F(EditorDialogTest, MissingUserActionsAreReportedAtEachChoice) {
  open();
  category_->setCurrentIndex(1);
  EXPECT_TRUE(texts(parts_).empty());
  category_->setCurrentIndex(0);
  category_->setCurrentIndex(1);
  const std::string message = "This RCODE stick does not contain any USER actions";
  EXPECT_EQ(messenger_.texts(), (Texts{message, message}));
}

TEST_F(EditorDialogTest, PartDroppedOnTheCodeListIsAppended) {
  for (const bool emptyEvent : {false, true}) {
    open();
    if (emptyEvent) select(0, 1);
    const int record = emptyEvent ? 2 : 0;
    Texts expected = lines(record);
    expected.insert(expected.end(), {"PLAY ACTION SIT", "WAIT"});
    EXPECT_FALSE(dialog_->changed());
    ASSERT_TRUE(dialog_->beginPartsDrag(partRow("Sit Down"), partItemPoint(partRow("Sit Down"))));
    EXPECT_EQ(description(), "(drag into code window above to add)");
    EXPECT_EQ(dialog_->dragController().mode(), DragMode::Part);
    EXPECT_EQ(QWidget::mouseGrabber(), dialog_.get());
    dialog_->dragPointerMoved(codeItemPoint(0));
    EXPECT_EQ(picture(), DragPicture::ItemImage);
    dialog_->leftButtonReleased(codeItemPoint(0));
    EXPECT_EQ(lines(record), expected);
    EXPECT_EQ(codeTexts(), lines(record));
    EXPECT_TRUE(dialog_->changed());
    EXPECT_EQ(description(), kSelectAction);
    EXPECT_EQ(dialog_->dragController().mode(), DragMode::None);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
  }
}

TEST_F(EditorDialogTest, PartDroppedOffTheCodeListOrWithAGroupSelectedChangesNothing) {
  enum class Where { Tree, PartsList, CodeListOfGroup };
  for (const auto& [where, shown] : std::vector<std::pair<Where, DragPicture>>{
           {Where::Tree, DragPicture::NoDropMark},
           {Where::PartsList, DragPicture::ItemImage},
           {Where::CodeListOfGroup, DragPicture::NoDropMark}}) {
    open();
    if (where == Where::CodeListOfGroup) select(0);
    const QPoint target = where == Where::Tree        ? treePoint()
                          : where == Where::PartsList ? partItemPoint(3)
                                                      : codeItemPoint(0);
    ASSERT_TRUE(dialog_->beginPartsDrag(0, partItemPoint(0)));
    dialog_->dragPointerMoved(target);
    EXPECT_EQ(picture(), shown);
    dialog_->leftButtonReleased(target);
    EXPECT_EQ(lines(0), kDanceRecords[0].lines);
    EXPECT_FALSE(dialog_->changed());
  }
}

TEST_F(EditorDialogTest, DragPictureFollowsThePointerAtItsHotSpot) {
  open();
  const auto* image = dialog_->findChild<DragImageWindow*>("dragImage");
  ASSERT_NE(image, nullptr);
  EXPECT_FALSE(image->isVisible());
  ASSERT_TRUE(dialog_->beginPartsDrag(0, partItemPoint(0)));
  EXPECT_TRUE(image->isVisible());
  EXPECT_EQ(image->pos(), partItemPoint(0) - QPoint(8, 8));
  dialog_->dragPointerMoved(treePoint());
  EXPECT_EQ(image->pos(), treePoint() - QPoint(8, 8));
  EXPECT_EQ(image->picture().deviceIndependentSize(), QSizeF(25, 15));
  EXPECT_EQ(image->picture().toImage().pixelColor(2, 2).rgb(), QColor(255, 255, 0).rgb());
  dialog_->dragPointerMoved(partItemPoint(1));
  EXPECT_GT(image->picture().deviceIndependentSize().width(), 25);
  dialog_->leftButtonReleased(treePoint());
  EXPECT_FALSE(image->isVisible());
}

TEST_F(EditorDialogTest, LineMovesBeforeTheItemItIsDroppedOn) {
  // The line dragged, the row it is dropped on (-1: below the last item), the new order.
  const std::vector<std::tuple<int, int, Texts>> cases = {{0, 2, {"B", "A", "C", "D"}},
                                                          {3, 0, {"D", "A", "B", "C"}},
                                                          {1, -1, {"A", "C", "D", "B"}},
                                                          {1, 1, {"A", "B", "C", "D"}},
                                                          {1, 2, {"A", "B", "C", "D"}}};
  for (const auto& [from, onto, expected] : cases) {
    SCOPED_TRACE(::testing::Message() << from << " onto " << onto);
    open();
    select(1);
    const QPoint target = onto < 0 ? belowLastCodeItem() : codeItemPoint(onto);
    ASSERT_TRUE(dialog_->beginCodeDrag(from, codeItemPoint(from)));
    EXPECT_EQ(description(), "(move line, or drag outside window to delete)");
    dialog_->dragPointerMoved(target);
    EXPECT_EQ(picture(), DragPicture::ItemImage);
    dialog_->leftButtonReleased(target);
    EXPECT_EQ(lines(1), expected);
    EXPECT_EQ(codeTexts(), expected);
    EXPECT_TRUE(dialog_->changed());
    EXPECT_TRUE(messenger_.entries().empty());
  }
}

TEST_F(EditorDialogTest, LineDraggedOutOfTheCodeListIsDeleted) {
  const std::vector<std::function<QPoint()>> places = {
      [this] { return treePoint(); }, [this] { return partItemPoint(0); },
      [this] { return dialog_->mapToGlobal(QPoint(2, 2)); }, [] { return QPoint(-40, -40); }};
  for (const auto& place : places) {
    open();
    select(1);
    ASSERT_TRUE(dialog_->beginCodeDrag(1, codeItemPoint(1)));
    dialog_->dragPointerMoved(place());
    EXPECT_EQ(picture(), DragPicture::DeleteMark);
    dialog_->leftButtonReleased(place());
    EXPECT_EQ(lines(1), (Texts{"A", "C", "D"}));
    EXPECT_TRUE(dialog_->changed());
  }
  open({{"Tricks", {"WAIT"}}});
  select(0);
  dragLine(0, treePoint());
  EXPECT_TRUE(lines(0).empty());
  EXPECT_EQ(codeTexts(), Texts{kEmptyEvent});
}

TEST_F(EditorDialogTest, PlaceholdersCannotBeEditedByDragOrDeleteKey) {
  open();
  select(0, 1);
  EXPECT_FALSE(dialog_->beginCodeDrag(0, codeItemPoint(0)));
  code_->setCurrentRow(0);
  QTest::keyClick(code_, Qt::Key_Delete);
  select(0);
  ASSERT_TRUE(dialog_->beginCodeDrag(0, codeItemPoint(0)));
  dialog_->leftButtonReleased(treePoint());
  parts_->setCurrentRow(0);
  QTest::keyClick(parts_, Qt::Key_Delete);
  EXPECT_EQ(parts_->count(), 17);
  for (int record = 0; record < 3; ++record) {
    EXPECT_EQ(lines(record), kDanceRecords[static_cast<std::size_t>(record)].lines);
  }
  EXPECT_FALSE(dialog_->changed());
}

TEST_F(EditorDialogTest, DeleteKeyDeletesTheSelectedLine) {
  open();
  select(1);
  code_->setFocus();
  code_->setCurrentRow(2);
  QTest::keyClick(code_, Qt::Key_Delete);
  EXPECT_EQ(lines(1), (Texts{"A", "B", "D"}));
  EXPECT_EQ(codeTexts(), lines(1));
  EXPECT_TRUE(dialog_->changed());
  QTest::keyClick(code_, Qt::Key_Delete);  // the rebuilt list has no mark
  EXPECT_EQ(lines(1).size(), 3u);
}

TEST_F(EditorDialogTest, ReleaseOverBackgroundResetsTheDescription) {
  open();
  parts_->setCurrentRow(partRow("Turn Left"));
  EXPECT_EQ(description(), " Turn Left");
  QTest::mouseClick(dialog_.get(), Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_EQ(description(), kSelectAction);
  EXPECT_FALSE(parts_->currentIndex().isValid());
}

TEST_F(EditorDialogTest, LostMouseCaptureEndsTheDragWithoutEdit) {
  open();
  QApplication::setActiveWindow(dialog_.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
  ASSERT_TRUE(dialog_->beginPartsDrag(0, partItemPoint(0)));
  QWidget other;
  other.show();
  QApplication::setActiveWindow(&other);
  QTRY_COMPARE(dialog_->dragController().mode(), DragMode::None);
  EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
  EXPECT_FALSE(dialog_->findChild<DragImageWindow*>("dragImage")->isVisible());
  dialog_->leftButtonReleased(codeItemPoint(0));
  EXPECT_EQ(lines(0).size(), 3u);
  EXPECT_FALSE(dialog_->changed());
}

class MouseDragTest : public EditorDialogTest {
 protected:
  void mouse(QTest::MouseAction action, QPoint global, Qt::MouseButton button = Qt::LeftButton) {
    const QPoint at = dialog_->mapFromGlobal(global);
    if (action == QTest::MouseMove) {
      QTest::mouseMove(dialog_->windowHandle(), at);
    } else {
      QTest::mouseEvent(action, dialog_->windowHandle(), button, {}, at);
    }
  }
  // Presses at `from`, moves past the start distance, then to `to`, and releases there.
  void dragWithMouse(QPoint from, QPoint to, const std::function<void()>& started = {}) {
    mouse(QTest::MousePress, from);
    mouse(QTest::MouseMove, from + QPoint(QApplication::startDragDistance() + 2, 0));
    if (started) started();
    mouse(QTest::MouseMove, to);
    mouse(QTest::MouseRelease, to);
  }
};

TEST_F(MouseDragTest, PartsAndLinesDraggedWithTheMouseAreAddedMovedAndDeleted) {
  open();
  dragWithMouse(partItemPoint(partRow("Stand Up")), codeItemPoint(1), [this] {
    EXPECT_EQ(dialog_->dragController().mode(), DragMode::Part);
    EXPECT_EQ(description(), "(drag into code window above to add)");
  });
  EXPECT_EQ(lines(0), (Texts{"PLAY ACTION SIT", "WAIT", "WAIT 250", "PLAY ACTION STAND", "WAIT"}));
  EXPECT_TRUE(dialog_->changed());
  EXPECT_EQ(description(), kSelectAction);
  select(1);
  dragWithMouse(codeItemPoint(0), codeItemPoint(2));
  EXPECT_EQ(lines(1), (Texts{"B", "A", "C", "D"}));
  dragWithMouse(codeItemPoint(3), treePoint());
  EXPECT_EQ(lines(1), (Texts{"B", "A", "C"}));
}

TEST_F(MouseDragTest, RightButtonAndTreeItemsDragNothing) {
  open();
  select(1);
  // The right button also opens the dialog's context menu; close it whenever it appears.
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [] {
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  });
  closer.start(0);
  mouse(QTest::MousePress, codeItemPoint(0), Qt::RightButton);
  mouse(QTest::MouseMove, treePoint());
  mouse(QTest::MouseRelease, treePoint(), Qt::RightButton);
  EXPECT_EQ(dialog_->dragController().mode(), DragMode::None);
  const QPoint tricks = tree_->viewport()->mapToGlobal(tree_->visualItemRect(treeItem(1)).center());
  dragWithMouse(tricks, codeItemPoint(0));
  EXPECT_EQ(lines(1).size(), 4u);
  EXPECT_FALSE(dialog_->changed());
}

TEST_F(EditorDialogTest, FailedSaveKeepsTheDialogOpenAndTheNextSaveWritesAndEndsIt) {
  open();
  const std::string original = readTextFile(path_);
  dragPart("Sit Down", codeItemPoint(0));
  const testing_support::TreeSnapshot before = snapshotTree(root_.path());
  {
    platform::ScopedFault fault(1, {platform::FileOp::Create});
    QTest::mouseClick(save_, Qt::LeftButton);
  }
  EXPECT_TRUE(dialog_->isVisible());
  EXPECT_EQ(messenger_.texts(), Texts{"ERROR: Can't create new R-CODE.R file\n" + path_.string()});
  EXPECT_EQ(snapshotTree(root_.path()), before);
  EXPECT_TRUE(dialog_->changed());
  EXPECT_EQ(lines(0).size(), 5u);
  messenger_.clear();
  QTest::mouseClick(save_, Qt::LeftButton);
  EXPECT_EQ(dialog_->result(), kSavedResult);
  EXPECT_FALSE(dialog_->isVisible());
  EXPECT_EQ(messenger_.texts(), Texts{"Changes saved!"});
  EXPECT_EQ(readTextFile(backupPath(path_)), original);
  EXPECT_EQ(editor_testing::loadParsed(path_).records[0].lines, lines(0));
}

TEST_F(EditorDialogTest, EnterOnSaveButtonWithoutEditReportsNoChanges) {
  open();
  save_->setFocus();
  QTest::keyClick(save_, Qt::Key_Return);
  EXPECT_EQ(dialog_->result(), kSavedResult);
  EXPECT_EQ(messenger_.texts(), Texts{"File saved (no changes made)"});
}

TEST_F(EditorDialogTest, CancelWithoutEditsClosesAtOnce) {
  for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
    open();
    const testing_support::TreeSnapshot before = snapshotTree(root_.path());
    QTest::keyClick(tree_, key);
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(dialog_->result(), kCancelledResult);
    EXPECT_TRUE(messenger_.entries().empty());
    EXPECT_EQ(snapshotTree(root_.path()), before);
  }
}

TEST_F(EditorDialogTest, CancelAfterEditAsksFirst) {
  open();
  dragLine(0, treePoint());
  const testing_support::TreeSnapshot before = snapshotTree(root_.path());
  messenger_.queueAnswer(false);
  EXPECT_FALSE(dialog_->close());
  EXPECT_TRUE(dialog_->isVisible());
  EXPECT_EQ(lines(0).size(), 2u);
  messenger_.queueAnswer(true);
  EXPECT_TRUE(dialog_->close());
  EXPECT_EQ(dialog_->result(), kCancelledResult);
  ASSERT_EQ(messenger_.entries().size(), 2u);
  EXPECT_TRUE(messenger_.entries()[1].isQuestion);
  EXPECT_EQ(messenger_.entries()[1].text, kAbandonQuestion);
  EXPECT_EQ(snapshotTree(root_.path()), before);
}

TEST_F(EditorDialogTest, F1AndTheContextMenuOfferTheAboutBox) {
  open();
  QString title;
  QString version;
  QTimer::singleShot(0, [&] {
    QWidget* box = QApplication::activeModalWidget();
    if (box == nullptr) return;
    title = box->windowTitle();
    if (auto* label = box->findChild<QLabel*>("version")) version = label->text();
    if (auto* ok = box->findChild<QPushButton*>("1")) ok->click();
  });
  QTest::keyClick(dialog_.get(), Qt::Key_F1);
  EXPECT_EQ(text(title), "About VELK7");
  EXPECT_EQ(text(version), "VELK Version 7.01");
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
  EXPECT_EQ(items, QStringList{QStringLiteral("&About VELK7...")});
}

TEST(EditorImages, KindImagesAreFramedMagentaWordsOnTransparentGround) {
  ASSERT_NE(QApplication::instance(), nullptr);
  for (int kind = 0; kind < kLineKindCount; ++kind) {
    const QImage image = kindImage(static_cast<LineKind>(kind), 2.0).toImage();
    ASSERT_EQ(image.size(), QSize(50, 30));
    EXPECT_EQ(image.pixelColor(0, 0).rgb(), QColor(192, 192, 192).rgb());
    EXPECT_EQ(image.pixelColor(49, 29).rgb(), QColor(192, 192, 192).rgb());
    int magenta = 0;
    int transparent = 0;
    for (int y = 2; y < 28; ++y) {
      for (int x = 2; x < 48; ++x) {
        const QColor c = image.pixelColor(x, y);
        if (c.alpha() == 0) ++transparent;
        if (c.alpha() > 200 && c.red() > 200 && c.blue() > 200 && c.green() < 60) ++magenta;
      }
    }
    EXPECT_GT(magenta, 0) << kind;
    EXPECT_GT(transparent, 0) << kind;
  }
}

TEST(EditorImages, DragMarksAreRedAndYellowBoxesAndTheIconHasTheWindowSizes) {
  ASSERT_NE(QApplication::instance(), nullptr);
  EXPECT_TRUE(dragMark(DragPicture::ItemImage, 1.0).isNull());
  const QImage remove = dragMark(DragPicture::DeleteMark, 1.0).toImage();
  const QImage noDrop = dragMark(DragPicture::NoDropMark, 1.0).toImage();
  ASSERT_EQ(remove.size(), QSize(25, 15));
  ASSERT_EQ(noDrop.size(), QSize(25, 15));
  EXPECT_EQ(remove.pixelColor(1, 1).rgb(), QColor(255, 0, 0).rgb());
  EXPECT_EQ(noDrop.pixelColor(1, 1).rgb(), QColor(255, 255, 0).rgb());
  EXPECT_EQ(remove.pixelColor(0, 0).alpha(), 255);
  for (const int size : {16, 32}) {
    const QImage image = programIcon().pixmap(size, size).toImage();
    EXPECT_EQ(image.size(), QSize(size, size));
    EXPECT_GT(image.pixelColor(size / 2, size / 2).alpha(), 0);
  }
}

}  // namespace
}  // namespace velk7
