#include "save_program.h"

#include <array>
#include <string>

#include "platform/ascii_text.h"
#include "platform/backups.h"
#include "platform/file_lock.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "velk7/rcode/program_writer.h"

namespace velk7 {

namespace fs = std::filesystem;

namespace {

void reportFailure(std::string_view message, const fs::path& programPath,
                   platform::Messenger& messenger) {
  std::string text(message);
  text += platform::pathToText(programPath);
  messenger.show(text, true);
}

// Writes the whole program into a new file at `path`; false names which step failed.
enum class WriteResult { Written, CannotCreate, CannotWrite };

WriteResult writeNewFile(const RcodeProgram& program, const fs::path& path) {
  std::optional<platform::OutputFile> file = platform::OutputFile::create(path);
  if (!file) return WriteResult::CannotCreate;
  const bool written = writeProgram(program, *file);
  // A failed close may have lost buffered bytes, so it counts as a failed write.
  const bool closed = static_cast<bool>(file->close());
  return written && closed ? WriteResult::Written : WriteResult::CannotWrite;
}

}  // namespace

fs::path backupPath(const fs::path& programPath) {
  return platform::withExtension(programPath, "BAK");
}

fs::path temporaryPath(const fs::path& programPath) {
  return platform::withExtension(programPath, "TMP");
}

fs::path asidePath(const fs::path& programPath) {
  return platform::withExtension(programPath, "BK~");
}

fs::path lockPath(const fs::path& programPath) {
  return platform::withExtension(programPath, "LCK");
}

ProgramPlace programPlace(const fs::path& programPath) {
  // The stick's own place, compared part by part without regard to case, from the file up.
  constexpr std::array<std::string_view, 5> kParts{"R-CODE.R", "AMS", "PC", "APP", "OPEN-R"};
  fs::path folder = programPath;
  for (const std::string_view part : kParts) {
    if (!platform::equalsIgnoreCase(platform::pathToText(folder.filename()), part)) {
      return {programPath.parent_path(), platform::pathToText(programPath.filename())};
    }
    folder = folder.parent_path();
  }
  return {folder, "OPEN-R/APP/PC/AMS/R-CODE.R"};
}

bool saveProgram(const RcodeProgram& program, const fs::path& programPath, bool changed,
                 platform::Messenger& messenger, const fs::path& backupsFolder) {
  // Two editors saving at once would write into the same temporary file.
  std::optional<platform::FileLock> lock;
  switch (platform::FileLock::acquire(lockPath(programPath), lock)) {
    case platform::LockOutcome::Acquired:
      break;
    case platform::LockOutcome::HeldByOther:
      messenger.show(kSaveRunningMessage, true);
      return false;
    case platform::LockOutcome::Failed:
      // A stick where no lock file can be made takes no new program either.
      reportFailure(kCannotCreateMessage, programPath, messenger);
      return false;
  }
  // A dated copy on the computer first: nothing on the stick changes without a way back.
  if (!backupsFolder.empty()) {
    const ProgramPlace place = programPlace(programPath);
    const platform::BackupResult copied = platform::backUpFiles(
        place.stickRoot, {place.relativeName},
        platform::stickBackupsFolder(backupsFolder, platform::stickVolume(place.stickRoot)));
    if (!copied.problem.empty()) {
      messenger.show(std::string(kNoBackupMessage) + copied.problem, true);
      return false;
    }
  }
  const fs::path temporary = temporaryPath(programPath);
  const fs::path backup = backupPath(programPath);
  const fs::path backupCopy = asidePath(programPath);
  const auto giveUp = [&](std::string_view message) {
    platform::removeFile(temporary);
    platform::removeFile(backupCopy);
    reportFailure(message, programPath, messenger);
    return false;
  };
  // The new program is complete on the device before anything of the user's is touched, so a
  // failed save leaves R-CODE.R and its backup exactly as they were.
  switch (writeNewFile(program, temporary)) {
    case WriteResult::Written:
      break;
    case WriteResult::CannotCreate:
      reportFailure(kCannotCreateMessage, programPath, messenger);
      return false;
    case WriteResult::CannotWrite:
      return giveUp(kCannotWriteMessage);
  }
  if (!platform::flushFile(temporary)) return giveUp(kCannotWriteMessage);

  // A program that could not be checked is not taken for absent: saving on would lose it.
  const platform::FileState state = platform::fileState(programPath);
  if (state == platform::FileState::Unknown) return giveUp(kCannotWriteMessage);
  const bool hadProgram = state == platform::FileState::Present;

  // R-CODE.R exists at every instant: the backup is a copy, and the new program takes the
  // program's place in one rename. The copy replaces the old backup only after that.
  if (hadProgram && !platform::copyFile(programPath, backupCopy)) {
    return giveUp(kCannotWriteMessage);
  }
  if (!platform::renameFile(temporary, programPath)) return giveUp(kCannotWriteMessage);
  if (hadProgram && !platform::renameFile(backupCopy, backup)) {
    // The old backup stays; the program goes back to what it was, from the copy. Should that
    // fail too, the copy stays as R-CODE.BK~: nothing is deleted.
    if (!platform::renameFile(backupCopy, programPath)) {
      reportFailure(kCannotWriteMessage, programPath, messenger);
      return false;
    }
    return giveUp(kCannotWriteMessage);
  }
  if (!platform::flushFolder(programPath.parent_path())) return giveUp(kCannotWriteMessage);

  messenger.show(changed ? kChangesSavedMessage : kSavedUnchangedMessage, false);
  return true;
}

bool cancelEditing(bool changed, platform::Messenger& messenger) {
  if (!changed) return true;
  return messenger.ask(kAbandonQuestion);
}

}  // namespace velk7
