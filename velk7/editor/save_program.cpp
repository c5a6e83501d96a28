#include "velk7/editor/save_program.h"

#include <string>

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
  const bool closed = file->close();
  return written && closed ? WriteResult::Written : WriteResult::CannotWrite;
}

}  // namespace

fs::path withExtension(const fs::path& programPath, std::string_view extension) {
  const std::string name = platform::pathToText(programPath.filename());
  const std::size_t stop = name.rfind('.');
  std::string base = stop == std::string::npos ? name : name.substr(0, stop);
  base += '.';
  base += extension;
  return programPath.parent_path() / platform::textToPath(base);
}

fs::path backupPath(const fs::path& programPath) {
  return withExtension(programPath, "BAK");
}

fs::path temporaryPath(const fs::path& programPath) {
  return withExtension(programPath, "TMP");
}

fs::path asidePath(const fs::path& programPath) {
  return withExtension(programPath, "BK~");
}

bool saveProgram(const RcodeProgram& program, const fs::path& programPath, bool changed,
                 platform::Messenger& messenger) {
  // The new program is complete on disk before anything of the user's is touched, so a
  // failed save leaves R-CODE.R and its backup exactly as they were.
  const fs::path temporary = temporaryPath(programPath);
  const fs::path backup = backupPath(programPath);
  switch (writeNewFile(program, temporary)) {
    case WriteResult::Written:
      break;
    case WriteResult::CannotCreate:
      reportFailure(kCannotCreateMessage, programPath, messenger);
      return false;
    case WriteResult::CannotWrite:
      platform::removeFile(temporary);
      reportFailure(kCannotWriteMessage, programPath, messenger);
      return false;
  }

  // Only renames follow, each whole or not at all. The previous backup steps aside first, so
  // that a failing rename can put every file back where it was: after any single failure
  // R-CODE.R and R-CODE.BAK hold what they held before the save.
  const fs::path asideBackup = asidePath(programPath);
  const bool hadBackup = platform::fileExists(backup);
  const bool hadProgram = platform::fileExists(programPath);
  const auto giveUp = [&] {
    platform::removeFile(temporary);
    reportFailure(kCannotWriteMessage, programPath, messenger);
    return false;
  };
  if (hadBackup && !platform::renameFile(backup, asideBackup)) return giveUp();
  const auto restoreBackup = [&] {
    if (hadBackup) platform::renameFile(asideBackup, backup);
  };
  if (hadProgram && !platform::renameFile(programPath, backup)) {
    restoreBackup();
    return giveUp();
  }
  if (!platform::renameFile(temporary, programPath)) {
    // Should the move back fail too, the old program stays under the backup name and the
    // new one in the temporary file: nothing is deleted.
    if (hadProgram && !platform::renameFile(backup, programPath)) {
      reportFailure(kCannotWriteMessage, programPath, messenger);
      return false;
    }
    restoreBackup();
    return giveUp();
  }
  if (hadBackup) platform::removeFile(asideBackup);

  messenger.show(changed ? kChangesSavedMessage : kSavedUnchangedMessage, false);
  return true;
}

bool cancelEditing(bool changed, platform::Messenger& messenger) {
  if (!changed) return true;
  return messenger.ask(kAbandonQuestion);
}

}  // namespace velk7
