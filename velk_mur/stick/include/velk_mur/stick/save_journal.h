#pragma once
// What a save is about to do on the stick, kept in a small journal beside its new files, so an
// interrupted save (a crash, a pulled stick, power lost) is finished or undone by the next
// command instead of leaving archives that the robot's configuration does not describe.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_lock.h"
#include "platform/files.h"
#include "platform/messenger.h"

namespace velk_mur {

// One new file and the file it replaces, both stick-relative, and the new file's size.
struct Replacement {
  std::string temporary;
  std::string target;
  std::uint64_t size = 0;
};

// The five replacements of a save, in the order they are made: the archives, ACTION.CFG,
// and ERS-7.MWC last. Sizes are left 0.
std::vector<Replacement> saveReplacements();

// OPEN-R/MW/CONF/SAVE.JNL under the stick's root.
std::filesystem::path journalPath(const std::filesystem::path& stickRoot);

// Locks the stick for one save, reporting a stick that another save holds or that cannot be
// locked (unless `quiet`: recovery simply leaves such a stick alone).
std::optional<platform::FileLock> lockStick(const std::filesystem::path& stickRoot,
                                            platform::Messenger& messenger, bool quiet = false);

// Writes the journal and flushes it and its folder; the reason when that failed (nothing
// reported).
platform::FileOutcome writeJournal(const std::filesystem::path& stickRoot,
                                   const std::vector<Replacement>& replacements);

// Renames each new file still there over its target, flushes the folders, and removes the
// journal. On failure, the path of the file that could not be replaced or flushed.
std::optional<std::filesystem::path> replaceAll(const std::filesystem::path& stickRoot,
                                                const std::vector<Replacement>& replacements);

// Removes every new file of a save and the journal; false when one could not be removed or
// checked, with its path.
std::optional<std::filesystem::path> removeSaveLeftovers(const std::filesystem::path& stickRoot);

// With the stick locked: finishes an interrupted save whose new files are complete, or removes
// its files when they are not, and says which in one line. False (reported) when neither could
// be done, and then nothing may be written.
bool finishInterruptedSave(const std::filesystem::path& stickRoot, platform::Messenger& messenger);

// What every command that opens the stick calls first. A stick that another save holds is
// left alone. False (reported) when an interrupted save could be neither finished nor undone.
bool recoverInterruptedSave(const std::filesystem::path& stickRoot, platform::Messenger& messenger);

}  // namespace velk_mur
