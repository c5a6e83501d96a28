#include "velk7/rcode/start_up.h"

#include <string>

#include "platform/path_text.h"
#include "velk7/rcode/catalogue.h"
#include "velk_mur/stick/save_to_stick.h"

namespace velk7 {

std::optional<LoadedProgram> startUp(std::string_view commandLine,
                                     const std::filesystem::path& currentFolder,
                                     platform::Messenger& messenger) {
  LoadedProgram loaded;
  loaded.path = locateProgram(commandLine, currentFolder);
  // A save to the stick that was cut short is finished (or undone) first, as every command of
  // velk_mur does: the catalogue read below must be the stick's whole one. R-CODE.R lies in
  // OPEN-R/APP/PC/AMS below the stick's root.
  const std::filesystem::path stickRoot =
      loaded.path.parent_path().parent_path().parent_path().parent_path().parent_path();
  if (!velk_mur::recoverInterruptedSave(stickRoot, messenger)) return std::nullopt;
  const std::string shownPath = platform::pathToText(loaded.path);
  if (!loadProgram(loaded.program, loaded.path)) {
    messenger.show("ERROR: Can't open R-CODE.R file\n" + shownPath, true);
    return std::nullopt;
  }
  if (const ParseResult parsed = parseRecords(loaded.program); !parsed) {
    messenger.show("ERROR: Invalid syntax in R-CODE.R file\n" + shownPath + " (" +
                       parsed.errorText + " around line " + std::to_string(parsed.lineNumber) + ")",
                   true);
    return std::nullopt;
  }
  if (loaded.program.recordCount() == 0) {
    messenger.show("R-CODE program installed is not VELK enabled\n" + shownPath, true);
    return std::nullopt;
  }
  if (!checkInstallation(loaded.path, messenger)) return std::nullopt;
  return loaded;
}

}  // namespace velk7
