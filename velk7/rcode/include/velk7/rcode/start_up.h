#pragma once
// Everything between the program's start and the editor's window: find, load and parse
// R-CODE.R, and check the installation, each failure shown once.
#include <filesystem>
#include <optional>
#include <string_view>

#include "platform/messenger.h"
#include "velk7/rcode/program.h"

namespace velk7 {

struct LoadedProgram {
  std::filesystem::path path;  // absolute path of R-CODE.R
  RcodeProgram program;
};

// `commandLine` is the whole argument text (the caller joins the arguments with blanks).
std::optional<LoadedProgram> startUp(std::string_view commandLine,
                                     const std::filesystem::path& currentFolder,
                                     platform::Messenger& messenger);

}  // namespace velk7
