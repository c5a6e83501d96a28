#include "generator_dialog.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>

#include "platform/qt/dialog_units.h"
#include "platform/qt/qt_text.h"
#include "preview_window.h"
#include "program_icon.h"
#include "say_dialog.h"
#include "velk_mur/commands/commands.h"
#include "velk_mur/commands/import_commands.h"

namespace velk_mur {

namespace {

constexpr int kDialogWidthUnits = 208;
constexpr int kDialogHeightUnits = 93;

using platform::toQString;
using platform::toText;

// The folder of a drag from a file manager, or nothing when it carries something else.
QString droppedFolder(const QMimeData* data) {
  const QList<QUrl> urls = data->urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return {};
  const QString path = urls.front().toLocalFile();
  return QFileInfo(path).isDir() ? QDir::toNativeSeparators(path) : QString();
}

// A path box that takes a folder dropped on it as its whole text; other file drops are
// refused rather than pasted as URLs, and dragged text behaves as in any edit.
class PathEdit : public QLineEdit {
 public:
  using QLineEdit::QLineEdit;

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override {
    if (!event->mimeData()->hasUrls()) return QLineEdit::dragEnterEvent(event);
    if (!droppedFolder(event->mimeData()).isEmpty()) event->acceptProposedAction();
  }
  void dragMoveEvent(QDragMoveEvent* event) override {
    if (!event->mimeData()->hasUrls()) return QLineEdit::dragMoveEvent(event);
    if (!droppedFolder(event->mimeData()).isEmpty()) event->acceptProposedAction();
  }
  void dropEvent(QDropEvent* event) override {
    if (!event->mimeData()->hasUrls()) return QLineEdit::dropEvent(event);
    const QString folder = droppedFolder(event->mimeData());
    if (folder.isEmpty()) return;
    setText(folder);
    setFocus(Qt::OtherFocusReason);
    event->acceptProposedAction();
  }
};

}  // namespace

enum class ControlKind { Edit, Button, Browse, Label };

struct GeneratorDialog::Control {
  std::string_view id;  // the object name; empty for labels, which nothing addresses
  ControlKind kind;
  std::string_view text;
  platform::UnitRect rect;   // in dialog units
  std::string_view partner;  // the edit a label names or a browse button fills
  std::string_view tip;      // a button's tooltip; a browse button's accessible name too
  void (GeneratorDialog::*command)() = nullptr;
};

// In creation order, which is also the tab order of the controls that take focus. Each
// folder button follows the path it fills.
std::span<const GeneratorDialog::Control> GeneratorDialog::controls() {
  using enum ControlKind;
  // clang-format off
  static constexpr Control kControls[] = {
      {"1005", Edit, "", {77, 6, 79, 14}, "", "", nullptr},
      {"stickPathBrowse", Browse, "...", {158, 6, 10, 14}, "1005",
       "Choose the memory stick folder", nullptr},
      {"1006", Edit, "", {77, 27, 79, 14}, "", "", nullptr},
      {"audioPathBrowse", Browse, "...", {158, 27, 10, 14}, "1006",
       "Choose the audio data folder", nullptr},
      {"1009", Button, "Test", {79, 52, 49, 14}, "",
       "Check the recordings and report what would be saved", &GeneratorDialog::runTest},
      {"1008", Button, "Save to Stick", {143, 52, 49, 14}, "",
       "Write the recordings and their motions to the memory stick",
       &GeneratorDialog::runSaveToStick},
      {"1010", Button, "About...", {169, 24, 32, 14}, "",
       "Show the program's version", &GeneratorDialog::runAbout},
      {"2", Button, "Done", {169, 7, 32, 14}, "",
       "Close without saving the paths", &GeneratorDialog::reject},
      {"", Label, "&Memory Stick Path:", {8, 9, 62, 8}, "1005", "", nullptr},
      {"", Label, "&Audio Data Path:", {8, 30, 55, 8}, "1006", "", nullptr},
      {"1011", Button, "Generate", {15, 52, 49, 14}, "",
       "Create the missing motion and LED files", &GeneratorDialog::runGenerate},
      {"1012", Button, "Import...", {15, 72, 49, 14}, "",
       "Convert audio files into recordings in the audio folder", &GeneratorDialog::runImport},
      {"1013", Button, "Say...", {79, 72, 49, 14}, "",
       "Speak a text into a new recording in the audio folder", &GeneratorDialog::runSay},
      {"1014", Button, "Preview...", {143, 72, 49, 14}, "",
       "Show how the robot will move and light up for a recording", &GeneratorDialog::runPreview},
  };
  // clang-format on
  return kControls;
}

GeneratorDialog::GeneratorDialog(platform::Messenger& messenger, AppEnvironment environment,
                                 QWidget* parent)
    : QDialog(parent), messenger_(messenger), environment_(std::move(environment)) {
  setWindowTitle(QString::fromLatin1(kProgramTitle));
  setWindowIcon(programIcon());
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setAcceptDrops(true);
  setFont(platform::dialogFont());
  buildControls();

  const PathTexts paths = loadPathTexts(environment_);
  stickPathEdit_->setText(toQString(paths.stickPath));
  audioPathEdit_->setText(toQString(paths.audioPath));
}

void GeneratorDialog::buildControls() {
  const platform::DialogBaseUnits base = platform::baseUnitsOf(font());
  setFixedSize(platform::horizontalPixels(kDialogWidthUnits, base),
               platform::verticalPixels(kDialogHeightUnits, base));

  // Edits come before the labels and buttons that refer to them.
  const auto editNamed = [this](std::string_view id) {
    return findChild<QLineEdit*>(toQString(id));
  };
  QWidget* previous = nullptr;
  for (const Control& control : controls()) {
    const QString text = toQString(control.text);
    QWidget* widget = nullptr;
    switch (control.kind) {
      case ControlKind::Edit: {
        auto* edit = new PathEdit(this);
        edit->setMaxLength(static_cast<int>(kMaxPathText));
        widget = edit;
        break;
      }
      case ControlKind::Button: {
        auto* button = new QPushButton(text, this);
        // No button may answer the Enter key.
        button->setAutoDefault(false);
        button->setDefault(false);
        connect(button, &QPushButton::clicked, this, control.command);
        widget = button;
        break;
      }
      case ControlKind::Browse: {
        auto* button = new QToolButton(this);
        button->setText(text);
        button->setAccessibleName(toQString(control.tip));
        QLineEdit* edit = editNamed(control.partner);
        const QString title = toQString(control.tip);
        connect(button, &QToolButton::clicked, this,
                [this, edit, title] { chooseFolder(edit, title); });
        widget = button;
        break;
      }
      case ControlKind::Label: {
        auto* label = new QLabel(text, this);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setBuddy(editNamed(control.partner));
        widget = label;
        break;
      }
    }
    widget->setObjectName(toQString(control.id));
    widget->setToolTip(toQString(control.tip));
    widget->setGeometry(platform::sizePixels(control.rect, base));
    if (control.kind != ControlKind::Label) {
      if (previous != nullptr) setTabOrder(previous, widget);
      previous = widget;
    }
  }

  stickPathEdit_ = editNamed("1005");
  audioPathEdit_ = editNamed("1006");
  stickPathEdit_->setFocus();
}

void GeneratorDialog::chooseFolder(QLineEdit* edit, const QString& title) {
  const QString folder = QFileDialog::getExistingDirectory(this, title, edit->text());
  if (!folder.isEmpty()) edit->setText(QDir::toNativeSeparators(folder));
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
