#include "velk_mur/app/generator_dialog.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

#include "velk_mur/app/commands.h"
#include "velk_mur/app/dialog_layout.h"
#include "velk_mur/app/import_commands.h"
#include "velk_mur/app/preview_window.h"
#include "velk_mur/app/program_icon.h"
#include "velk_mur/app/say_dialog.h"

namespace velk_mur {

namespace {

constexpr int kFontPointSize = 8;
constexpr const char* kFontFamily = "MS Sans Serif";
constexpr const char* kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kAlphabetLength = 52;

QString toQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string toText(const QString& text) {
  return text.toStdString();
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
  setAcceptDrops(true);
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
  connectButton("2", &GeneratorDialog::reject);
  connectButton("1012", &GeneratorDialog::runImport);
  connectButton("1013", &GeneratorDialog::runSay);
  connectButton("1014", &GeneratorDialog::runPreview);
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

void GeneratorDialog::runImport() {
  importFiles(QFileDialog::getOpenFileNames(
      this, QStringLiteral("Import recordings"), QString(),
      QStringLiteral("Audio files (*.wav *.mp3 *.m4a *.aac *.flac *.ogg *.oga *.opus *.aif *.aiff "
                     "*.wma *.amr *.3gp *.caf *.webm);;All files (*)")));
}

void GeneratorDialog::importFiles(const QStringList& paths) {
  if (paths.isEmpty()) return;
  std::vector<std::string> files;
  for (const QString& path : paths) files.push_back(toText(path));
  // A name taken already is asked about, so no wait cursor stands over the question.
  const ImportOptions options{.conversion = {}, .existing = ExistingRecording::Ask};
  velk_mur::runImport(files, std::nullopt, options, toText(audioPathEdit_->text()), messenger_);
}

void GeneratorDialog::runSay() {
  SayDialog say(this);
  if (say.exec() != QDialog::Accepted) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const ImportOptions options{.conversion = {}, .existing = ExistingRecording::Ask};
  velk_mur::runSay(say.text(), say.name(), say.speech(), options, toText(audioPathEdit_->text()),
                   messenger_);
  QApplication::restoreOverrideCursor();
}

void GeneratorDialog::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void GeneratorDialog::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) paths.push_back(url.toLocalFile());
  }
  event->acceptProposedAction();
  importFiles(paths);
}

}  // namespace velk_mur
