#pragma once
// A stick copied to a case-sensitive file system must still work: every path the programs
// open is resolved one component at a time, taking an existing entry whose name differs only
// in ASCII letter case when the exact name is absent.
#include <filesystem>

namespace platform {

// Returns the path with each existing component spelled as on disk. Components that do not
// exist (and everything after them) are kept as given; "." and ".." are left alone.
std::filesystem::path resolveCase(const std::filesystem::path& path);

// `path` resolved, with its last component spelled as its folder lists it. Where the file system
// itself ignores case, resolveCase keeps the spelling given; a file that steps aside and comes
// back under this name keeps the stick's own spelling instead of taking the given one.
std::filesystem::path listedSpelling(const std::filesystem::path& path);

// The file layer tells the resolver about entries it created or removed, so that the folder
// view the resolver keeps stays current without scanning the folder again. A folder changed
// by anyone else is noticed by its modification time and scanned anew.
void noteEntryCreated(const std::filesystem::path& path);
void noteEntryRemoved(const std::filesystem::path& path);

}  // namespace platform
