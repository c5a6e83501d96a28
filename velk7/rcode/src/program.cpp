#include "velk7/rcode/program.h"

#include <limits>

#include "platform/files.h"
#include "platform/path_text.h"

namespace fs = std::filesystem;

namespace velk7 {

fs::path defaultProgramPath() {
  return fs::path("..") / "OPEN-R" / "APP" / "PC" / "AMS" / "R-CODE.R";
}

fs::path locateProgram(std::string_view commandLine, const fs::path& currentFolder) {
  fs::path given = commandLine.empty() ? defaultProgramPath() : platform::textToPath(commandLine);
  if (given.is_absolute()) return given;
  return currentFolder / given;
}

bool loadProgram(RcodeProgram& program, const fs::path& path) {
  // Record offsets are 32-bit, so a larger file is refused rather than misread.
  constexpr auto kMaxSize = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
  std::optional<std::string> text = platform::readWholeText(path, kMaxSize);
  if (!text || text->empty()) return false;
  program.text = std::move(*text);
  return true;
}

}  // namespace velk7
