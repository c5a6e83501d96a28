#pragma once
// The dialogs' Messenger: modal message boxes captioned with the program's name.
#include <QMessageBox>
#include <QString>

#include "platform/messenger.h"

class QWidget;
class QProgressDialog;

namespace platform {

class MessageBoxMessenger : public Messenger {
 public:
  // Reports carry `reportIcon`, or `errorIcon` when they are errors; questions `questionIcon`.
  MessageBoxMessenger(QString caption, QMessageBox::Icon reportIcon, QMessageBox::Icon errorIcon,
                      QMessageBox::Icon questionIcon = QMessageBox::Question);

  // The window the boxes belong to; none means application-modal without parent.
  void setParent(QWidget* parent) { parent_ = parent; }
  // The answer Enter gives to a question; Yes unless set.
  void setDefaultAnswer(bool yes) { defaultAnswer_ = yes; }

  void show(std::string_view text, bool isError) override;
  bool ask(std::string_view question) override;
  bool progress(std::string_view what, int done, int total) override;

 private:
  void closeProgress();

  QString caption_;
  QMessageBox::Icon reportIcon_;
  QMessageBox::Icon errorIcon_;
  QMessageBox::Icon questionIcon_;
  QWidget* parent_ = nullptr;
  bool defaultAnswer_ = true;
  QProgressDialog* progress_ = nullptr;
};

}  // namespace platform
