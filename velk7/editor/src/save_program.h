#pragma once
// The two ways the editor ends: saving the program back to the stick, or cancelling.
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/messenger.h"
#include "velk7/rcode/program.h"

namespace velk7 {

inline constexpr std::string_view kCannotCreateMessage = "ERROR: Can't create new R-CODE.R file\n";
inline constexpr std::string_view kCannotWriteMessage = "ERROR: Can't write new R-CODE.R file\n";
inline constexpr std::string_view kChangesSavedMessage = "Changes saved!";
inline constexpr std::string_view kNoBackupMessage =
    "No backup of R-CODE.R could be made, so nothing was saved\n";
inline constexpr std::string_view kSaveRunningMessage =
    "Another save of R-CODE.R is running\nWait until it has finished, then save again";
inline constexpr std::string_view kSavedUnchangedMessage = "File saved (no changes made)";
inline constexpr std::string_view kAbandonQuestion =
    "WARNING: you have made changes that will not be saved if you cancel\n"
    "Do you want to abandon changes (Yes to abandon, No to go back to editing)";

std::filesystem::path backupPath(const std::filesystem::path& programPath);     // R-CODE.BAK
std::filesystem::path temporaryPath(const std::filesystem::path& programPath);  // R-CODE.TMP
// The copy of the program that becomes the backup once the new program is in place: R-CODE.BK~
std::filesystem::path asidePath(const std::filesystem::path& programPath);
// Held while a save runs, so that a second editor's save is refused: R-CODE.LCK
std::filesystem::path lockPath(const std::filesystem::path& programPath);

// Writes the program to `programPath`, keeping the previous file as the backup, and
// reports the outcome. True when the dialog may end. On failure the message names
// `programPath` and the program file and its backup are as they were before. With a
// `backupsFolder`, the previous program is first copied into a dated backup of the stick
// there, and a save that cannot copy it changes nothing.
bool saveProgram(const RcodeProgram& program, const std::filesystem::path& programPath,
                 bool changed, platform::Messenger& messenger,
                 const std::filesystem::path& backupsFolder = {});

// Where the program lies on its stick: the stick's root and the program's stick-relative
// name, OPEN-R/APP/PC/AMS/R-CODE.R; a program elsewhere counts its folder as the root.
struct ProgramPlace {
  std::filesystem::path stickRoot;
  std::string relativeName;
};
ProgramPlace programPlace(const std::filesystem::path& programPath);

// True when the dialog may close without saving: at once without edits, else when the
// user agrees to abandon them.
bool cancelEditing(bool changed, platform::Messenger& messenger);

}  // namespace velk7
