#pragma once
// An editor dialog opened on a small stick, its controls found by their ids, and the real
// mouse and keyboard to drive it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor_stick.h"
#include "tests/support/recording_messenger.h"
#include "velk7/editor/src/editor_dialog.h"

namespace editor_testing {

using Texts = std::vector<std::string>;

inline std::string text(const QString& value) {
  return value.toStdString();
}

inline const std::vector<RecordText> kDanceRecords = {
    {"Dances/Salsa", {"PLAY ACTION SIT", "WAIT", "WAIT 250"}},
    {"Tricks", {"A", "B", "C", "D"}},
    {"Dances/Tango", {}},
};
inline const std::string kNoEvent = "select AIBO event  (cannot drag parts here)";
inline const std::string kEmptyEvent = "empty   (drag parts from below to here)";
inline const std::string kSelectAction = "(please select an action)";

class EditorTest : public ::testing::Test {
 protected:
  void open(const std::vector<RecordText>& records = kDanceRecords,
            std::string_view userActions = {}) {
    dialog_.reset();  // a test may open several dialogs in turn
    path_ = writeStick(root_.path(), records, userActions);
    program_ = loadParsed(path_);
    dialog_ = std::make_unique<velk7::EditorDialog>(program_, path_, messenger_);
    tree_ = dialog_->findChild<QTreeWidget*>("1000");
    code_ = dialog_->findChild<QListWidget*>("1001");
    parts_ = dialog_->findChild<QListWidget*>("1003");
    category_ = dialog_->findChild<QComboBox*>("1006");
    filter_ = dialog_->findChild<QLineEdit*>("filter");
    description_ = dialog_->findChild<QLabel*>("1007");
    save_ = dialog_->findChild<QPushButton*>("1004");
    ASSERT_TRUE(tree_ && code_ && parts_ && category_ && filter_ && description_ && save_);
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
  std::string description() const { return text(description_->text()); }
  const Texts& lines(int record) const {
    return program_.records[static_cast<std::size_t>(record)].lines;
  }
  QTreeWidgetItem* treeItem(int top, int child = -1) const {
    QTreeWidgetItem* item = tree_->topLevelItem(top);
    return child < 0 ? item : item->child(child);
  }
  void select(int top, int child = -1) { tree_->setCurrentItem(treeItem(top, child)); }
  int partRow(const std::string& label) const {
    const Texts labels = texts(parts_);
    return static_cast<int>(std::find(labels.begin(), labels.end(), label) - labels.begin());
  }

  static QPoint itemPoint(const QListWidget* list, int row) {
    return list->viewport()->mapToGlobal(list->visualItemRect(list->item(row)).center());
  }
  QPoint codePoint(int row) const { return itemPoint(code_, row); }
  QPoint partPoint(const std::string& label) const { return itemPoint(parts_, partRow(label)); }
  QPoint belowLastCodeItem() const {
    const QRect last = code_->visualItemRect(code_->item(code_->count() - 1));
    return code_->viewport()->mapToGlobal(last.bottomLeft() + QPoint(2, 20));
  }
  QPoint treePoint() const { return tree_->mapToGlobal(tree_->rect().center()); }

  void mouse(QTest::MouseAction action, QPoint global) {
    const QPoint at = dialog_->mapFromGlobal(global);
    if (action == QTest::MouseMove) {
      QTest::mouseMove(dialog_->windowHandle(), at);
    } else {
      QTest::mouseEvent(action, dialog_->windowHandle(), Qt::LeftButton, {}, at);
    }
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

  testing_support::TempDir root_;
  std::filesystem::path path_;
  velk7::RcodeProgram program_;
  platform::RecordingMessenger messenger_;
  std::unique_ptr<velk7::EditorDialog> dialog_;
  QTreeWidget* tree_ = nullptr;
  QListWidget* code_ = nullptr;
  QListWidget* parts_ = nullptr;
  QComboBox* category_ = nullptr;
  QLineEdit* filter_ = nullptr;
  QLabel* description_ = nullptr;
  QPushButton* save_ = nullptr;
};

}  // namespace editor_testing
