#include <QMenu>
#include <QTimer>
#include <tuple>

#include "editor_fixture.h"
#include "platform/qt/dialog_units.h"
#include "platform/src/file_faults.h"
#include "tests/support/temp_tree.h"
#include "velk7/editor/src/drag_image_window.h"
#include "velk7/editor/src/save_program.h"

namespace velk7 {
namespace {

using namespace editor_testing;
using testing_support::snapshotTree;

TEST_F(EditorTest, ControlsFollowTheTemplateAndGrowWithTheWindow) {
  open();
  EXPECT_EQ(text(dialog_->windowTitle()), "VELK7 - Simple RCODE Customization");
  const platform::DialogBaseUnits base = platform::baseUnitsOf(dialog_->font());
  const QSize templateSize = platform::cornerPixels({0, 0, 392, 355}, base).size();
  EXPECT_EQ(dialog_->size(), templateSize);
  struct Place {
    const char* id;
    platform::UnitRect units;
    const char* caption;  // a label's or button's text, or its accessible name
    QSize growth;         // at 100 more pixels in width and height
  };
  for (const int grow : {0, 100}) {
    dialog_->resize(templateSize + QSize(grow, grow));
    for (const Place& place :
         {Place{"1000", {7, 18, 107, 172}, "When this happens", {0, 50}},
          Place{"1001", {119, 18, 262, 172}, "AIBO does this", {100, 50}},
          Place{"1003", {4, 212, 377, 101}, "Parts", {100, 50}},
          Place{"1007", {83, 321, 300, 8}, "Description/Posture", {100, 0}},
          Place{"1004", {127, 339, 137, 13}, "&Save RCODE program to memory stick", {0, 0}},
          Place{"eventsCaption", {7, 6, 64, 8}, "&When this happens:", {0, 0}},
          Place{"codeCaption", {126, 6, 48, 8}, "AIBO &does this", {0, 0}},
          Place{"categoryCaption", {7, 198, 57, 8}, "&Available Actions:", {0, 0}},
          Place{"descriptionCaption", {9, 321, 66, 8}, "Description/Posture:", {0, 0}}}) {
      const QWidget* widget = dialog_->findChild<QWidget*>(place.id);
      ASSERT_NE(widget, nullptr) << place.id;
      const QRect expected = platform::cornerPixels(place.units, base);
      if (grow == 0) {
        EXPECT_EQ(widget->geometry(), expected) << place.id;
      } else {
        EXPECT_EQ(widget->size(), expected.size() + place.growth) << place.id;
      }
      const auto* label = qobject_cast<const QLabel*>(widget);
      const auto* button = qobject_cast<const QPushButton*>(widget);
      const QString caption = std::string_view(place.id).ends_with("Caption") ? label->text()
                              : button != nullptr                             ? button->text()
                                                  : widget->accessibleName();
      EXPECT_EQ(text(caption), place.caption) << place.id;
    }
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

TEST_F(EditorTest, TabOrderFollowsTheTemplate) {
  open();
  EXPECT_EQ(QApplication::focusWidget(), tree_);
  for (QWidget* expected : std::vector<QWidget*>{code_, parts_, save_, category_, filter_, tree_}) {
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

TEST_F(EditorTest, GroupsFormAtTheFirstSlashInFileOrderAndTheFirstEventIsShown) {
  struct Case {
    std::vector<RecordText> records;
    std::string outline;
    int selected;
    Texts code;
  };
  const std::vector<Case> cases = {
      {kDanceRecords, "Dances:-1[Salsa:0 Tango:2] Tricks:1", 0, kDanceRecords[0].lines},
      {{{"A/B/C", {}}}, "A:-1[B/C:0]", 0, {kEmptyEvent}},
      {{{"Tricks", {"WAIT"}}, {"Tricks/Roll", {"PLAY ACTION SIT"}}},
       "Tricks:0[Roll:1]",
       1,
       {"PLAY ACTION SIT"}},
      {{{"dances/x", {}}, {"Dances/y", {}}}, "dances:-1[x:0] Dances:-1[y:1]", 0, {kEmptyEvent}},
      // Two names that are not UTF-8 and look alike on the screen stay apart.
      {{{"caf\xE9/x", {}}, {"caf\xE8/y", {}}},
       "caf\uFFFD:-1[x:0] caf\uFFFD:-1[y:1]",
       0,
       {kEmptyEvent}},
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
    EXPECT_EQ(dialog_->selectedEvent(), c.selected);
    EXPECT_EQ(codeTexts(), c.code);
  }
}

TEST_F(EditorTest, PlaceholdersCarryNoImageAndAGroupKeepsTheDescription) {
  open({{"Tricks", {"WAIT", "SET x 1"}}, {"Dances/Tango", {}}});
  parts_->setCurrentRow(partRow("Turn Left"));
  EXPECT_EQ(description(), " Turn Left");
  for (const auto& [child, placeholder, data] :
       std::vector<std::tuple<int, std::string, int>>{{-1, kNoEvent, 0}, {0, kEmptyEvent, -1}}) {
    select(1, child);
    EXPECT_EQ(codeTexts(), Texts{placeholder});
    EXPECT_EQ(code_->item(0)->data(kItemDataRole).toInt(), data);
    EXPECT_TRUE(code_->item(0)->icon().isNull());
    if (child < 0) {
      EXPECT_EQ(description(), " Turn Left");
    }
  }
  // The empty event's placeholder cannot be dragged.
  drag(codePoint(0), treePoint(), [&] { EXPECT_FALSE(dialog_->dragController().dragging()); });
  select(0);
  EXPECT_FALSE(code_->item(1)->icon().isNull());
}

TEST_F(EditorTest, EachCategoryListsItsActions) {
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
  }
  EXPECT_TRUE(messenger_.entries().empty());
}

TEST_F(EditorTest, PartDraggedWithTheMouseIsAppendedOnlyToTheCodeListOfAnEvent) {
  enum class Where { CodeList, Tree, PartsList, CodeListOfGroup };
  for (const auto& [where, shown] : std::vector<std::pair<Where, DragPicture>>{
           {Where::CodeList, DragPicture::ItemImage},
           {Where::Tree, DragPicture::NoDropMark},
           {Where::PartsList, DragPicture::ItemImage},
           {Where::CodeListOfGroup, DragPicture::NoDropMark}}) {
    open();
    if (where == Where::CodeListOfGroup) select(0);
    const QPoint target = where == Where::Tree        ? treePoint()
                          : where == Where::PartsList ? partPoint("Turn Left")
                                                      : codePoint(0);
    drag(partPoint("Stand Up"), target, [&] {
      EXPECT_EQ(dialog_->dragController().shownPicture(), shown);
      EXPECT_EQ(description(), "(drag into code window above to add)");
    });
    Texts expected = kDanceRecords[0].lines;
    if (where == Where::CodeList) expected.insert(expected.end(), {"PLAY ACTION STAND", "WAIT"});
    EXPECT_EQ(lines(0), expected);
    EXPECT_EQ(dialog_->changed(), where == Where::CodeList);
    EXPECT_EQ(description(), kSelectAction);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
  }
}

TEST_F(EditorTest, LineDroppedWithTheMouseMovesBeforeTheItemUnderThePointerOrIsDeleted) {
  // The line dragged, the row it is dropped on (-1: below the last item, -2: the tree, -3: the
  // parts list).
  const std::vector<std::tuple<int, int, Texts>> cases = {
      {0, 2, {"B", "A", "C", "D"}}, {3, 0, {"D", "A", "B", "C"}}, {1, -1, {"A", "C", "D", "B"}},
      {1, 1, {"A", "B", "C", "D"}}, {1, 2, {"A", "B", "C", "D"}}, {1, -2, {"A", "C", "D"}},
      {2, -3, {"A", "B", "D"}}};
  for (const auto& [from, onto, expected] : cases) {
    SCOPED_TRACE(::testing::Message() << from << " onto " << onto);
    open();
    select(1);
    const QPoint target = onto == -3   ? partPoint("Turn Left")
                          : onto == -2 ? treePoint()
                          : onto < 0   ? belowLastCodeItem()
                                       : codePoint(onto);
    drag(codePoint(from), target, [&] {
      EXPECT_EQ(dialog_->dragController().shownPicture(),
                onto < -1 ? DragPicture::DeleteMark : DragPicture::ItemImage);
      EXPECT_EQ(description(), "(move line, or drag outside window to delete)");
    });
    EXPECT_EQ(lines(1), expected);
    EXPECT_EQ(codeTexts(), expected);
    EXPECT_TRUE(dialog_->changed());
  }
}

TEST_F(EditorTest, LostMouseCaptureEndsTheDragWithoutEdit) {
  open();
  QApplication::setActiveWindow(dialog_.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
  mouse(QTest::MousePress, partPoint("Sit Down"));
  mouse(QTest::MouseMove, partPoint("Sit Down") + QPoint(QApplication::startDragDistance() + 2, 0));
  ASSERT_EQ(dialog_->dragController().mode(), DragMode::Part);
  QWidget other;
  other.show();
  QApplication::setActiveWindow(&other);
  QTRY_COMPARE(dialog_->dragController().mode(), DragMode::None);
  EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
  EXPECT_FALSE(dialog_->findChild<DragImageWindow*>("dragImage")->isVisible());
  EXPECT_EQ(lines(0).size(), 3u);
  EXPECT_FALSE(dialog_->changed());
}

TEST_F(EditorTest, FailedSaveKeepsTheDialogOpenAndTheNextSaveWritesAndEndsIt) {
  open();
  key(code_, Qt::Key_Delete);  // nothing marked yet
  code_->setCurrentRow(0);
  key(code_, Qt::Key_Delete);
  {
    platform::ScopedFault fault(1, {platform::FileOp::Create});
    QTest::mouseClick(save_, Qt::LeftButton);
  }
  EXPECT_TRUE(dialog_->isVisible());
  EXPECT_EQ(messenger_.texts(), Texts{"ERROR: Can't create new R-CODE.R file\n" + path_.string()});
  messenger_.clear();
  key(save_, Qt::Key_Return);
  EXPECT_EQ(dialog_->result(), kSavedResult);
  EXPECT_EQ(messenger_.texts(), Texts{"Changes saved!"});
  EXPECT_EQ(loadParsed(path_).records[0].lines, (Texts{"WAIT", "WAIT 250"}));
}

TEST_F(EditorTest, CancelClosesAtOnceUnlessTheProgramDiffersFromTheFile) {
  for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
    open();
    QTest::keyClick(tree_, key);
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(dialog_->result(), kCancelledResult);
    EXPECT_TRUE(messenger_.entries().empty());
  }
  open();
  drag(codePoint(0), treePoint());
  const testing_support::TreeSnapshot before = snapshotTree(root_.path());
  messenger_.queueAnswer(false);
  EXPECT_FALSE(dialog_->close());
  EXPECT_EQ(lines(0).size(), 2u);
  messenger_.queueAnswer(true);
  EXPECT_TRUE(dialog_->close());
  EXPECT_EQ(dialog_->result(), kCancelledResult);
  EXPECT_EQ(messenger_.entries().back(),
            (platform::RecordingMessenger::Entry{
                true, false,
                "WARNING: you have made changes that will not be saved if you cancel\n"
                "Do you want to abandon changes (Yes to abandon, No to go back to editing)"}));
  EXPECT_EQ(snapshotTree(root_.path()), before);
}

TEST_F(EditorTest, F1AndTheContextMenuOfferTheAboutBox) {
  open();
  QString version;
  QTimer::singleShot(0, [&] {
    QWidget* box = QApplication::activeModalWidget();
    if (auto* label = box ? box->findChild<QLabel*>("version") : nullptr) version = label->text();
    if (auto* ok = box ? box->findChild<QPushButton*>("1") : nullptr) ok->click();
  });
  QTest::keyClick(dialog_.get(), Qt::Key_F1);
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
  EXPECT_EQ(items, (QStringList{"&Undo", "&Redo", "", "&About VELK7..."}));
}

}  // namespace
}  // namespace velk7
