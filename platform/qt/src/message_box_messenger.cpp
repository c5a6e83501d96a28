#include "platform/qt/message_box_messenger.h"

#include <algorithm>

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpacerItem>

#include "platform/qt/qt_text.h"

namespace platform {

namespace {
constexpr int kProgressDelayMs = 500;
// Room for a window manager's icon and buttons, in text lines.
constexpr int kTitleBarButtonsInLines = 10;
// Window managers shorten a caption that does not fit beside their title-bar buttons
// ("VELK … melon"), so a box is at least this wide.
int widthForCaption(const QWidget& box) {
  const QFontMetrics metrics(box.font());
  return metrics.horizontalAdvance(box.windowTitle()) + kTitleBarButtonsInLines * metrics.height();
}

// A message box sizes itself to its text; a spacer across its grid widens it.
void makeRoomForCaption(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (grid == nullptr) return;
  grid->addItem(
      new QSpacerItem(widthForCaption(box), 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
      grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace

MessageBoxMessenger::MessageBoxMessenger(QString caption, QMessageBox::Icon reportIcon,
                                         QMessageBox::Icon errorIcon,
                                         QMessageBox::Icon questionIcon)
    : caption_(std::move(caption)),
      reportIcon_(reportIcon),
      errorIcon_(errorIcon),
      questionIcon_(questionIcon) {}

void MessageBoxMessenger::show(std::string_view text, bool isError) {
  closeProgress();
  QMessageBox box(isError ? errorIcon_ : reportIcon_, caption_, toQString(text), QMessageBox::Ok,
                  parent_);
  makeRoomForCaption(box);
  box.exec();
}

bool MessageBoxMessenger::ask(std::string_view question) {
  closeProgress();
  QMessageBox box(questionIcon_, caption_, toQString(question), QMessageBox::Yes | QMessageBox::No,
                  parent_);
  box.setDefaultButton(defaultAnswer_ ? QMessageBox::Yes : QMessageBox::No);
  makeRoomForCaption(box);
  return box.exec() == QMessageBox::Yes;
}

bool MessageBoxMessenger::progress(std::string_view what, int done, int total) {
  if (progress_ == nullptr) {
    progress_ = new QProgressDialog(toQString(what), QString(), 0, total, parent_);
    progress_->setWindowTitle(caption_);
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setMinimumDuration(kProgressDelayMs);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setToolTip(QStringLiteral("Stop once the file in hand is complete"));
    progress_->setCancelButton(cancel);
    progress_->setMinimumWidth(
        std::max(progress_->sizeHint().width(), widthForCaption(*progress_)));
  }
  progress_->setMaximum(total);
  progress_->setValue(done);
  // Before the box shows, a click on the window behind it would start a second command.
  QApplication::processEvents(progress_->isVisible() ? QEventLoop::AllEvents
                                                     : QEventLoop::ExcludeUserInputEvents);
  const bool goOn = !progress_->wasCanceled();
  if (!goOn || done >= total) closeProgress();
  return goOn;
}

// A box left behind would show itself over the next message and take its keyboard.
void MessageBoxMessenger::closeProgress() {
  delete progress_;
  progress_ = nullptr;
}

}  // namespace platform
