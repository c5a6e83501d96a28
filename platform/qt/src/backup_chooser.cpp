#include "platform/qt/backup_chooser.h"

#include <QInputDialog>
#include <QStringList>

#include "platform/path_text.h"
#include "platform/qt/qt_text.h"

namespace platform {

std::optional<BackupEntry> chooseBackup(QWidget* parent, const std::filesystem::path& backupsFolder,
                                        const std::filesystem::path& stickRoot,
                                        Messenger& messenger) {
  const std::filesystem::path folder = stickBackupsFolder(backupsFolder, stickVolume(stickRoot));
  const BackupList list = listBackups(folder);
  if (!list.problem.empty()) {
    messenger.show(list.problem, true);
    return std::nullopt;
  }
  if (list.backups.empty()) {
    messenger.show(
        "No backups of this memory stick yet: every save makes one first\n" + pathToText(folder),
        false);
    return std::nullopt;
  }
  QStringList dates;
  for (const BackupEntry& entry : list.backups) dates << toQString(entry.date);
  bool chosen = false;
  const QString date = QInputDialog::getItem(
      parent, QStringLiteral("Restore a backup"),
      QStringLiteral("Backups of this memory stick, newest first:"), dates, 0, false, &chosen);
  if (!chosen) return std::nullopt;
  const BackupEntry& entry = list.backups[static_cast<std::size_t>(dates.indexOf(date))];
  if (!messenger.ask("Put the backup of " + entry.date +
                     " back on the memory stick?\nIts files replace the ones on the stick now")) {
    return std::nullopt;
  }
  return entry;
}

}  // namespace platform
