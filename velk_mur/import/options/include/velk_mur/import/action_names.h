#pragma once
// An action name for any file name: what the generator and the stick accept.
#include <string>
#include <string_view>

namespace velk_mur {

// The file name's stem (UTF-8) made valid: accented Latin letters lose their marks, every other
// character outside ASCII letters, digits and "_" becomes "_" (a run of them one "_"), a name
// not starting with a letter gets "x" in front, a one-letter name a "_" behind, and the
// result is cut to the longest action name.
std::string actionNameFromStem(std::string_view stem);

// True for a name the passes and the save accept: valid characters and 2 to 89 of them.
bool isUsableActionName(std::string_view name);

}  // namespace velk_mur
