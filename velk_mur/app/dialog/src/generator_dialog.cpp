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

#include "generator_template.h"
#include "platform/qt/control_table.h"
#include "platform/qt/dialog_units.h"
#include "platform/qt/qt_text.h"
#include "preview_window.h"
#include "program_icon.h"
#include "room_bar.h"
#include "stick_assistant.h"
#ifdef VELK_MUR_WITH_IMPORT
#include "say_dialog.h"
#include "velk_mur/commands/import_module.h"
#endif
#include "velk_mur/commands/commands.h"
#include "velk_mur/generate/naming.h"

namespace velk_mur {

namespace {

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

GeneratorDialog::GeneratorDialog(platform::Messenger& messenger, AppEnvironment environment,
                                 QWidget* parent, platform::VolumeSource* volumes)
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

  using namespace control_id;
  stick_ = std::make_unique<StickAssistant>(
      StickAssistant::Controls{*this, *stickPathEdit_, *audioPathEdit_,
                               *platform::control<QLabel>(*this, kStickStatus),
                               *platform::control<RoomBar>(*this, kRoomBar)},
      volumes != nullptr ? *volumes : systemVolumes_, environment_, messenger_);
  connect(platform::control<QPushButton>(*this, kRestoreBackup), &QPushButton::clicked,
          stick_.get(), &StickAssistant::restoreBackup);
  stick_->start();
}

GeneratorDialog::~GeneratorDialog() = default;

void GeneratorDialog::buildControls() {
  using namespace control_id;
  platform::buildControls(*this, kGeneratorControls,
                          [](const platform::ControlRow& row, QWidget* parent) -> QWidget* {
                            if (row.id == kRoomBar) return new RoomBar(parent);
                            if (row.kind != platform::ControlKind::LineEdit) return nullptr;
                            auto* edit = new PathEdit(parent);
                            edit->setMaxLength(static_cast<int>(kMaxPathText));
                            return edit;
                          });
  const platform::DialogBaseUnits base = platform::baseUnitsOf(font());
  setFixedSize(platform::horizontalPixels(kGeneratorSize.width, base),
               platform::verticalPixels(kGeneratorSize.height, base));
  platform::placeControls(*this, kGeneratorControls, platform::Rounding::Sizes);
  // The captions sit at the top of their rows, as the template's texts do.
  for (QLabel* caption : findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
    caption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  }

  const std::pair<std::string_view, void (GeneratorDialog::*)()> commands[] = {
      {kTest, &GeneratorDialog::runTest},         {kSaveToStick, &GeneratorDialog::runSaveToStick},
      {kAbout, &GeneratorDialog::runAbout},       {kDone, &GeneratorDialog::reject},
      {kGenerate, &GeneratorDialog::runGenerate}, {kPreview, &GeneratorDialog::runPreview},
#ifdef VELK_MUR_WITH_IMPORT
      {kImport, &GeneratorDialog::runImport},     {kSay, &GeneratorDialog::runSay},
#endif
  };
  for (const auto& [id, command] : commands) {
    connect(platform::control<QPushButton>(*this, id), &QPushButton::clicked, this, command);
  }
  for (const platform::ControlRow& row : kGeneratorControls) {
    if (row.kind != platform::ControlKind::ToolButton) continue;
    QLineEdit* edit = platform::control<QLineEdit>(*this, row.buddy);
    const QString title = toQString(row.tip);
    connect(platform::control<QToolButton>(*this, row.id), &QToolButton::clicked, this,
            [this, edit, title] { chooseFolder(edit, title); });
  }

#ifndef VELK_MUR_WITH_IMPORT
  // Built without the decoders and the speech synthesizer: greyed out, saying why.
  for (const auto& [id, tip] :
       {std::pair{kImport, "This build takes WAV recordings only: copy them into the audio folder"},
        {kSay, "This build has no speech synthesizer"}}) {
    auto* button = platform::control<QPushButton>(*this, id);
    button->setEnabled(false);
    button->setToolTip(QString::fromUtf8(tip));
  }
#endif

  stickPathEdit_ = platform::control<QLineEdit>(*this, kStickPath);
  audioPathEdit_ = platform::control<QLineEdit>(*this, kAudioPath);
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
  stick_->roomMayHaveChanged();
}

void GeneratorDialog::runSaveToStick() {
  if (!stick_->stickStillThere()) return;
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

#ifdef VELK_MUR_WITH_IMPORT
void GeneratorDialog::runImport() {
  std::string filter = "Audio files (" + std::string(kRecordingPattern);
  for (const std::string_view pattern : kImportableSoundPatterns)
    filter += " " + std::string(pattern);
  filter += ");;All files (*)";
  importFiles(QFileDialog::getOpenFileNames(this, QStringLiteral("Import recordings"), QString(),
                                            platform::toQString(filter)));
}

void GeneratorDialog::importFiles(const QStringList& paths) {
  if (paths.isEmpty()) return;
  std::vector<std::string> files;
  for (const QString& path : paths) files.push_back(toText(path));
  // A name taken already is asked about, so no wait cursor stands over the question.
  const ImportOptions options{.conversion = {}, .existing = ExistingRecording::Ask};
  const LoadedImportCommands loaded = loadImportCommands();
  if (loaded.commands == nullptr) {
    messenger_.show(loaded.problem, true);
    return;
  }
  loaded.commands->importFiles(files, std::nullopt, options, toText(audioPathEdit_->text()),
                               messenger_);
}

void GeneratorDialog::runSay() {
  const LoadedImportCommands loaded = loadImportCommands();
  if (loaded.commands == nullptr) {
    messenger_.show(loaded.problem, true);
    return;
  }
  SayDialog say(loaded.commands->installedVoices().value_or(std::vector<VoiceInfo>{}), this);
  if (say.exec() != QDialog::Accepted) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const ImportOptions options{.conversion = {}, .existing = ExistingRecording::Ask};
  loaded.commands->say(say.text(), say.name(), say.speech(), options,
                       toText(audioPathEdit_->text()), messenger_);
  QApplication::restoreOverrideCursor();
}
#endif

void GeneratorDialog::dragEnterEvent(QDragEnterEvent* event) {
  // Files dropped elsewhere than on a path box are imported, in a build that can.
#ifdef VELK_MUR_WITH_IMPORT
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
#else
  (void)event;
#endif
}

void GeneratorDialog::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) paths.push_back(url.toLocalFile());
  }
  event->acceptProposedAction();
#ifdef VELK_MUR_WITH_IMPORT
  importFiles(paths);
#endif
}

}  // namespace velk_mur
