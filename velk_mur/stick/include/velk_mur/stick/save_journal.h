#pragma once
// What a save is about to do on the stick, kept in a small journal beside its new files, so an
// interrupted save (a crash, a pulled stick, power lost) is finished, undone or rebuilt by the
// next command instead of leaving archives that the robot's configuration does not describe.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_lock.h"
#include "platform/files.h"
#include "platform/messenger.h"

namespace velk_mur {

// One new file, the file it replaces and the name the old one is kept under until the new one
// is in place, all stick-relative; the new file's size and checksum, and whether there was an
// old one.
struct Replacement {
  std::string temporary;
  std::string target;
  std::string aside;
  platform::FileChecksum written;
  bool replacesOld = false;
};

// A save's journal: where its recordings came from (to write a lost file anew) and its five
// replacements, in the order they are made: the archives, ACTION.CFG, and ERS-7.MWC last.
struct SaveJournal {
  std::filesystem::path audioFolder;
  std::vector<Replacement> replacements;
};

// The five replacements' names; sizes and checksums left empty.
std::vector<Replacement> saveReplacements();

// OPEN-R/MW/CONF/SAVE.JNL under the stick's root.
std::filesystem::path journalPath(const std::filesystem::path& stickRoot);

// Locks the stick for one save, reporting a stick that another save holds or that cannot be
// locked (read-only, full or gone).
std::optional<platform::FileLock> lockStick(const std::filesystem::path& stickRoot,
                                            platform::Messenger& messenger);

// Writes the journal and flushes it and its folder; the reason when that failed (nothing
// reported).
platform::FileOutcome writeJournal(const std::filesystem::path& stickRoot,
                                   const SaveJournal& journal);

// Puts every new file in place, keeping each old file under its aside name until all new ones
// are in place, then removes the old ones and the journal. Any one directory write may be lost
// on the way: a complete copy of each file stays findable by a name the journal knows. On
// failure, the file concerned and why.
struct CommitFailure {
  std::filesystem::path file;
  platform::FileError error = platform::FileError::Io;
};
std::optional<CommitFailure> commitReplacements(const std::filesystem::path& stickRoot,
                                                const SaveJournal& journal);

// Removes the new files of a save that never wrote its journal, and a journal; the path of one
// that could not be removed or checked.
std::optional<std::filesystem::path> removeSaveLeftovers(const std::filesystem::path& stickRoot);

// Takes the stick's lock, saying nothing.
platform::LockOutcome tryLockStick(const std::filesystem::path& stickRoot,
                                   std::optional<platform::FileLock>& lock);

// Whether a save's journal, new files or old files kept aside are on the stick.
bool unfinishedSaveOnStick(const std::filesystem::path& stickRoot);

// What the recovery of an interrupted save left.
struct Recovery {
  enum class Status {
    Whole,     // nothing to do, or finished or undone, and said so
    Failed,    // reported; nothing may be written
    LostFiles  // files lost under every name (not yet reported): only a save writes them anew
  };
  Status status = Status::Whole;
  std::vector<std::string> lost;      // by their names on the stick
  std::filesystem::path audioFolder;  // where the interrupted save's recordings were
};

// With the stick locked: finishes an interrupted save whose new files are all complete, puts
// the old files back when only they are, and never removes the only complete copy of a file.
// "Finished" or "undone" is said only of a stick that holds every file it needs. When a file
// was lost under every name, the configuration (whose other blocks only the stick holds) is
// put in place from any complete copy, and the lost files are left to a save; a configuration
// lost under every name is reported.
Recovery finishInterruptedSave(const std::filesystem::path& stickRoot,
                               platform::Messenger& messenger);

}  // namespace velk_mur
