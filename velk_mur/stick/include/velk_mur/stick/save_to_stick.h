#pragma once
// Saving the audio folder's recordings to the memory stick: the three data archives, the
// action configuration ERS-7.MWC and the R-CODE action catalogue ACTION.CFG, all or nothing.
#include <filesystem>
#include <optional>

#include "platform/messenger.h"

namespace velk_mur {

// stickRoot: the stick's root folder (the application has already turned the typed text into
// a folder path; with or without trailing separator both mean that folder). The archives are
// sized from this function's own listing of the folder. Holds the stick's lock (a second save
// is refused), first finishes or undoes an interrupted save, and returns true only once every
// new file is in place and flushed to the stick. Shows its own messages. With a
// `backupsFolder`, the files it replaces are copied there first (stick_backup.h), and a save
// that cannot copy them changes nothing.
bool saveToStick(const std::filesystem::path& audioFolder, const std::filesystem::path& stickRoot,
                 platform::Messenger& messenger, const std::filesystem::path& backupsFolder = {});

// What every command that opens the stick calls first: an interrupted save is finished, undone
// or, when it lost a file, written anew from its recordings (those its journal names, else
// `audioFolder`). A stick that another save holds is left alone; a read-only stick with an
// unfinished save is reported. False (reported) when the stick could not be made whole,
// naming what was lost and what to do.
bool recoverInterruptedSave(const std::filesystem::path& stickRoot, platform::Messenger& messenger,
                            const std::optional<std::filesystem::path>& audioFolder = {});

}  // namespace velk_mur
