#pragma once
// Saving the audio folder's recordings to the memory stick: the three data archives, the
// action configuration ERS-7.MWC and the R-CODE action catalogue ACTION.CFG, all or nothing.
#include <filesystem>

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

}  // namespace velk_mur
