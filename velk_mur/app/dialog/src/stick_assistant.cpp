#include "stick_assistant.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <filesystem>
#include <system_error>

#include "platform/backups.h"
#include "platform/path_text.h"
#include "platform/qt/backup_chooser.h"
#include "platform/qt/qt_text.h"
#include "room_bar.h"
#include "velk_mur/commands/commands.h"
#include "velk_mur/commands/stick_commands.h"

namespace fs = std::filesystem;

namespace velk_mur {

namespace {

constexpr int kRoomDelayMs = 300;

using platform::toQString;
using platform::toText;

}  // namespace

StickAssistant::StickAssistant(Controls controls, platform::VolumeSource& volumes,
                               const AppEnvironment& environment, platform::Messenger& messenger)
    : controls_(controls),
      volumes_(volumes),
      environment_(environment),
      messenger_(messenger),
      watcher_(volumes, platform::kMotionStickMarker) {
  roomDelay_.setSingleShot(true);
  roomDelay_.setInterval(kRoomDelayMs);
  connect(&roomDelay_, &QTimer::timeout, this, &StickAssistant::updateRoom);
  connect(&watcher_, &platform::StickWatcher::sticksChanged, this, &StickAssistant::sticksChanged);
  connect(&controls_.stickPath, &QLineEdit::textChanged, this, &StickAssistant::roomMayHaveChanged);
  connect(&controls_.audioPath, &QLineEdit::textChanged, this, &StickAssistant::roomMayHaveChanged);
}

void StickAssistant::start() {
  watcher_.start();
  offerStick();
  updateRoom();
}

void StickAssistant::setStatus(const QString& line) {
  // One line: a long path gives up its middle, and the whole line stays in the tooltip.
  controls_.status.setToolTip(line);
  controls_.status.setText(
      controls_.status.fontMetrics().elidedText(line, Qt::ElideMiddle, controls_.status.width()));
}

bool StickAssistant::stickPathGone() const {
  const std::string text = toText(controls_.stickPath.text());
  std::error_code error;
  const fs::file_status status =
      fs::status(stickRootFromText(expandPathText(text, environment_)), error);
  // Only a folder that is surely not there counts: one that could not be checked may be.
  return status.type() == fs::file_type::not_found;
}

void StickAssistant::sticksChanged() {
  const platform::StickChange& change = watcher_.lastChange();
  const QString field = controls_.stickPath.text();
  for (const platform::Volume& gone : change.left) {
    if (stickRootFromText(expandPathText(toText(field), environment_)) ==
        stickRootFromText(platform::pathToText(gone.root))) {
      setStatus(QStringLiteral("The memory stick at %1 was pulled out").arg(field));
    }
  }
  offerStick();
  roomMayHaveChanged();
}

void StickAssistant::offerStick() {
  if (!controls_.stickPath.text().trimmed().isEmpty() && !stickPathGone()) return;
  const std::vector<platform::Volume>& sticks = watcher_.sticks();
  if (sticks.empty()) return;
  // The stick plugged in last is the one the user is holding.
  const std::vector<platform::Volume>& arrived = watcher_.lastChange().arrived;
  const platform::Volume& offered = arrived.empty() ? sticks.front() : arrived.back();
  controls_.stickPath.setText(
      QDir::toNativeSeparators(toQString(platform::pathToText(offered.root))));
  // The path is in the field already: the line says what kind of stick it is.
  std::string details = offered.fileSystem + ", " + platform::sizeText(offered.size);
  if (!offered.label.empty()) details += ", " + offered.label;
  QString line = QStringLiteral("Memory stick found (%1)").arg(toQString(details));
  if (sticks.size() > 1) line += QStringLiteral(", one of %1 plugged in").arg(sticks.size());
  setStatus(line);
}

bool StickAssistant::stickStillThere() {
  watcher_.refresh();
  if (controls_.stickPath.text().trimmed().isEmpty() || !stickPathGone()) return true;
  const QString text = QStringLiteral(
                           "The memory stick is no longer there: %1\nPlug it in again, or "
                           "choose the stick's folder; nothing was saved")
                           .arg(controls_.stickPath.text());
  setStatus(text.section(QLatin1Char('\n'), 0, 0));
  messenger_.show(toText(text), true);
  return false;
}

void StickAssistant::roomMayHaveChanged() {
  roomDelay_.start();
}

void StickAssistant::updateRoom() {
  const fs::path stickRoot =
      stickRootFromText(expandPathText(toText(controls_.stickPath.text()), environment_));
  const fs::path audioFolder =
      audioFolderFromText(expandPathText(toText(controls_.audioPath.text()), environment_));
  std::error_code error;
  const bool named = !controls_.stickPath.text().trimmed().isEmpty();
  const std::optional<StickRoom> room = named && fs::is_directory(stickRoot, error)
                                            ? roomForSave(audioFolder, stickRoot)
                                            : std::nullopt;
  if (!room) {
    controls_.room.setFigures(std::nullopt);
    return;
  }
  RoomFigures figures;
  figures.available = room->available;
  figures.needed = room->needed;
  figures.talking = talkingActionsBytes(stickRoot, room->clusterSize);
  fs::path root = fs::weakly_canonical(stickRoot, error);
  if (error) root = stickRoot;
  if (const std::optional<platform::Volume> volume =
          platform::volumeHolding(root, volumes_.list().volumes)) {
    figures.size = volume->size;
  }
  controls_.room.setFigures(figures);
}

void StickAssistant::restoreBackup() {
  if (environment_.backupsFolder.empty()) {
    messenger_.show(kNoBackupsFolder, true);
    return;
  }
  const PathTexts paths{toText(controls_.stickPath.text()), toText(controls_.audioPath.text())};
  const fs::path stickRoot = stickRootFromText(expandPathText(paths.stickPath, environment_));
  const std::optional<platform::BackupEntry> backup =
      platform::chooseBackup(&controls_.dialog, environment_.backupsFolder, stickRoot, messenger_);
  if (!backup) return;
  runRestore(paths, platform::pathToText(backup->folder), environment_, messenger_);
  updateRoom();
}

}  // namespace velk_mur
