#include "platform/qt/message_box_messenger.h"

#include <QApplication>
#include <QProgressDialog>

namespace platform {

namespace {
QString toQString(std::string_view text) {
  return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}
constexpr int kProgressDelayMs = 500;
}  // namespace

MessageBoxMessenger::MessageBoxMessenger(QString caption, QMessageBox::Icon reportIcon,
                                         QMessageBox::Icon errorIcon,
                                         QMessageBox::Icon questionIcon)
    : caption_(std::move(caption)),
      reportIcon_(reportIcon),
      errorIcon_(errorIcon),
      questionIcon_(questionIcon) {}

void MessageBoxMessenger::show(std::string_view text, bool isError) {
  QMessageBox box(isError ? errorIcon_ : reportIcon_, caption_, toQString(text), QMessageBox::Ok,
                  parent_);
  box.exec();
}

bool MessageBoxMessenger::ask(std::string_view question) {
  QMessageBox box(questionIcon_, caption_, toQString(question), QMessageBox::Yes | QMessageBox::No,
                  parent_);
  box.setDefaultButton(defaultAnswer_ ? QMessageBox::Yes : QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

void MessageBoxMessenger::progress(std::string_view what, int done, int total) {
  if (progress_ == nullptr) {
    progress_ = new QProgressDialog(toQString(what), QString(), 0, total, parent_);
    progress_->setWindowTitle(caption_);
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setMinimumDuration(kProgressDelayMs);
    progress_->setCancelButton(nullptr);
  }
  progress_->setMaximum(total);
  progress_->setValue(done);
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  if (done >= total) {
    delete progress_;
    progress_ = nullptr;
  }
}

}  // namespace platform
