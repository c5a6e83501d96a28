#pragma once
// Command-line arguments as UTF-8, and a console that shows UTF-8. On Windows the
// arguments are read as wide characters, since the narrow ones lose every character
// outside the local code page.
#include <string>
#include <vector>

namespace platform {

std::vector<std::string> utf8Arguments(int argc, char** argv);

// Sets the console's output to UTF-8 where that is a setting (Windows); elsewhere nothing.
void useUtf8Console();

}  // namespace platform
