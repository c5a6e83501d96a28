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
#include "platform/messenger.h"
#include "tests/support/temp_tree.h"
#include "velk7/editor/about_dialog.h"
#include "velk7/editor/dialog_font.h"
#include "velk7/editor/drag_image_window.h"
#include "velk7/editor/editor_images.h"
#include "velk7/editor/save_program.h"

namespace velk7 {
namespace {

namespace fs = std::filesystem;
using editor_testing::RecordText;
using testing_support::readTextFile;

// One application for the whole run, deleted after the last test so that nothing the
// toolkit holds outlives it.
class ApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "velk7_editor_tests";
    static char* argv[] = {name, nullptr};
    application_ = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { application_.reset(); }

 private:
  std::unique_ptr<QApplication> application_;
};

[[maybe_unused]] ::testing::Environment* const applicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

void ensureApplication() {
  ASSERT_NE(QApplication::instance(), nullptr);
}

std::string text(const QString& value) {
  return value.toLatin1().toStdString();
}

const std::vector<RecordText> kDanceRecords = {
    {"Dances/Salsa", {"PLAY ACTION SIT", "WAIT", "WAIT 250"}},
    {"Tricks", {"A", "B", "C", "D"}},
    {"Dances/Tango", {}},
};

class EditorDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { ensureApplication(); }

  void open(const std::vector<RecordText>& records, std::string_view userActions = {},
            bool show = true) {
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
    if (show) {
      dialog_->show();
      ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog_.get()));
    }
  }

  std::vector<std::string> codeTexts() const {
    std::vector<std::string> texts;
    for (int row = 0; row < code_->count(); ++row) texts.push_back(text(code_->item(row)->text()));
    return texts;
  }
  std::vector<std::string> partLabels() const {
    std::vector<std::string> labels;
    for (int row = 0; row < parts_->count(); ++row)
      labels.push_back(text(parts_->item(row)->text()));
    return labels;
  }
  std::string description() const { return text(description_->text()); }
  const std::vector<std::string>& lines(int record) const {
    return program_.records[static_cast<std::size_t>(record)].lines;
  }

  QPoint codeItemPoint(int row) const {
    return code_->viewport()->mapToGlobal(code_->visualItemRect(code_->item(row)).center());
  }
  QPoint partItemPoint(int row) const {
    return parts_->viewport()->mapToGlobal(parts_->visualItemRect(parts_->item(row)).center());
  }
  QPoint belowLastCodeItem() const {
    const QRect last = code_->visualItemRect(code_->item(code_->count() - 1));
    return code_->viewport()->mapToGlobal(last.bottomLeft() + QPoint(2, 20));
  }
  QPoint treePoint() const { return tree_->mapToGlobal(tree_->rect().center()); }
  QPoint backgroundPoint() const { return dialog_->mapToGlobal(QPoint(2, 2)); }
  QPoint outsidePoint() const { return QPoint(-40, -40); }

  void selectTreeItem(QTreeWidgetItem* item) { tree_->setCurrentItem(item); }
  int partRow(const std::string& label) const {
    for (int row = 0; row < parts_->count(); ++row) {
      if (text(parts_->item(row)->text()) == label) return row;
    }
    return -1;
  }
  // Drags code line `row` to `target` through the dialog's pointer entry points.
  void dragLine(int row, QPoint target) {
    ASSERT_TRUE(dialog_->beginCodeDrag(row, codeItemPoint(row)));
    dialog_->dragPointerMoved(target);
    dialog_->leftButtonReleased(target);
  }
  void dragPart(const std::string& label, QPoint target) {
    const int row = partRow(label);
    ASSERT_GE(row, 0);
    ASSERT_TRUE(dialog_->beginPartsDrag(row, partItemPoint(row)));
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

// --- Window and controls -----------------------------------------------------------

TEST_F(EditorDialogTest, ControlsSitWhereTheTemplatePutsThem) {
  open(kDanceRecords);
  EXPECT_EQ(text(dialog_->windowTitle()), "VELK7 - Simple RCODE Customization");
  const DialogBaseUnits base = baseUnitsOf(dialog_->font());
  const QFontMetrics metrics(dialog_->font());
  EXPECT_EQ(base.charHeight, metrics.height());
  EXPECT_EQ(dialog_->size(), pixelRect(UnitRect{0, 0, 392, 355}, base).size());
  struct Place {
    const char* name;
    UnitRect units;
  };
  for (const Place& place :
       {Place{"1000", {7, 18, 107, 172}}, Place{"1001", {119, 18, 262, 172}},
        Place{"1003", {4, 212, 377, 101}}, Place{"1007", {83, 321, 300, 8}},
        Place{"1004", {127, 339, 137, 13}}, Place{"eventsCaption", {7, 6, 64, 8}},
        Place{"codeCaption", {126, 6, 48, 8}}, Place{"categoryCaption", {7, 198, 57, 8}},
        Place{"rule", {232, 200, 143, 2}}, Place{"descriptionCaption", {9, 321, 66, 8}}}) {
    const QWidget* widget = dialog_->findChild<QWidget*>(place.name);
    ASSERT_NE(widget, nullptr) << place.name;
    EXPECT_EQ(widget->geometry(), pixelRect(place.units, base)) << place.name;
  }
  const QRect box = pixelRect(UnitRect{67, 195, 136, 143}, base);
  EXPECT_EQ(category_->geometry().topLeft(), box.topLeft());
  EXPECT_EQ(category_->width(), box.width());
}

TEST_F(EditorDialogTest, CaptionsAndButtonCarryTheirTexts) {
  open(kDanceRecords);
  EXPECT_EQ(text(dialog_->findChild<QLabel*>("eventsCaption")->text()), "When this happens:");
  EXPECT_EQ(text(dialog_->findChild<QLabel*>("codeCaption")->text()), "AIBO does this");
  EXPECT_EQ(text(dialog_->findChild<QLabel*>("categoryCaption")->text()), "Available Actions:");
  EXPECT_EQ(text(dialog_->findChild<QLabel*>("descriptionCaption")->text()),
            "Description/Posture:");
  EXPECT_EQ(text(save_->text()), "Save RCODE program to memory stick");
  EXPECT_FALSE(save_->isDefault());
  EXPECT_FALSE(save_->autoDefault());
  EXPECT_FALSE(dialog_->windowIcon().isNull());
}

TEST_F(EditorDialogTest, TabOrderFollowsTheTemplate) {
  open(kDanceRecords);
  EXPECT_EQ(QApplication::focusWidget(), tree_);
  const std::vector<QWidget*> order = {code_, parts_, save_, category_, tree_};
  for (QWidget* expected : order) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), expected) << text(expected->objectName());
  }
}

TEST_F(EditorDialogTest, ListsShowImagesInListMode) {
  open(kDanceRecords);
  for (QListWidget* list : {code_, parts_}) {
    EXPECT_EQ(list->viewMode(), QListView::ListMode);
    EXPECT_EQ(list->iconSize(), QSize(25, 15));
    EXPECT_FALSE(list->isSortingEnabled());
  }
  EXPECT_EQ(code_->selectionMode(), QAbstractItemView::SingleSelection);
  EXPECT_EQ(parts_->selectionMode(), QAbstractItemView::ExtendedSelection);
}

// --- Event tree ----------------------------------------------------------------------

TEST_F(EditorDialogTest, GroupsFormAtTheFirstSlashInFileOrder) {
  open(kDanceRecords);
  ASSERT_EQ(tree_->topLevelItemCount(), 2);
  QTreeWidgetItem* dances = tree_->topLevelItem(0);
  EXPECT_EQ(text(dances->text(0)), "Dances");
  EXPECT_EQ(dances->data(0, kItemDataRole).toInt(), -1);
  ASSERT_EQ(dances->childCount(), 2);
  EXPECT_EQ(text(dances->child(0)->text(0)), "Salsa");
  EXPECT_EQ(dances->child(0)->data(0, kItemDataRole).toInt(), 0);
  EXPECT_EQ(text(dances->child(1)->text(0)), "Tango");
  EXPECT_EQ(dances->child(1)->data(0, kItemDataRole).toInt(), 2);
  EXPECT_EQ(text(tree_->topLevelItem(1)->text(0)), "Tricks");
  EXPECT_EQ(tree_->topLevelItem(1)->data(0, kItemDataRole).toInt(), 1);
  EXPECT_TRUE(dances->isExpanded());
  EXPECT_TRUE(dances->child(0)->isSelected());
  EXPECT_EQ(dialog_->selectedEvent(), 0);
  EXPECT_EQ(codeTexts(), (std::vector<std::string>{"PLAY ACTION SIT", "WAIT", "WAIT 250"}));
}

TEST_F(EditorDialogTest, FurtherSlashesStayInTheEntry) {
  open({{"A/B/C", {}}});
  ASSERT_EQ(tree_->topLevelItemCount(), 1);
  EXPECT_EQ(text(tree_->topLevelItem(0)->text(0)), "A");
  EXPECT_EQ(text(tree_->topLevelItem(0)->child(0)->text(0)), "B/C");
}

TEST_F(EditorDialogTest, UngroupedEventCanCarryChildren) {
  open({{"Tricks", {"WAIT"}}, {"Tricks/Roll", {"PLAY ACTION SIT"}}});
  ASSERT_EQ(tree_->topLevelItemCount(), 1);
  QTreeWidgetItem* tricks = tree_->topLevelItem(0);
  ASSERT_EQ(tricks->childCount(), 1);
  EXPECT_EQ(text(tricks->child(0)->text(0)), "Roll");
  EXPECT_EQ(dialog_->selectedEvent(), 1);
  EXPECT_EQ(codeTexts(), std::vector<std::string>{"PLAY ACTION SIT"});
  selectTreeItem(tricks);
  EXPECT_EQ(dialog_->selectedEvent(), 0);
  EXPECT_EQ(codeTexts(), std::vector<std::string>{"WAIT"});
}

TEST_F(EditorDialogTest, GroupNamesAreCaseSensitive) {
  open({{"dances/x", {}}, {"Dances/y", {}}});
  ASSERT_EQ(tree_->topLevelItemCount(), 2);
  EXPECT_EQ(text(tree_->topLevelItem(0)->text(0)), "dances");
  EXPECT_EQ(text(tree_->topLevelItem(1)->text(0)), "Dances");
}

TEST_F(EditorDialogTest, SelectingAGroupShowsThePlaceholderAndKeepsTheDescription) {
  open(kDanceRecords);
  parts_->setCurrentRow(partRow("Turn Left"));
  EXPECT_EQ(description(), " Turn Left");
  selectTreeItem(tree_->topLevelItem(0));
  EXPECT_EQ(dialog_->selectedEvent(), -1);
  EXPECT_EQ(codeTexts(), std::vector<std::string>{"select AIBO event  (cannot drag parts here)"});
  EXPECT_EQ(code_->item(0)->data(kItemDataRole).toInt(), 0);
  EXPECT_TRUE(code_->item(0)->icon().isNull());
  EXPECT_EQ(description(), " Turn Left");
}

TEST_F(EditorDialogTest, EmptyEventShowsTheEmptyPlaceholder) {
  open(kDanceRecords);
  selectTreeItem(tree_->topLevelItem(0)->child(1));
  EXPECT_EQ(codeTexts(), std::vector<std::string>{"empty   (drag parts from below to here)"});
  EXPECT_EQ(code_->item(0)->data(kItemDataRole).toInt(), -1);
  EXPECT_TRUE(code_->item(0)->icon().isNull());
}

TEST_F(EditorDialogTest, UngroupedFirstEventStartsUnselected) {
  open({{"", {"WAIT"}}, {"Tricks", {}}});
  EXPECT_EQ(text(tree_->topLevelItem(0)->text(0)), "");
  EXPECT_EQ(tree_->topLevelItem(0)->data(0, kItemDataRole).toInt(), 0);
  EXPECT_EQ(dialog_->selectedEvent(), -1);
  EXPECT_EQ(codeTexts(), std::vector<std::string>{"select AIBO event  (cannot drag parts here)"});
  selectTreeItem(tree_->topLevelItem(0));
  EXPECT_EQ(codeTexts(), std::vector<std::string>{"WAIT"});
}

TEST_F(EditorDialogTest, CodeLinesGetTheirKindImagesAndNoItemData) {
  open({{"Tricks", {"WAIT", "SET x 1"}}, {"Other", {}}}, {}, true);
  selectTreeItem(tree_->topLevelItem(0));
  ASSERT_EQ(code_->count(), 2);
  for (int row = 0; row < 2; ++row) {
    EXPECT_FALSE(code_->item(row)->icon().isNull());
    EXPECT_EQ(code_->item(row)->data(kItemDataRole).toInt(), 0);
  }
}

// --- Parts palette -------------------------------------------------------------------

TEST_F(EditorDialogTest, CategoryBoxOffersNineteenCategories) {
  open(kDanceRecords);
  ASSERT_EQ(category_->count(), 19);
  EXPECT_FALSE(category_->isEditable());
  EXPECT_EQ(category_->currentIndex(), 0);
  const std::vector<std::string> expected = {"Standard",
                                             "User Actions",
                                             "System: Moods (EDSP)",
                                             "System: Moods (FDSP)",
                                             "System: Dances etc",
                                             "System: Contact/touch",
                                             "System: Human appeals",
                                             "System: Postures",
                                             "System: Physiological",
                                             "System: Bone",
                                             "System: Reflexes",
                                             "System: Intent, Requests",
                                             "System: Clinic, NewStage, Regist",
                                             "System: Move, FallDown",
                                             "System: User IF",
                                             "System: Special messages",
                                             "System: LED Only",
                                             "System: (other)",
                                             "Subroutines"};
  for (int index = 0; index < 19; ++index) {
    EXPECT_EQ(text(category_->itemText(index)), expected[static_cast<std::size_t>(index)]);
  }
}

TEST_F(EditorDialogTest, StandardPartsAreListedAtStart) {
  open(kDanceRecords);
  EXPECT_EQ(description(), "(please select an action)");
  EXPECT_EQ(partLabels(), (std::vector<std::string>{
                              "Sit Down", "Stand Up", "Lie Down", "Turn Left", "Turn Right",
                              "Turn Around", "Kick Left", "Kick Right", "Walk .1 metre",
                              "Walk .5 metre", "Walk 1 inches", "Wait 1/4 sec", "Wait 1/2 sec",
                              "Wait 1 sec", "Wait 2 sec", "WAIT to finish", "Stop playing"}));
  EXPECT_EQ(parts_->item(0)->data(kItemDataRole).toByteArray(),
            QByteArray("PLAY ACTION SIT\xFFWAIT"));
  for (int row = 0; row < parts_->count(); ++row) EXPECT_FALSE(parts_->item(row)->icon().isNull());
}

TEST_F(EditorDialogTest, SelectedPartIsDescribed) {
  open(kDanceRecords);
  parts_->setCurrentRow(partRow("Turn Left"));
  EXPECT_EQ(description(), " Turn Left");
  parts_->setCurrentRow(partRow("Sit Down"));
  EXPECT_EQ(description(), "PLAY ACTION SIT");
  parts_->clearSelection();
  EXPECT_EQ(description(), "PLAY ACTION SIT");
}

TEST_F(EditorDialogTest, UserActionsComeFromTheCatalogue) {
  open(kDanceRecords, "HELLO 24001 0 ; hello.WAV + motion + leds\r\n");
  category_->setCurrentIndex(1);
  EXPECT_EQ(partLabels(), std::vector<std::string>{"HELLO"});
  EXPECT_EQ(parts_->item(0)->data(kItemDataRole).toByteArray(),
            QByteArray("PLAY ACTION+ HELLO // hello.WAV + motion + leds\xFFWAIT"));
  EXPECT_TRUE(messenger_.entries().empty());
  EXPECT_EQ(description(), "(please select an action)");
}

TEST_F(EditorDialogTest, MissingUserActionsAreReportedAtEachChoice) {
  open(kDanceRecords);
  category_->setCurrentIndex(1);
  EXPECT_TRUE(partLabels().empty());
  category_->setCurrentIndex(0);
  category_->setCurrentIndex(1);
  EXPECT_EQ(messenger_.texts(),
            (std::vector<std::string>{"This RCODE stick does not contain any USER actions",
                                      "This RCODE stick does not contain any USER actions"}));
}

TEST_F(EditorDialogTest, SystemAndSubroutineCategoriesAreFilled) {
  open(kDanceRecords);
  category_->setCurrentIndex(4);  // Dances etc
  EXPECT_EQ(partLabels(), std::vector<std::string>{"DANCE1"});
  category_->setCurrentIndex(9);  // Bone
  EXPECT_EQ(partLabels(), std::vector<std::string>{"KICK"});
  category_->setCurrentIndex(17);
  EXPECT_EQ(partLabels(), std::vector<std::string>{"MY_ACT"});
  category_->setCurrentIndex(18);
  EXPECT_EQ(partLabels(), std::vector<std::string>{"Wag the tail"});
  EXPECT_EQ(parts_->item(0)->data(kItemDataRole).toByteArray(),
            QByteArray("CALL Wag // Wag the tail"));
  EXPECT_TRUE(messenger_.entries().empty());
}

// --- Drag and drop through the pointer entry points -----------------------------------

TEST_F(EditorDialogTest, PartDroppedOnFirstLineIsAppended) {
  open(kDanceRecords);
  EXPECT_FALSE(dialog_->changed());
  const int row = partRow("Sit Down");
  ASSERT_TRUE(dialog_->beginPartsDrag(row, partItemPoint(row)));
  EXPECT_EQ(description(), "(drag into code window above to add)");
  EXPECT_EQ(dialog_->dragController().mode(), DragMode::Part);
  EXPECT_EQ(QWidget::mouseGrabber(), dialog_.get());
  dialog_->dragPointerMoved(codeItemPoint(0));
  EXPECT_EQ(dialog_->dragController().shownPicture(), DragPicture::ItemImage);
  dialog_->leftButtonReleased(codeItemPoint(0));
  EXPECT_EQ(lines(0), (std::vector<std::string>{"PLAY ACTION SIT", "WAIT", "WAIT 250",
                                                "PLAY ACTION SIT", "WAIT"}));
  EXPECT_EQ(codeTexts(), lines(0));
  EXPECT_TRUE(dialog_->changed());
  EXPECT_EQ(description(), "(please select an action)");
  EXPECT_EQ(dialog_->dragController().mode(), DragMode::None);
  EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST_F(EditorDialogTest, DragPictureFollowsThePointerAtItsHotSpot) {
  open(kDanceRecords);
  const auto* image = dialog_->findChild<DragImageWindow*>("dragImage");
  ASSERT_NE(image, nullptr);
  EXPECT_FALSE(image->isVisible());
  ASSERT_TRUE(dialog_->beginPartsDrag(0, partItemPoint(0)));
  EXPECT_TRUE(image->isVisible());
  EXPECT_EQ(image->pos(), partItemPoint(0) - QPoint(8, 8));
  dialog_->dragPointerMoved(treePoint());
  EXPECT_EQ(dialog_->dragController().shownPicture(), DragPicture::NoDropMark);
  EXPECT_EQ(image->pos(), treePoint() - QPoint(8, 8));
  EXPECT_EQ(image->picture().deviceIndependentSize(), QSizeF(25, 15));
  EXPECT_EQ(image->picture().toImage().pixelColor(2, 2).rgb(), QColor(255, 255, 0).rgb());
  dialog_->dragPointerMoved(partItemPoint(1));
  EXPECT_EQ(dialog_->dragController().shownPicture(), DragPicture::ItemImage);
  EXPECT_GT(image->picture().deviceIndependentSize().width(), 25);
  dialog_->leftButtonReleased(treePoint());
  EXPECT_FALSE(image->isVisible());
}

TEST_F(EditorDialogTest, PartDroppedOnTreeChangesNothing) {
  open(kDanceRecords);
  const std::vector<std::string> before = lines(0);
  dragPart("Sit Down", treePoint());
  EXPECT_EQ(lines(0), before);
  EXPECT_FALSE(dialog_->changed());
}

TEST_F(EditorDialogTest, PartOverPartsListKeepsItsPictureButDropDoesNothing) {
  open(kDanceRecords);
  const std::vector<std::string> before = lines(0);
  ASSERT_TRUE(dialog_->beginPartsDrag(0, partItemPoint(0)));
  dialog_->dragPointerMoved(partItemPoint(3));
  EXPECT_EQ(dialog_->dragController().shownPicture(), DragPicture::ItemImage);
  dialog_->leftButtonReleased(partItemPoint(3));
  EXPECT_EQ(lines(0), before);
  EXPECT_FALSE(dialog_->changed());
}

TEST_F(EditorDialogTest, PartCannotBeDroppedWhileAGroupIsSelected) {
  open(kDanceRecords);
  selectTreeItem(tree_->topLevelItem(0));
  ASSERT_TRUE(dialog_->beginPartsDrag(0, partItemPoint(0)));
  dialog_->dragPointerMoved(codeItemPoint(0));
  EXPECT_EQ(dialog_->dragController().shownPicture(), DragPicture::NoDropMark);
  dialog_->leftButtonReleased(codeItemPoint(0));
  EXPECT_FALSE(dialog_->changed());
  EXPECT_EQ(lines(0).size(), 3u);
}

TEST_F(EditorDialogTest, PartIsAddedToAnEmptyEvent) {
  open(kDanceRecords);
  selectTreeItem(tree_->topLevelItem(0)->child(1));
  dragPart("Wait 1 sec", codeItemPoint(0));
  EXPECT_EQ(lines(2), std::vector<std::string>{"WAIT 1000 // Wait 1 second"});
  EXPECT_EQ(codeTexts(), lines(2));
}

struct LineDropCase {
  const char* name;
  int from;
  int onto;  // row dropped on, or -1 below the last item
  std::vector<std::string> expected;
};

class LineDropTest : public EditorDialogTest, public ::testing::WithParamInterface<LineDropCase> {};

TEST_P(LineDropTest, LineMovesBeforeTheItemItIsDroppedOn) {
  const LineDropCase& c = GetParam();
  open(kDanceRecords);
  selectTreeItem(tree_->topLevelItem(1));
  const QPoint target = c.onto < 0 ? belowLastCodeItem() : codeItemPoint(c.onto);
  ASSERT_TRUE(dialog_->beginCodeDrag(c.from, codeItemPoint(c.from)));
  EXPECT_EQ(description(), "(move line, or drag outside window to delete)");
  dialog_->dragPointerMoved(target);
  EXPECT_EQ(dialog_->dragController().shownPicture(), DragPicture::ItemImage);
  dialog_->leftButtonReleased(target);
  EXPECT_EQ(lines(1), c.expected);
  EXPECT_EQ(codeTexts(), c.expected);
  EXPECT_TRUE(dialog_->changed());
  EXPECT_TRUE(messenger_.entries().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Moves, LineDropTest,
    ::testing::Values(LineDropCase{"Down", 0, 2, {"B", "A", "C", "D"}},
                      LineDropCase{"Up", 3, 0, {"D", "A", "B", "C"}},
                      LineDropCase{"BelowLastItem", 1, -1, {"A", "C", "D", "B"}},
                      LineDropCase{"OntoItself", 1, 1, {"A", "B", "C", "D"}},
                      LineDropCase{"OntoLineBelow", 1, 2, {"A", "B", "C", "D"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorDialogTest, LineDraggedOutOfTheCodeListIsDeleted) {
  const std::vector<std::function<QPoint()>> places = {
      [this] { return treePoint(); }, [this] { return partItemPoint(0); },
      [this] { return backgroundPoint(); }, [this] { return outsidePoint(); }};
  for (const auto& place : places) {
    open(kDanceRecords);
    selectTreeItem(tree_->topLevelItem(1));
    const QPoint target = place();
    ASSERT_TRUE(dialog_->beginCodeDrag(1, codeItemPoint(1)));
    dialog_->dragPointerMoved(target);
    EXPECT_EQ(dialog_->dragController().shownPicture(), DragPicture::DeleteMark);
    dialog_->leftButtonReleased(target);
    EXPECT_EQ(lines(1), (std::vector<std::string>{"A", "C", "D"}));
    EXPECT_TRUE(dialog_->changed());
    dialog_.reset();
  }
}

TEST_F(EditorDialogTest, DeletingTheLastLineShowsTheEmptyPlaceholder) {
  open({{"Tricks", {"WAIT"}}});
  selectTreeItem(tree_->topLevelItem(0));
  dragLine(0, treePoint());
  EXPECT_TRUE(lines(0).empty());
  EXPECT_EQ(codeTexts(), std::vector<std::string>{"empty   (drag parts from below to here)"});
}

TEST_F(EditorDialogTest, PlaceholdersCannotBeEdited) {
  open(kDanceRecords);
  selectTreeItem(tree_->topLevelItem(0)->child(1));
  EXPECT_FALSE(dialog_->beginCodeDrag(0, codeItemPoint(0)));
  selectTreeItem(tree_->topLevelItem(0));
  ASSERT_TRUE(dialog_->beginCodeDrag(0, codeItemPoint(0)));
  dialog_->leftButtonReleased(treePoint());
  for (int record = 0; record < 3; ++record) {
    EXPECT_EQ(lines(record), kDanceRecords[static_cast<std::size_t>(record)].lines);
  }
  EXPECT_FALSE(dialog_->changed());
}

TEST_F(EditorDialogTest, DeleteKeyDeletesTheSelectedLine) {
  open(kDanceRecords);
  selectTreeItem(tree_->topLevelItem(1));
  code_->setFocus();
  code_->setCurrentRow(2);
  QTest::keyClick(code_, Qt::Key_Delete);
  EXPECT_EQ(lines(1), (std::vector<std::string>{"A", "B", "D"}));
  EXPECT_EQ(codeTexts(), lines(1));
  EXPECT_TRUE(dialog_->changed());
  QTest::keyClick(code_, Qt::Key_Delete);  // the rebuilt list has no mark
  EXPECT_EQ(lines(1).size(), 3u);
}

TEST_F(EditorDialogTest, DeleteKeyOnPlaceholderOrPartsListDoesNothing) {
  open(kDanceRecords);
  selectTreeItem(tree_->topLevelItem(0)->child(1));
  code_->setCurrentRow(0);
  QTest::keyClick(code_, Qt::Key_Delete);
  parts_->setCurrentRow(0);
  QTest::keyClick(parts_, Qt::Key_Delete);
  EXPECT_EQ(parts_->count(), 17);
  EXPECT_FALSE(dialog_->changed());
}

TEST_F(EditorDialogTest, ReleaseOverBackgroundResetsTheDescription) {
  open(kDanceRecords);
  parts_->setCurrentRow(partRow("Turn Left"));
  EXPECT_EQ(description(), " Turn Left");
  QTest::mouseClick(dialog_.get(), Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_EQ(description(), "(please select an action)");
  EXPECT_FALSE(parts_->currentIndex().isValid());
}

TEST_F(EditorDialogTest, LostMouseCaptureEndsTheDragWithoutEdit) {
  open(kDanceRecords);
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

// --- Drags with real mouse events --------------------------------------------------

class MouseDragTest : public EditorDialogTest {
 protected:
  QPoint inWindow(QPoint global) const { return dialog_->mapFromGlobal(global); }
  void press(QPoint global) {
    QTest::mousePress(dialog_->windowHandle(), Qt::LeftButton, {}, inWindow(global));
  }
  void moveTo(QPoint global) { QTest::mouseMove(dialog_->windowHandle(), inWindow(global)); }
  void release(QPoint global) {
    QTest::mouseRelease(dialog_->windowHandle(), Qt::LeftButton, {}, inWindow(global));
  }
  void dragWithMouse(QPoint from, QPoint to) {
    press(from);
    moveTo(from + QPoint(QApplication::startDragDistance() + 2, 0));
    moveTo(to);
    release(to);
  }
};

TEST_F(MouseDragTest, PartDraggedWithTheMouseIsAppended) {
  open(kDanceRecords);
  const QPoint from = partItemPoint(partRow("Stand Up"));
  press(from);
  moveTo(from + QPoint(QApplication::startDragDistance() + 2, 0));
  EXPECT_EQ(dialog_->dragController().mode(), DragMode::Part);
  EXPECT_EQ(description(), "(drag into code window above to add)");
  moveTo(codeItemPoint(1));
  EXPECT_EQ(dialog_->dragController().shownPicture(), DragPicture::ItemImage);
  release(codeItemPoint(1));
  EXPECT_EQ(lines(0), (std::vector<std::string>{"PLAY ACTION SIT", "WAIT", "WAIT 250",
                                                "PLAY ACTION STAND", "WAIT"}));
  EXPECT_TRUE(dialog_->changed());
  EXPECT_EQ(description(), "(please select an action)");
}

TEST_F(MouseDragTest, LineDraggedWithTheMouseMovesAndDeletes) {
  open(kDanceRecords);
  selectTreeItem(tree_->topLevelItem(1));
  dragWithMouse(codeItemPoint(0), codeItemPoint(2));
  EXPECT_EQ(lines(1), (std::vector<std::string>{"B", "A", "C", "D"}));
  dragWithMouse(codeItemPoint(3), treePoint());
  EXPECT_EQ(lines(1), (std::vector<std::string>{"B", "A", "C"}));
  EXPECT_TRUE(dialog_->changed());
}

TEST_F(MouseDragTest, RightButtonDragDoesNothing) {
  open(kDanceRecords);
  selectTreeItem(tree_->topLevelItem(1));
  const QPoint from = codeItemPoint(0);
  // The right button also opens the dialog's context menu; close it whenever it appears.
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [] {
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  });
  closer.start(0);
  QTest::mousePress(dialog_->windowHandle(), Qt::RightButton, {}, inWindow(from));
  moveTo(treePoint());
  QTest::mouseRelease(dialog_->windowHandle(), Qt::RightButton, {}, inWindow(treePoint()));
  EXPECT_EQ(dialog_->dragController().mode(), DragMode::None);
  EXPECT_EQ(lines(1).size(), 4u);
  EXPECT_FALSE(dialog_->changed());
}

TEST_F(MouseDragTest, TreeItemsCannotBeDragged) {
  open(kDanceRecords);
  const QPoint from =
      tree_->viewport()->mapToGlobal(tree_->visualItemRect(tree_->topLevelItem(1)).center());
  dragWithMouse(from, codeItemPoint(0));
  EXPECT_FALSE(dialog_->changed());
  EXPECT_EQ(lines(0).size(), 3u);
}

// --- Save and cancel -----------------------------------------------------------------

TEST_F(EditorDialogTest, SaveButtonWritesAndEndsTheDialog) {
  open(kDanceRecords);
  const std::string original = readTextFile(path_);
  dragPart("Sit Down", codeItemPoint(0));
  QTest::mouseClick(save_, Qt::LeftButton);
  EXPECT_EQ(dialog_->result(), kSavedResult);
  EXPECT_FALSE(dialog_->isVisible());
  EXPECT_EQ(messenger_.texts(), std::vector<std::string>{"Changes saved!"});
  EXPECT_EQ(readTextFile(backupPath(path_)), original);
  EXPECT_EQ(editor_testing::loadParsed(path_).records[0].lines, lines(0));
}

TEST_F(EditorDialogTest, SaveWithoutEditReportsNoChanges) {
  open(kDanceRecords);
  QTest::mouseClick(save_, Qt::LeftButton);
  EXPECT_EQ(dialog_->result(), kSavedResult);
  EXPECT_EQ(messenger_.texts(), std::vector<std::string>{"File saved (no changes made)"});
}

TEST_F(EditorDialogTest, FailedSaveKeepsTheDialogOpen) {
  open(kDanceRecords);
  dragPart("Sit Down", codeItemPoint(0));
  const testing_support::TreeSnapshot before = testing_support::snapshotTree(root_.path());
  {
    platform::ScopedFault fault(1, {platform::FileOp::Create});
    QTest::mouseClick(save_, Qt::LeftButton);
  }
  EXPECT_TRUE(dialog_->isVisible());
  EXPECT_EQ(messenger_.texts(),
            std::vector<std::string>{"ERROR: Can't create new R-CODE.R file\n" + path_.string()});
  EXPECT_EQ(testing_support::snapshotTree(root_.path()), before);
  EXPECT_TRUE(dialog_->changed());
  EXPECT_EQ(lines(0).size(), 5u);
}

TEST_F(EditorDialogTest, EnterOnSaveButtonSaves) {
  open(kDanceRecords);
  save_->setFocus();
  QTest::keyClick(save_, Qt::Key_Return);
  EXPECT_EQ(dialog_->result(), kSavedResult);
}

TEST_F(EditorDialogTest, CancelWithoutEditsClosesAtOnce) {
  for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
    open(kDanceRecords);
    const testing_support::TreeSnapshot before = testing_support::snapshotTree(root_.path());
    QTest::keyClick(tree_, key);
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(dialog_->result(), kCancelledResult);
    EXPECT_TRUE(messenger_.entries().empty());
    EXPECT_EQ(testing_support::snapshotTree(root_.path()), before);
    dialog_.reset();
  }
}

TEST_F(EditorDialogTest, CancelAfterEditAsksFirst) {
  open(kDanceRecords);
  dragLine(0, treePoint());
  const testing_support::TreeSnapshot before = testing_support::snapshotTree(root_.path());
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
  EXPECT_EQ(testing_support::snapshotTree(root_.path()), before);
}

// --- About box and images ------------------------------------------------------------

TEST_F(EditorDialogTest, F1OpensTheAboutBox) {
  open(kDanceRecords);
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
}

TEST_F(EditorDialogTest, ContextMenuOffersTheAboutItem) {
  open(kDanceRecords);
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
  ensureApplication();
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

TEST(EditorImages, DragMarksAreRedAndYellowBoxes) {
  ensureApplication();
  EXPECT_TRUE(dragMark(DragPicture::ItemImage, 1.0).isNull());
  const QImage remove = dragMark(DragPicture::DeleteMark, 1.0).toImage();
  const QImage noDrop = dragMark(DragPicture::NoDropMark, 1.0).toImage();
  ASSERT_EQ(remove.size(), QSize(25, 15));
  ASSERT_EQ(noDrop.size(), QSize(25, 15));
  EXPECT_EQ(remove.pixelColor(1, 1).rgb(), QColor(255, 0, 0).rgb());
  EXPECT_EQ(noDrop.pixelColor(1, 1).rgb(), QColor(255, 255, 0).rgb());
  EXPECT_EQ(remove.pixelColor(0, 0).alpha(), 255);
}

TEST(EditorImages, ProgramIconHasTheWindowSizes) {
  ensureApplication();
  const QIcon icon = programIcon();
  EXPECT_FALSE(icon.isNull());
  for (const int size : {16, 32}) {
    const QImage image = icon.pixmap(size, size).toImage();
    EXPECT_EQ(image.size(), QSize(size, size));
    EXPECT_GT(image.pixelColor(size / 2, size / 2).alpha(), 0);
  }
}

}  // namespace
}  // namespace velk7
