#include "velk_mur/app/generator_dialog.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "velk_mur/app/commands.h"
#include "velk_mur/app/dialog_layout.h"
#include "velk_mur/app/preview_window.h"
#include "velk_mur/app/program_icon.h"

namespace velk_mur {

namespace {

constexpr int kFontPointSize = 8;
constexpr const char* kFontFamily = "MS Sans Serif";
constexpr const char* kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kAlphabetLength = 52;

QString toQString(std::string_view text) {
  return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

std::string toText(const QString& text) {
  return text.toLocal8Bit().toStdString();
}

DialogBaseUnits baseUnitsOf(const QFont& font) {
  const QFontMetrics metrics(font);
  const int alphabetWidth = metrics.horizontalAdvance(QString::fromLatin1(kAlphabet));
  return {scaleRounded(alphabetWidth, 1, kAlphabetLength), metrics.height()};
}

QRect toQRect(const DialogUnitsRect& rect) {
  return {rect.x, rect.y, rect.width, rect.height};
}

}  // namespace

GeneratorDialog::GeneratorDialog(platform::Messenger& messenger, AppEnvironment environment,
                                 QWidget* parent)
    : QDialog(parent), messenger_(messenger), environment_(std::move(environment)) {
  setWindowTitle(QString::fromLatin1(kProgramTitle));
  setWindowIcon(programIcon());
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  QFont font(QString::fromLatin1(kFontFamily), kFontPointSize);
  font.setStyleHint(QFont::SansSerif);
  setFont(font);
  buildControls();

  const PathTexts paths = loadPathTexts(environment_);
  stickPathEdit_->setText(toQString(paths.stickPath));
  audioPathEdit_->setText(toQString(paths.audioPath));
}

void GeneratorDialog::buildControls() {
  const DialogBaseUnits base = baseUnitsOf(font());
  const DialogUnitsRect size = toPixels({0, 0, kDialogWidthUnits, kDialogHeightUnits}, base);
  setFixedSize(size.width, size.height);

  QWidget* previous = nullptr;
  for (const ControlTemplate& control : kGeneratorControls) {
    const QString text = toQString(control.text);
    QWidget* widget = nullptr;
    switch (control.kind) {
      case ControlKind::Edit: {
        auto* edit = new QLineEdit(this);
        edit->setMaxLength(static_cast<int>(kMaxPathText));
        widget = edit;
        break;
      }
      case ControlKind::Button: {
        auto* button = new QPushButton(text, this);
        // No button may answer the Enter key.
        button->setAutoDefault(false);
        button->setDefault(false);
        widget = button;
        break;
      }
      case ControlKind::Label: {
        auto* label = new QLabel(text, this);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        widget = label;
        break;
      }
    }
    widget->setObjectName(toQString(control.id));
    widget->setGeometry(toQRect(toPixels(control.rect, base)));
    if (control.kind != ControlKind::Label) {
      if (previous != nullptr) setTabOrder(previous, widget);
      previous = widget;
    }
  }

  stickPathEdit_ = findChild<QLineEdit*>(QStringLiteral("1005"));
  audioPathEdit_ = findChild<QLineEdit*>(QStringLiteral("1006"));
  const auto connectButton = [this](const char* id, void (GeneratorDialog::*slot)()) {
    connect(findChild<QPushButton*>(QString::fromLatin1(id)), &QPushButton::clicked, this, slot);
  };
  connectButton("1011", &GeneratorDialog::runGenerate);
  connectButton("1009", &GeneratorDialog::runTest);
  connectButton("1008", &GeneratorDialog::runSaveToStick);
  connectButton("1010", &GeneratorDialog::runAbout);
  connectButton("1012", &GeneratorDialog::runPreview);
  connectButton("2", &GeneratorDialog::reject);
  stickPathEdit_->setFocus();
}

PathTexts GeneratorDialog::pathTexts() const {
  return {toText(stickPathEdit_->text()), toText(audioPathEdit_->text())};
}

void GeneratorDialog::keyPressEvent(QKeyEvent* event) {
  // Enter is the dialog's accept command, which does nothing here.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void GeneratorDialog::runGenerate() {
  velk_mur::runGenerate(pathTexts(), environment_, messenger_);
}

void GeneratorDialog::runTest() {
  velk_mur::runTest(pathTexts(), environment_, messenger_);
}

void GeneratorDialog::runSaveToStick() {
  const auto setBusy = [](bool busy) {
    if (busy) {
      QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
      QApplication::restoreOverrideCursor();
    }
  };
  const CommandResult result =
      velk_mur::runSaveToStick(pathTexts(), environment_, messenger_, setBusy);
  if (result.closeDialog) accept();
}

void GeneratorDialog::runAbout() {
  showAbout(messenger_);
}

void GeneratorDialog::runPreview() {
  previewRecording(this, audioFolderFromText(pathTexts().audioPath), messenger_);
}

}  // namespace velk_mur
