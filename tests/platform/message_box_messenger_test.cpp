#include "platform/qt/message_box_messenger.h"

#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

TEST(MessageBoxMessenger, ClosesTheProgressBeforeAQuestionAndStopsOnCancel) {
  QWidget window;
  platform::MessageBoxMessenger messenger("VELK Murmelon", QMessageBox::NoIcon,
                                          QMessageBox::Warning);
  messenger.setParent(&window);
  const auto progressBox = [&window] { return window.findChild<QProgressDialog*>(); };
  EXPECT_TRUE(messenger.progress("Checking", 0, 3));
  ASSERT_NE(progressBox(), nullptr);
  bool boxDuringQuestion = true;
  QTimer::singleShot(0, [&] {
    boxDuringQuestion = progressBox() != nullptr;
    window.findChild<QMessageBox*>()->close();
  });
  messenger.ask("Bad file name\nx\nContinue Checking?");
  EXPECT_FALSE(boxDuringQuestion);

  EXPECT_TRUE(messenger.progress("Checking", 1, 3));
  progressBox()->findChild<QPushButton*>()->click();
  EXPECT_FALSE(messenger.progress("Checking", 2, 3));
  EXPECT_EQ(progressBox(), nullptr);
}

}  // namespace
