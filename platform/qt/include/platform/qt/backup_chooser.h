#pragma once
// "Restore a backup...": the stick's backups by date, newest first, one of them chosen and
// confirmed. Both programs' dialogs offer it; putting the backup back is the caller's.
#include <filesystem>
#include <optional>

#include "platform/backups.h"
#include "platform/messenger.h"

class QWidget;

namespace platform {

// The backup to put back on the stick at `stickRoot`, from its backups in `backupsFolder`;
// nothing when there are none (said), the list could not be read (said), or the user did not
// choose and confirm one.
std::optional<BackupEntry> chooseBackup(QWidget* parent, const std::filesystem::path& backupsFolder,
                                        const std::filesystem::path& stickRoot,
                                        Messenger& messenger);

}  // namespace platform
