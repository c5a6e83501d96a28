#include "velk_mur/stick/stick_backup.h"

#include <optional>
#include <set>

#include "platform/backups.h"
#include "platform/file_lock.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "velk_mur/stick/save_journal.h"

namespace fs = std::filesystem;

namespace velk_mur {

namespace {

constexpr std::string_view kProgramLockName = "OPEN-R/APP/PC/AMS/R-CODE.LCK";
constexpr std::string_view kProgramTemporaryName = "OPEN-R/APP/PC/AMS/R-CODE.TMP";

constexpr std::string_view kNoBackup =
    "No backup of the memory stick could be made, so nothing on it was changed\n";
constexpr std::string_view kRestoreFailed =
    "The backup could not be put back; the memory stick was not changed\n";
constexpr std::string_view kProgramBusy =
    "R-CODE.R is being saved by the program editor\nWait until it has finished, then try again";

fs::path onStick(const fs::path& stickRoot, std::string_view relative) {
  return stickRoot / platform::textToPath(relative);
}

bool refuse(std::string_view why, const std::string& detail, platform::Messenger& messenger) {
  messenger.show(std::string(why) + detail, true);
  return false;
}

// Writes every save file's replacement from the backup (or, for one the backup lacks, from the
// stick itself) beside its target, flushed; then lets the save's journal put them in place.
// Nothing on the stick changes before the journal is whole.
class SaveFilesRestore {
 public:
  SaveFilesRestore(const fs::path& backup, const fs::path& stickRoot,
                   platform::Messenger& messenger)
      : backup_(backup), stickRoot_(stickRoot), messenger_(messenger) {}

  // Whether the backup holds any of the save's files; false when that could not be checked.
  bool plan(bool& any) {
    replacements_ = saveReplacements();
    any = false;
    for (const Replacement& r : replacements_) {
      const fs::path kept = onStick(backup_, r.target);
      switch (platform::fileState(kept)) {
        case platform::FileState::Present:
          sources_.push_back(kept);
          any = true;
          continue;
        case platform::FileState::Unknown:
          return refuse(kRestoreFailed, "Could not read " + platform::pathToText(kept), messenger_);
        case platform::FileState::Absent:
          break;
      }
      const fs::path current = onStick(stickRoot_, r.target);
      if (platform::fileState(current) != platform::FileState::Present) {
        return refuse(kRestoreFailed,
                      platform::pathToText(current) + " is neither in the backup nor on the stick",
                      messenger_);
      }
      sources_.push_back(current);
    }
    return true;
  }

  bool run() {
    std::set<fs::path> folders;
    for (std::size_t k = 0; k < replacements_.size(); ++k) {
      Replacement& r = replacements_[k];
      const fs::path temporary = onStick(stickRoot_, r.temporary);
      const fs::path target = onStick(stickRoot_, r.target);
      const std::optional<platform::FileChecksum> written =
          platform::copyFile(sources_[k], temporary) ? platform::fileChecksum(temporary, false)
                                                     : std::nullopt;
      if (!written) return abandon("Could not write " + platform::pathToText(temporary));
      // Read back from the stick itself, as a save's files are.
      if (platform::fileChecksum(temporary, true) != written) {
        return abandon(platform::pathToText(temporary) + " does not hold what was written to it");
      }
      r.written = *written;
      r.replacesOld = platform::fileState(target) == platform::FileState::Present;
      folders.insert(temporary.parent_path());
    }
    for (const fs::path& folder : folders) {
      if (!platform::flushFolder(folder))
        return abandon("Could not write " + platform::pathToText(folder));
    }
    for (const Replacement& r : replacements_) {
      const fs::path target = onStick(stickRoot_, r.target);
      if (platform::replaceable(target) != platform::Replaceable::Yes) {
        return abandon(platform::pathToText(target) + " is read-only or in use by another program");
      }
    }
    const SaveJournal journal{{}, replacements_};
    if (!writeJournal(stickRoot_, journal)) {
      return abandon("Could not write " + platform::pathToText(journalPath(stickRoot_)));
    }
    if (const std::optional<CommitFailure> failed = commitReplacements(stickRoot_, journal)) {
      messenger_.show("The backup could not be put back completely: problem replacing " +
                          platform::pathToText(failed->file) +
                          "\nThe next Test, Save to Stick or restore finishes it",
                      true);
      return false;
    }
    return true;
  }

 private:
  bool abandon(const std::string& detail) {
    removeSaveLeftovers(stickRoot_);
    return refuse(kRestoreFailed, detail, messenger_);
  }

  const fs::path& backup_;
  const fs::path& stickRoot_;
  platform::Messenger& messenger_;
  std::vector<Replacement> replacements_;
  std::vector<fs::path> sources_;
};

// R-CODE.R in one rename, under the editor's own lock, so an editor saving now is not undone.
bool restoreProgram(const fs::path& kept, const fs::path& stickRoot,
                    platform::Messenger& messenger) {
  std::optional<platform::FileLock> lock;
  switch (platform::FileLock::acquire(onStick(stickRoot, kProgramLockName), lock)) {
    case platform::LockOutcome::Acquired:
      break;
    case platform::LockOutcome::HeldByOther:
      messenger.show(kProgramBusy, true);
      return false;
    case platform::LockOutcome::Failed:
      return refuse(kRestoreFailed,
                    "Could not lock " + platform::pathToText(onStick(stickRoot, kProgramFileName)),
                    messenger);
  }
  const fs::path temporary = onStick(stickRoot, kProgramTemporaryName);
  const fs::path program = onStick(stickRoot, kProgramFileName);
  if (!platform::copyFile(kept, temporary) || !platform::renameFile(temporary, program) ||
      !platform::flushFolder(program.parent_path())) {
    platform::removeFile(temporary);
    return refuse("R-CODE.R could not be put back; it is as it was before\n",
                  platform::pathToText(program), messenger);
  }
  return true;
}

}  // namespace

std::vector<std::string> savedFileNames() {
  std::vector<std::string> names;
  for (const Replacement& r : saveReplacements()) names.push_back(r.target);
  return names;
}

bool backUpBeforeSave(const fs::path& stickRoot, const fs::path& backupsFolder,
                      platform::Messenger& messenger) {
  const fs::path folder =
      platform::stickBackupsFolder(backupsFolder, platform::stickVolume(stickRoot));
  const platform::BackupResult result = platform::backUpFiles(stickRoot, savedFileNames(), folder);
  if (result.problem.empty()) return true;
  return refuse(kNoBackup, result.problem, messenger);
}

bool restoreBackup(const fs::path& backup, const fs::path& stickRoot,
                   platform::Messenger& messenger) {
  bool holdsSaveFiles = false;
  bool unreadable = false;
  for (const std::string& name : savedFileNames()) {
    const platform::FileState state = platform::fileState(onStick(backup, name));
    unreadable = unreadable || state == platform::FileState::Unknown;
    holdsSaveFiles = holdsSaveFiles || state == platform::FileState::Present;
  }
  const fs::path keptProgram = onStick(backup, kProgramFileName);
  const platform::FileState programState = platform::fileState(keptProgram);
  if (programState == platform::FileState::Unknown || unreadable) {
    return refuse(kRestoreFailed, "Could not read the backup " + platform::pathToText(backup),
                  messenger);
  }
  if (!holdsSaveFiles && programState == platform::FileState::Absent) {
    return refuse(kRestoreFailed,
                  "The backup holds none of the stick's files\n" + platform::pathToText(backup),
                  messenger);
  }
  // The save's files under the save's lock, after an interrupted save was finished or undone.
  // A backup of the program alone needs neither: a stick for the editor may have no folder for
  // the save's lock.
  if (holdsSaveFiles) {
    const std::optional<platform::FileLock> lock = lockStick(stickRoot, messenger);
    // A save that lost a file is overtaken: the backup puts every file of a save back.
    if (!lock || finishInterruptedSave(stickRoot, messenger).status == Recovery::Status::Failed) {
      return false;
    }
    SaveFilesRestore saveFiles(backup, stickRoot, messenger);
    bool any = false;
    if (!saveFiles.plan(any) || !saveFiles.run()) return false;
  }
  if (programState == platform::FileState::Present &&
      !restoreProgram(keptProgram, stickRoot, messenger)) {
    return false;
  }
  messenger.show("The backup of " + platform::pathToText(backup.filename()) +
                     " was put back on the memory stick",
                 false);
  return true;
}

}  // namespace velk_mur
